#pragma once
// The texts of the language file, by entry number, and the message table the
// main window and the classic calibration take their words from. Empty until
// the language file is read; an entry never filled stays the empty text.

#include <QString>
#include <array>

struct LanguageTables {
    std::array<QString, 21> ConfigTexts;
    std::array<QString, 21> Config2Texts;
    std::array<QString, 81> FormTexts;
    std::array<QString, 26> WizardTexts;
    std::array<QString, 21> SuggestionTexts;
    std::array<QString, 31> MessageTexts;
};
