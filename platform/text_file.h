#pragma once
// Line-wise text files as the program's own files use them: written in UTF-8
// with CR LF after every line; read with CR LF, a lone CR or a lone LF as a
// line end, and as Latin-1 when the bytes are not valid UTF-8.

#include <QByteArray>
#include <QString>
#include <QStringList>

// Splits decoded text into lines. A final line end does not start another line.
QStringList splitTextLines(const QString &text);

// Decodes bytes as UTF-8, or as Latin-1 when they are not valid UTF-8.
QString decodeText(const QByteArray &bytes);

// The whole content of a file. Throws a Failure when it cannot be opened.
QByteArray readFileBytes(const QString &path);

// Reads a text file one line at a time. Opening a missing or unreadable file
// throws a Failure; reading past the last line throws Failure(ReadPastEnd).
class TextFileReader {
public:
    explicit TextFileReader(const QString &path);

    QString readLine();
    bool atEnd() const { return next_ >= lines_.size(); }

private:
    QStringList lines_;
    qsizetype next_ = 0;
};

// Writes the lines, each followed by CR LF, through a temporary file that
// replaces `path` only when everything was written. Throws a Failure with the
// file system's description when it cannot; the old file then stays whole.
void writeTextLines(const QString &path, const QStringList &lines);
