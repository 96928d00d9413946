#include "main_window/field_input.h"

#include <QLineEdit>

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
