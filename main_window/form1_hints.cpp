// The hint label.

#include "main_window/form1.h"

void Form1::ShowSuggestion(const QString &key, int state, const QString &firstNumber, const QString &secondNumber)
{
    // Filled in with the language tables.
    Q_UNUSED(key);
    Q_UNUSED(state);
    Q_UNUSED(firstNumber);
    Q_UNUSED(secondNumber);
}
