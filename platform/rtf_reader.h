#pragma once
// A small reader for the RTF that word processors write for a manual, into a
// QTextDocument that a QTextBrowser shows.
//
// Read: paragraphs (\par, \pard, \ql \qc \qr \qj, \li \fi \sb \sa), line
// breaks, tabs, bold, italic, underline, hidden text, font sizes (\fs), the
// colour table with \cf, characters written as \'hh or raw bytes in the
// document's code page (\ansicpg, \mac, \pc, \pca), \uN with its \ucN
// fallback, the usual named characters (\emdash, \bullet, \rquote...).
// Skipped: optional destinations (\*) and those that hold no text to show
// (font table, stylesheet, info, pictures, headers, field instructions...).
// Anything else is ignored. Malformed input is read as far as it makes
// sense; the reader never throws, and its work is linear in the input.

#include <QByteArray>
#include <QString>

class QTextDocument;

// Replaces the content of `document` by the RTF document `rtf`. Returns false,
// leaving the document empty, when the bytes do not start as an RTF document
// ("{\rtf", after optional blanks).
bool readRtf(const QByteArray &rtf, QTextDocument &document);

// Loads the RTF file at `path` into `document`. Throws a Failure when the file
// cannot be read or is not an RTF document; the document is then left empty.
void loadRtfFile(const QString &path, QTextDocument &document);
