#include "dialogs/optical_config_file.h"

#include "platform/numbers.h"
#include "platform/text_file.h"

#include <QDir>

QString opticalConfigPath(const QString &programFolder)
{
    return programFolder + QStringLiteral("/config.cfg");
}

std::optional<QByteArray> opticalConfigFileState(const QString &path)
{
    try {
        return readFileBytes(path);
    } catch (const Failure &) {
        return std::nullopt;
    }
}

OpticalConfigRead readOpticalConfigFile(const QString &path)
{
    OpticalConfigRead result;
    result.path = path;
    // Taken before the entries: a save that comes in between shows as a
    // change at the next save, never the other way round.
    result.state = opticalConfigFileState(path);
    try {
        TextFileReader file(path);
        const int count = CInt(file.readLine());
        for (int i = 1; i <= count; ++i) {
            if (i > kMaxOpticalConfigs)
                throw Failure(FailureCode::SubscriptOutOfRange);
            OpticalConfig entry;
            entry.name = file.readLine();
            entry.corrAsd = file.readLine();
            entry.corrDec = file.readLine();
            result.entries.push_back(entry);
        }
    } catch (const Failure &failure) {
        result.failure = failure;
    }
    return result;
}

QString OpticalConfigRead::failureText() const
{
    const QString description = failure ? failure->description() : QString();
    return QDir::toNativeSeparators(path) + QStringLiteral(": ") + description;
}

namespace {
QString oneLine(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    text.replace(u'\r', u' ');
    text.replace(u'\n', u' ');
    return text;
}
} // namespace

QStringList opticalConfigLines(const std::vector<OpticalConfig> &entries)
{
    // The count line leaves the sign's place blank and ends with a blank.
    const int count = int(entries.size());
    QStringList lines{QStringLiteral(" %1 ").arg(count)};
    for (const OpticalConfig &entry : entries)
        lines << oneLine(entry.name) << oneLine(entry.corrAsd) << oneLine(entry.corrDec);
    return lines;
}

void writeOpticalConfigFile(const QString &path, const std::vector<OpticalConfig> &entries)
{
    writeTextLines(path, opticalConfigLines(entries));
}
