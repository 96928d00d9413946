#pragma once
// The catalogue service's answer turned into the star table.
//
// The answer is text. The first record begins right after the "</b>" of the
// first marker "</b>   1 U"; from there the text is a run of 66-character
// records, every line break (CR LF included) counting as one character. In a
// record (columns from 1):
//   6      "U" in every record; anything else ends the list
//   6-19   identifier, kept as text
//   21-29  right ascension, decimal degrees
//   31-39  declination, decimal degrees with its sign
//   41-44  magnitude, kept as text
// Coordinates are the leading number of their columns (0 when none) times
// the scale in pixels per degree, rounded to whole units, halves to even.

#include "astrometry/star_table.h"

#include <QByteArray>
#include <QString>

// The marker in front of the first record.
inline constexpr const char16_t *kAnswerMarker = u"</b>   1 U";
// Characters per record, line break included.
inline constexpr int kRecordLength = 66;

// The answer's bytes as the parser reads them: decoded as UTF-8 (Latin-1 when
// they are not valid UTF-8), every CR LF, lone CR and lone LF held as one
// line-feed character.
QString answerText(const QByteArray &bytes);

// Parses `text` (already in the form answerText gives) into `table`: entries
// 1..starTotal are rewritten, starTotal and starCount set; entries above
// starTotal keep what an earlier parse left there. At most 4000 records are
// taken. Never fails: any text gives a consistent table, possibly empty.
// Coordinates that come out non-finite (an exponent beyond a double's range)
// are stored as 0, like a field that holds no number.
void parseCatalogueText(const QString &text, double scaleRa, double scaleDec, StarTable &table);

// answerText followed by parseCatalogueText.
void parseCatalogueAnswer(const QByteArray &bytes, double scaleRa, double scaleDec, StarTable &table);
