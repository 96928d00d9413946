#include "main_window/field_input.h"

#include <QLineEdit>
#include <QVariant>
#include <algorithm>

void FixDecimalComma(QLineEdit *box)
{
    const qsizetype p = box->text().indexOf(u',') + 1;
    if (p == 0)
        return;
    box->setSelection(int(p - 1), 1);
    // insert() replaces the selection and emits textChanged, which re-enters
    // the box's change handler for the next comma.
    box->insert(QStringLiteral("."));
}

void setTextWhole(QLineEdit *box, const QString &text)
{
    // The box's own limit, kept the first time the program widens it.
    static const char *const kOwnLimit = "ownMaxLength";
    QVariant own = box->property(kOwnLimit);
    if (!own.isValid()) {
        own = box->maxLength();
        box->setProperty(kOwnLimit, own);
    }
    const int limit = std::max(own.toInt(), int(text.size()));
    // Widened before the text comes in and narrowed after, so the text in the
    // box is never cut on the way.
    if (box->maxLength() < limit)
        box->setMaxLength(limit);
    box->setText(text);
    if (box->maxLength() > limit)
        box->setMaxLength(limit);
}
