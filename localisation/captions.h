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

// A text a control can show: some character that is neither blank nor an
// invisible format character (zero-width space, byte order mark, soft
// hyphen), and no control character (a file saved as UTF-16 and read as bytes
// gives NULs, garbage gives control characters) nor the replacement character.
bool isUsableCaption(const QString &text);

// Keys, compared exactly: "aide", "Config", "Config2", "Wizard", "Form". Any
// other key changes nothing. When not one of the caption entries a key uses
// is a usable caption, that window keeps its design captions; otherwise each
// caption whose entry the language file gave takes it verbatim (an empty line
// blanks the caption), and a caption whose entry the file never reached (a
// file cut short) keeps its design text. "Form" fills the message table
// either way.
void ApplyCaptions(const QString &key, LanguageTables &tables, const CaptionTargets &targets);
