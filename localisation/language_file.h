#pragma once
// The language file "lang.cfg" of the program's folder: a free title line,
// then five blocks of texts, each closed by its marker line. A line's place in
// its block is its meaning, so nothing is trimmed or interpreted.

#include "localisation/language_tables.h"

#include <QString>
#include <QStringList>

// The marker lines that close the five blocks, in file order.
inline constexpr const char *kLanguageMarkers[5] = {"[CONFIG2]", "[FORM]", "[WIZARD]", "[SUGESTIONS]", "[END]"};

// How far the reading of the lines got.
struct LanguageParseOutcome {
    bool complete = false;  // the "[END]" line was reached
    QString missingMarker;  // otherwise: the marker the lines stop before
};

// Fills the tables from the lines of a language file (line ends removed).
// Content line k of blocks 1 to 4 is entry k of its table, of block 5 entry
// k - 1; each marker is stored after its block's last content line. Lines
// beyond a table's last entry are dropped; nothing after "[END]" is read.
// When the lines end before "[END]", what was read stays in the tables. Each
// entry stored is marked given, so the entries never reached can be told from
// empty lines.
LanguageParseOutcome parseLanguageLines(const QStringList &lines, LanguageTables &tables);

struct LanguageLoadResult {
    QString path;    // the file that was read
    QString problem; // empty when it was read through "[END]", else why not
    bool anyTextRead = false; // false when no entry was filled (missing, unreadable, empty, title only)

    bool ok() const { return problem.isEmpty(); }
    // The words of the one box that reports an unusable file (the language
    // file's own texts cannot be used for it).
    QString message() const;
};

// "lang.cfg" in `programFolder`.
QString languageFilePath(const QString &programFolder);

// Reads the language file of `programFolder` into `tables`. Never throws: a
// missing, unreadable or short file is reported in the result, and start-up
// goes on with whatever was read.
LanguageLoadResult LoadLanguage(const QString &programFolder, LanguageTables &tables);
