#pragma once
// Line-wise text files as the program's own files use them: written in UTF-8
// with CR LF after every line; read with CR LF, a lone CR or a lone LF as a
// line end, each line as UTF-8 when it is valid UTF-8 and as Windows-1252
// (what a Windows editor saves) when it is not.
//
// A path that is not a regular file (a folder, a named pipe, a device) reads
// as a missing file: reading a pipe would wait for a writer for ever.

#include <QByteArray>
#include <QByteArrayView>
#include <QFile>
#include <QString>
#include <QStringList>
#include <functional>

// Splits decoded text into lines. A final line end does not start another line.
QStringList splitTextLines(const QString &text);

// Decodes one line (without its line end): UTF-8 when valid, else Windows-1252.
QString decodeLine(QByteArrayView bytes);

// Decodes text line by line as decodeLine does; line ends are kept and a
// leading UTF-8 byte order mark is dropped.
QString decodeText(const QByteArray &bytes);

// Opens `file` on `path` for reading, every reader's one way in. The path is
// opened without waiting (a named pipe without a writer answers at once) and
// what was opened is checked to be a regular file, so nothing swapped in
// between a check and the opening can block. Throws a Failure with the
// interface's French description: FileNotFound for a missing path and for
// anything but a regular file.
void openFileForReading(QFile &file, const QString &path, QIODevice::OpenMode extra = {});

// The most a file read whole may hold (the help document).
inline constexpr qint64 kMaxWholeFileBytes = 16 * 1024 * 1024;

// The whole content of a regular file of at most `maxBytes`. Throws a Failure
// when it cannot be read, FileNotFound for anything but a regular file,
// OutOfMemory when it is larger; never reads more than `maxBytes` and a piece.
QByteArray readFileBytes(const QString &path, qint64 maxBytes = kMaxWholeFileBytes);

// Reads a text file one line at a time, straight from the file: only the
// lines asked for are read, so the file's size does not matter. A line keeps
// at most kMaxLineBytes bytes (more than any text box holds); the rest of a
// longer line is skipped. A line still without its end after
// kMaxLineScanBytes is no text any program of ours wrote, only junk: the file
// is taken as ending before it (reading it throws Failure(ReadPastEnd) and
// atEnd() is true from then on), so a huge file without line ends is never
// read through. Opening a missing, non-regular or unreadable file throws a
// Failure; reading past the last line throws Failure(ReadPastEnd).
class TextFileReader {
public:
    static constexpr qsizetype kMaxLineBytes = 128 * 1024;
    static constexpr qint64 kMaxLineScanBytes = 4 * 1024 * 1024;

    explicit TextFileReader(const QString &path);

    QString readLine();
    bool atEnd() const;
    // How many bytes have been read from the file so far.
    qint64 bytesRead() const { return file_.pos(); }

private:
    bool bytesLeft() const;
    void skipLineFeedAfterCr() const;

    // Looking ahead for atEnd() reads from the file, hence mutable.
    mutable QFile file_;
    mutable QByteArray buffer_;
    mutable qsizetype next_ = 0;
    mutable bool afterCr_ = false;
    bool givenUp_ = false; // a line ran past kMaxLineScanBytes
};

// Puts a folder's entries on the disk (fsync of the folder): 0 when done or
// when its file system cannot sync, else the errno of the failure.
int syncFolder(const QString &folder);

// How a save syncs the folder of the file it replaced: syncFolder, or, in
// tests, a stand-in that sees the call and can fail as no disk can be made to.
using FolderSync = std::function<int(const QString &folder)>;

// Writes `bytes` through a temporary file in the same folder that replaces
// `path` only once every write, the flush to the disk and the closing have
// succeeded. Throws a Failure with a French description otherwise (a full
// disk is "Disque plein"); the old file then stays untouched. What is not a
// regular file (a folder, a named pipe) is never replaced. The folder is
// synced after the rename, so that a save reported done survives a power
// cut; should that sync fail, the new file is in place but its lasting is not
// known, and the Failure (DeviceIoError) says so in its own words.
void writeWholeFile(const QString &path, const QByteArray &bytes, const FolderSync &sync = syncFolder);

// Writes the lines, each followed by CR LF, with writeWholeFile.
void writeTextLines(const QString &path, const QStringList &lines, const FolderSync &sync = syncFolder);
