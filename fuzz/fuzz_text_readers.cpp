// libFuzzer target for the readers of the files the user edits: any bytes as
// the language file, a project or defaults file and the optical configuration
// file must be read without a crash, a hang or undefined behaviour, and each
// reader must keep no more than its tables and fields hold.

#include "dialogs/optical_config_file.h"
#include "localisation/language_file.h"
#include "main_window/job_lines.h"
#include "platform/failure.h"
#include "platform/text_file.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {
void check(bool condition)
{
    if (!condition)
        std::abort();
}

QTemporaryDir *folder = nullptr;

// The fields of a project file: 15 text lines, the sign label and the check box.
struct JobFields {
    std::array<QLineEdit, 15> texts;
    QLabel sign;
    QCheckBox decision;
    std::vector<JobLine> lines;

    JobFields()
    {
        decision.setTristate(true);
        for (QLineEdit &box : texts)
            lines.push_back(JobLine::text(&box));
        lines.insert(lines.begin() + 6, JobLine::signLabel(&sign));
        lines.push_back(JobLine::checkBox(&decision));
    }
};

template <typename Table>
bool linesFit(const Table &table)
{
    for (const QString &entry : table)
        if (entry.size() > TextFileReader::kMaxLineBytes)
            return false;
    return true;
}
} // namespace

// The widgets' fonts make fontconfig keep caches it never frees; they are
// not ours and not a leak per input.
extern "C" const char *__lsan_default_suppressions()
{
    return "leak:libfontconfig\n";
}

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(*argc, *argv);
    folder = new QTemporaryDir;
    return folder->isValid() ? 0 : 1;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    for (const char *name : {"lang.cfg", "job.pam", "config.cfg"}) {
        QFile file(folder->filePath(QString::fromLatin1(name)));
        check(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        check(file.write(bytes) == bytes.size());
    }

    LanguageTables tables;
    const LanguageLoadResult language = LoadLanguage(folder->path(), tables);
    check(language.ok() || !language.problem.isEmpty());
    check(linesFit(tables.ConfigTexts) && linesFit(tables.Config2Texts) && linesFit(tables.FormTexts)
          && linesFit(tables.WizardTexts) && linesFit(tables.SuggestionTexts));

    static JobFields job;
    try {
        readJobLines(folder->filePath(QStringLiteral("job.pam")), job.lines);
    } catch (const Failure &failure) {
        check(!failure.description().isEmpty());
    }

    const OpticalConfigRead configs = readOpticalConfigFile(opticalConfigPath(folder->path()));
    check(configs.entries.size() <= size_t(kMaxOpticalConfigs));
    for (const OpticalConfig &entry : configs.entries)
        check(entry.name.size() <= TextFileReader::kMaxLineBytes);
    return 0;
}
