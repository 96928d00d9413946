// The hint label.

#include "main_window/form1.h"

#include "localisation/hints.h"
#include "localisation/language_tables.h"

#include <QLabel>

void Form1::ShowSuggestion(const QString &key, int state, const QString &firstNumber, const QString &secondNumber)
{
    if (!lang)
        return;
    // The hints break a line with a carriage return; a label here breaks
    // lines only at a line feed, so the label shows it as one.
    QString text = nextSuggestion(sugestion->text(), key, state, firstNumber, secondNumber, lang->SuggestionTexts);
    sugestion->setText(text.replace(QChar(u'\r'), QChar(u'\n')));
}

void Form1::ShowSuggestion(const QString &key, bool state, const QString &firstNumber, const QString &secondNumber)
{
    ShowSuggestion(key, hintFlag(state), firstNumber, secondNumber);
}
