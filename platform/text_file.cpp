#include "platform/text_file.h"

#include "platform/failure.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

QStringList splitTextLines(const QString &text)
{
    QStringList lines;
    QString current;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c == u'\r') {
            lines << current;
            current.clear();
            if (i + 1 < n && text[i + 1] == u'\n')
                ++i;
        } else if (c == u'\n') {
            lines << current;
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.isEmpty())
        lines << current;
    return lines;
}

QString decodeText(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        return QString::fromLatin1(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

namespace {
[[noreturn]] void throwOpenFailure(const QFile &file)
{
    const QFileInfo info(file.fileName());
    if (!info.exists())
        throw Failure(FailureCode::FileNotFound);
    if (info.isDir())
        throw Failure(FailureCode::PathFileAccessError);
    if (file.error() == QFileDevice::PermissionsError)
        throw Failure(FailureCode::PermissionDenied);
    throw Failure(FailureCode::PathFileAccessError, file.errorString());
}
} // namespace

QByteArray readFileBytes(const QString &path)
{
    QFile file(path);
    if (QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly))
        throwOpenFailure(file);
    return file.readAll();
}

TextFileReader::TextFileReader(const QString &path)
    : lines_(splitTextLines(decodeText(readFileBytes(path))))
{
}

QString TextFileReader::readLine()
{
    if (atEnd())
        throw Failure(FailureCode::ReadPastEnd);
    return lines_[next_++];
}

void writeTextLines(const QString &path, const QStringList &lines)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (file.error() == QFileDevice::PermissionsError)
            throw Failure(FailureCode::PermissionDenied, file.errorString());
        throw Failure(FailureCode::PathFileAccessError, file.errorString());
    }
    QByteArray bytes;
    for (const QString &line : lines) {
        bytes += line.toUtf8();
        bytes += "\r\n";
    }
    if (file.write(bytes) != bytes.size()) {
        const QString why = file.errorString();
        file.cancelWriting();
        throw Failure(FailureCode::DeviceIoError, why);
    }
    if (!file.commit())
        throw Failure(FailureCode::DeviceIoError, file.errorString());
}
