#pragma once
// Checks that a window shows its texts whole, for the layout tests.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

class QLineEdit;
class QWidget;

namespace testing {

// The visible controls of `window` that do not show whole: a caption, button,
// box, list or frame that leaves its parent's area or gets less room than
// its minimum (for a wrapped caption: the height its text needs at its
// width). Empty when everything shows.
QStringList cutControls(const QWidget &window);

// Whether `box`, in a shown window, shows `text` whole once it is written
// there by the program (the cursor at its end), rather than scrolled to its tail.
bool showsWhole(QLineEdit &box, const QString &text);

// The files for a fixture's program folder: the language file the program
// ships, or nothing (design captions).
std::vector<std::pair<QString, QByteArray>> shippedLanguageFile(bool wanted);

} // namespace testing
