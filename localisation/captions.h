#pragma once
// Puts the language file's texts on the controls of one window, chosen by a
// key, and fills the message table when the main window is captioned.

#include "localisation/language_tables.h"

#include <QString>
#include <functional>

class Form1;
class frmTip;
class Config;
class Config2;
class Wizard;

// The windows a key may caption. The main window is reached through a
// factory: its first use creates it, so its load handler has run to its end
// before the first caption is set. The dialogs pass themselves from their own
// load handlers.
struct CaptionTargets {
    std::function<Form1 *()> form;
    frmTip *tip = nullptr;
    Config *config = nullptr;
    Config2 *config2 = nullptr;
    Wizard *wizard = nullptr;
};

// Keys, compared exactly: "aide", "Config", "Config2", "Wizard", "Form". Any
// other key changes nothing. Each caption takes its entry verbatim; an entry
// the language file did not fill blanks the caption.
void ApplyCaptions(const QString &key, LanguageTables &tables, const CaptionTargets &targets);
