#include "platform/widgets.h"

#include <QLabel>

QLabel *newPlainLabel(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    return label;
}
