#pragma once
// The library of optical configurations and its file "config.cfg" in the
// program's folder: a count line (" 3 ": a blank or minus sign, the digits, a
// blank), then three lines per entry (name, Corr Asd, Corr Dec), each ended by
// CR LF. The texts are kept exactly as typed; the coefficients are not checked
// as numbers here.

#include "platform/failure.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

// One named pair of coefficients, pixels per degree along right ascension
// ("Corr Asd") and along declination ("Corr Dec").
struct OpticalConfig {
    QString name;
    QString corrAsd;
    QString corrDec;

    bool operator==(const OpticalConfig &) const = default;
};

// The library holds at most this many entries.
inline constexpr int kMaxOpticalConfigs = 15;

// The configuration manager's entries. They outlive the dialog: the main
// window keeps them for the whole run and hands them to each opening.
struct OpticalConfigLibrary {
    std::vector<OpticalConfig> entries;
};

// What a read of the file gave: the entries read in full, in file order, and
// the failure that stopped the reading, if any. `entries` never holds a
// partly read entry, and never more than kMaxOpticalConfigs.
struct OpticalConfigRead {
    QString path; // the file that was read
    std::vector<OpticalConfig> entries;
    std::optional<Failure> failure;
    // The file as it stood when the reading began (opticalConfigFileState).
    std::optional<QByteArray> state;

    // The file holds more than was read (a bad count line, a short file, a
    // 16th entry, unreadable bytes): writing the entries back would lose the
    // rest. A missing file is the normal state before the first save.
    bool readInPart() const { return failure && failure->code() != FailureCode::FileNotFound; }
    // The failure box's words: the file, then what went wrong.
    QString failureText() const;
};

// "<folder>/config.cfg".
QString opticalConfigPath(const QString &programFolder);

// The file's bytes as they stand, to notice a save made since by another
// instance of the program; nothing when it cannot be read (missing, not a
// regular file, too large).
std::optional<QByteArray> opticalConfigFileState(const QString &path);

// Reads the file. The count line is converted by the user's locale (blanks
// around it ignored, rounded half to even, 16-bit range); a count of 0 or
// less reads nothing. A missing file, a bad count line, a file shorter than
// its count, and a 16th entry are failures; never throws.
OpticalConfigRead readOpticalConfigFile(const QString &path);

// The file's lines for these entries: the count line, then three per entry.
// A line break inside a text would shift every later entry on reading, so it
// is written as a blank.
QStringList opticalConfigLines(const std::vector<OpticalConfig> &entries);

// Writes the file through a temporary file, so a failed save leaves the old
// library whole. Throws a Failure when the file cannot be written.
void writeOpticalConfigFile(const QString &path, const std::vector<OpticalConfig> &entries);
