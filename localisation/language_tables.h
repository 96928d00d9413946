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

    // Which entries of each table a line of the language file gave. An empty
    // line the file gives is an empty caption, while an entry the file never
    // reached (a file cut short) leaves its control's design caption.
    std::array<bool, 21> ConfigGiven{};
    std::array<bool, 21> Config2Given{};
    std::array<bool, 81> FormGiven{};
    std::array<bool, 26> WizardGiven{};
    std::array<bool, 21> SuggestionGiven{};
};
