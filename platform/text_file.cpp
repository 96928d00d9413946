#include "platform/text_file.h"

#include "platform/failure.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

#include <array>
#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

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

namespace {
// Windows-1252 differs from Latin-1 only in 0x80..0x9F. Its five unassigned
// bytes keep their Latin-1 (control) meaning, as Windows itself decodes them.
// A table of our own: Qt has this code page only when built with ICU.
constexpr std::array<char16_t, 32> kWindows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QString fromWindows1252(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (const char byte : bytes) {
        const auto c = static_cast<unsigned char>(byte);
        *out++ = (c >= 0x80 && c <= 0x9F) ? QChar(kWindows1252High[c - 0x80]) : QChar(c);
    }
    return text;
}

constexpr QByteArrayView kByteOrderMark("\xEF\xBB\xBF");

std::optional<QString> fromValidUtf8(QByteArrayView bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        return std::nullopt;
    return text;
}
} // namespace

QString decodeLine(QByteArrayView bytes)
{
    if (std::optional<QString> text = fromValidUtf8(bytes))
        return *text;
    return fromWindows1252(bytes);
}

QString decodeText(const QByteArray &bytes)
{
    QByteArrayView rest(bytes);
    if (rest.startsWith(kByteOrderMark))
        rest = rest.sliced(kByteOrderMark.size());
    if (std::optional<QString> whole = fromValidUtf8(rest))
        return *whole; // the usual case, in one pass
    QString text;
    text.reserve(rest.size());
    while (!rest.isEmpty()) {
        qsizetype end = 0;
        while (end < rest.size() && rest[end] != '\r' && rest[end] != '\n')
            ++end;
        text += decodeLine(rest.first(end));
        if (end < rest.size())
            text += QLatin1Char(rest[end++]);
        rest = rest.sliced(end);
    }
    return text;
}

namespace {
// The interface's own words for a file system error.
FailureCode failureCodeOf(int errorNumber, FailureCode otherwise)
{
    switch (errorNumber) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return FailureCode::DiskFull;
    case EACCES:
    case EPERM:
    case EROFS: return FailureCode::PermissionDenied;
    case ENOENT:
    case ENOTDIR: return FailureCode::PathNotFound;
    case EISDIR: return FailureCode::PathFileAccessError;
    case ENAMETOOLONG: return FailureCode::BadFileName;
    case EIO: return FailureCode::DeviceIoError;
    default: return otherwise;
    }
}

// A path that names nothing, or something that is not a file, is a missing
// file to the user.
FailureCode openFailureCodeOf(int errorNumber)
{
    switch (errorNumber) {
    case ENOENT:
    case ENOTDIR:
    case ELOOP:
    case ENXIO: return FailureCode::FileNotFound; // ENXIO: a socket, a device without its driver
    default: return failureCodeOf(errorNumber, FailureCode::PathFileAccessError);
    }
}
} // namespace

void openFileForReading(QFile &file, const QString &path, QIODevice::OpenMode extra)
{
    // Without O_NONBLOCK, opening a named pipe waits for a writer.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        throw Failure(openFailureCodeOf(errno));
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        throw Failure(FailureCode::FileNotFound);
    }
    // A regular file never blocks anyway; reads then behave as usual.
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    if (!file.open(fd, QIODevice::ReadOnly | extra, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        throw Failure(FailureCode::PathFileAccessError);
    }
}

namespace {
[[noreturn]] void throwReadFailure()
{
    throw Failure(failureCodeOf(errno, FailureCode::DeviceIoError));
}

constexpr qint64 kReadPiece = 64 * 1024;
} // namespace

QByteArray readFileBytes(const QString &path, qint64 maxBytes)
{
    QFile file;
    openFileForReading(file, path);
    if (file.size() > maxBytes)
        throw Failure(FailureCode::OutOfMemory);
    // Read in pieces up to the limit: the size may have changed since.
    QByteArray bytes;
    for (;;) {
        const qsizetype had = bytes.size();
        bytes.resize(had + kReadPiece);
        errno = 0;
        const qint64 n = file.read(bytes.data() + had, kReadPiece);
        if (n < 0)
            throwReadFailure();
        bytes.resize(had + n);
        if (n == 0)
            return bytes;
        if (bytes.size() > maxBytes)
            throw Failure(FailureCode::OutOfMemory);
    }
}

TextFileReader::TextFileReader(const QString &path)
{
    // Our own buffer is the only one.
    openFileForReading(file_, path, QIODevice::Unbuffered);
    if (bytesLeft() && QByteArrayView(buffer_).startsWith(kByteOrderMark))
        next_ = kByteOrderMark.size();
}

bool TextFileReader::bytesLeft() const
{
    if (givenUp_)
        return false;
    if (next_ < buffer_.size())
        return true;
    buffer_.resize(kReadPiece);
    errno = 0;
    const qint64 n = file_.read(buffer_.data(), kReadPiece);
    if (n < 0)
        throwReadFailure();
    buffer_.resize(n);
    next_ = 0;
    return n > 0;
}

void TextFileReader::skipLineFeedAfterCr() const
{
    // CR LF is one line end, even when the two fall in different pieces.
    if (afterCr_ && bytesLeft() && buffer_[next_] == '\n')
        ++next_;
    afterCr_ = false;
}

bool TextFileReader::atEnd() const
{
    skipLineFeedAfterCr();
    return !bytesLeft();
}

namespace {
// A line cut at the limit may end inside a UTF-8 sequence; without that
// partial character it still decodes as UTF-8.
QByteArrayView withoutPartialCharacter(QByteArrayView bytes)
{
    const qsizetype n = bytes.size();
    for (qsizetype back = 1; back <= 4 && back <= n; ++back) {
        const auto c = static_cast<unsigned char>(bytes[n - back]);
        if ((c & 0xC0) == 0x80)
            continue; // a continuation byte: look further back for the lead
        const qsizetype length = (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 1;
        return length > back ? bytes.first(n - back) : bytes;
    }
    return bytes;
}
} // namespace

QString TextFileReader::readLine()
{
    if (atEnd())
        throw Failure(FailureCode::ReadPastEnd);
    QByteArray line;
    bool cut = false;
    qint64 scanned = 0;
    while (bytesLeft()) {
        const char *piece = buffer_.constData() + next_;
        const qsizetype available = qsizetype(std::min<qint64>(buffer_.size() - next_, kMaxLineScanBytes - scanned));
        qsizetype end = 0;
        while (end < available && piece[end] != '\r' && piece[end] != '\n')
            ++end;
        const qsizetype room = kMaxLineBytes - line.size();
        if (end > room)
            cut = true;
        line.append(piece, std::min(end, room));
        next_ += end;
        scanned += end;
        if (end < available) {
            afterCr_ = piece[end] == '\r';
            ++next_;
            break;
        }
        if (scanned >= kMaxLineScanBytes) {
            givenUp_ = true;
            throw Failure(FailureCode::ReadPastEnd);
        }
    }
    return decodeLine(cut ? withoutPartialCharacter(line) : QByteArrayView(line));
}

namespace {
[[noreturn]] void throwWriteFailure(int errorNumber)
{
    throw Failure(failureCodeOf(errorNumber, FailureCode::DeviceIoError));
}

// EINVAL and ENOSYS mean this file system cannot sync, not that the data is lost.
bool syncFailed(int result) { return result != 0 && errno != EINVAL && errno != ENOSYS; }

// The rename that completes a save is a change of the folder: until the
// folder is on the disk too, a power cut may bring back the old file. By then
// the new file has replaced the old one, so a failure here loses nothing;
// it is still reported, as the save is not known to last.
void syncFolderOf(const QString &path, const FolderSync &sync)
{
    // A save through a link replaces the file the link names.
    const QString saved = QFileInfo(path).canonicalFilePath();
    const int errorNumber = sync(QFileInfo(saved.isEmpty() ? path : saved).absolutePath());
    if (errorNumber == 0)
        return;
    const QString why = failureDescription(failureCodeOf(errorNumber, FailureCode::DeviceIoError));
    throw Failure(FailureCode::DeviceIoError,
                  QStringLiteral("Fichier enregistré, mais son écriture sur le disque n'est pas confirmée (%1)")
                      .arg(why));
}
} // namespace

int syncFolder(const QString &folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    const int errorNumber = syncFailed(::fsync(fd)) ? errno : 0;
    ::close(fd);
    return errorNumber;
}

void writeWholeFile(const QString &path, const QByteArray &bytes, const FolderSync &sync)
{
    const QFileInfo target(path);
    // A folder, a pipe or a device in the file's place is not replaced.
    if (target.exists() && !target.isFile())
        throw Failure(FailureCode::PathFileAccessError);
    if (target.exists() && !target.isWritable())
        throw Failure(FailureCode::PermissionDenied);
    if (!target.dir().exists())
        throw Failure(FailureCode::PathNotFound);

    // QSaveFile writes a temporary file beside the target and renames it over
    // the target at commit. Unbuffered, each write reaches the system at once
    // and its error is seen here: a buffered write that fails only in the
    // final flush would otherwise still be committed.
    QSaveFile file(path);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        const FailureCode otherwise = file.error() == QFileDevice::PermissionsError
                                          ? FailureCode::PermissionDenied
                                          : FailureCode::PathFileAccessError;
        throw Failure(failureCodeOf(errno, otherwise));
    }
    // On every failure below, the destructor of the uncommitted file removes
    // the temporary file and leaves the target untouched.
    errno = 0;
    if (file.write(bytes) != bytes.size())
        throwWriteFailure(errno);
    errno = 0;
    if (!file.flush())
        throwWriteFailure(errno);
    // The data must be on the disk before the rename makes it the file: a
    // file system may report a full disk or an I/O error only here.
    if (syncFailed(::fsync(file.handle())))
        throwWriteFailure(errno);
    errno = 0;
    if (!file.commit())
        throwWriteFailure(errno);
    syncFolderOf(path, sync);
}

void writeTextLines(const QString &path, const QStringList &lines, const FolderSync &sync)
{
    QByteArray bytes;
    for (const QString &line : lines) {
        bytes += line.toUtf8();
        bytes += "\r\n";
    }
    writeWholeFile(path, bytes, sync);
}
