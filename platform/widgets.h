#pragma once
// Small helpers shared by the windows when they build their controls.

#include <QString>

class QLabel;
class QLineEdit;
class QWidget;

// Every caption of the program is plain text: a text from the language file
// or a star identifier such as "<b>" shows exactly as typed, never taken for
// rich text.
QLabel *newPlainLabel(const QString &text, QWidget *parent);

// Makes the box exactly wide enough to show `sample` whole in its own font
// and style.
void fitWidthTo(QLineEdit *box, const QString &sample);

// A hidden widget keeps its room in its layout, so showing or hiding it moves
// nothing and never resizes its window.
void keepRoomWhenHidden(QWidget *widget);
