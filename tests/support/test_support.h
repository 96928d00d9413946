#pragma once
// Shared fixtures for the tests: a temporary program folder, a main window
// built on it with scripted dialogs, and star images drawn in the test.

#include "localisation/language_tables.h"
#include "main_window/form1.h"
#include "platform/dialogs.h"

#include <QImage>
#include <QLocale>
#include <QString>
#include <QTemporaryDir>
#include <atomic>
#include <memory>
#include <thread>
#include <vector>

namespace testing {

// A main window on its own temporary program folder, with scripted dialogs.
struct FormFixture {
    QTemporaryDir folder;
    ScriptedDialogs dialogs;
    LanguageTables tables;
    std::unique_ptr<Form1> form;

    // Files to place in the folder before the window loads (name -> content).
    explicit FormFixture(const std::vector<std::pair<QString, QByteArray>> &files = {},
                         bool createMarkers = true);
    QString path(const QString &name) const { return folder.path() + QLatin1Char('/') + name; }
};

// Marks every entry of the language tables as given by the file, so tables
// filled by hand caption like a file whose other lines are empty.
inline void giveEveryEntry(LanguageTables &tables)
{
    tables.ConfigGiven.fill(true);
    tables.Config2Given.fill(true);
    tables.FormGiven.fill(true);
    tables.WizardGiven.fill(true);
    tables.SuggestionGiven.fill(true);
}

// Writes bytes to a file, creating it.
void writeFile(const QString &path, const QByteArray &bytes);
QByteArray readFile(const QString &path);

// A small file system for saves on a full disk: a tmpfs of 64 KiB mounted on
// a temporary folder, which needs root (as in CI). mounted() is false, with
// the reason in whyNot(), when it cannot be had: the test then skips with
// SKIP_WITHOUT_SMALL_DISK, so that a case that could not run never passes.
// Unmounted on destruction.
class SmallDisk {
public:
    SmallDisk();
    ~SmallDisk();
    SmallDisk(const SmallDisk &) = delete;
    SmallDisk &operator=(const SmallDisk &) = delete;

    bool mounted() const { return mounted_; }
    const QString &whyNot() const { return whyNot_; }
    QString path(const QString &name) const { return folder_.path() + QLatin1Char('/') + name; }
    // Fills every free byte with one file.
    void fill();
    // Remounts it read-only, as a program folder the user may not write;
    // false, with the reason in whyNot(), when it cannot be.
    bool makeReadOnly();

private:
    QTemporaryDir folder_;
    bool mounted_ = false;
    QString whyNot_;
};

// In a test function: skips the test, saying why, when `disk` is not mounted.
#define SKIP_WITHOUT_SMALL_DISK(disk)                                                                              \
    do {                                                                                                           \
        if (!(disk).mounted())                                                                                     \
            QSKIP(qPrintable((disk).whyNot()));                                                                    \
    } while (false)

// A named pipe that nothing writes to, for readers that must refuse it at
// once. Should a reader wait on it all the same, a watchdog opens the pipe
// for writing after a few seconds, so that reader sees an empty pipe and goes
// on: the test then fails on released() instead of hanging.
class UnwrittenPipe {
public:
    explicit UnwrittenPipe(const QString &path);
    ~UnwrittenPipe();
    UnwrittenPipe(const UnwrittenPipe &) = delete;
    UnwrittenPipe &operator=(const UnwrittenPipe &) = delete;

    bool created() const { return created_; }
    // Whether a reader waited on the pipe until the watchdog released it.
    bool released() const { return released_; }

private:
    QByteArray path_;
    bool created_ = false;
    std::atomic<bool> stop_ = false;
    std::atomic<bool> released_ = false;
    std::thread watchdog_;
};

// A star drawn as a Gaussian spot.
struct SyntheticStar {
    double x = 0, y = 0;   // centre, pixels
    double peak = 200;     // grey level at the centre
    double sigma = 1.5;    // pixels
};

// The levels of a field of the given background with the stars added, top
// row first; drawStarField draws them in grey, FITS frames store them as they are.
std::vector<double> starFieldLevels(int width, int height, const std::vector<SyntheticStar> &stars, double background);

// A dark field with the stars drawn on it.
QImage drawStarField(int width, int height, const std::vector<SyntheticStar> &stars, int background = 8);

// Sets the default locale for the lifetime of the object.
class ScopedLocale {
public:
    explicit ScopedLocale(const QLocale &locale) : previous_(QLocale()) { QLocale::setDefault(locale); }
    ~ScopedLocale() { QLocale::setDefault(previous_); }

private:
    QLocale previous_;
};

inline QLocale commaLocale() { return QLocale(QLocale::French, QLocale::France); }
inline QLocale pointLocale() { return QLocale(QLocale::English, QLocale::UnitedStates); }

} // namespace testing
