#pragma once
// Catalogue extracts, as catalogue browsers export them, served as star
// lists: CSV (commas, or semicolons) or TSV (tabs). Lines starting with '#'
// and blank lines are skipped; the first other line names the columns; a
// row of dashes under it is skipped, and with it a row of units between the
// two. The columns used (names case-insensitive, the first one present):
//   right ascension  RAJ2000, _RAJ2000, RA_ICRS, ra  (degrees, or h m s)
//   declination      DEJ2000, _DEJ2000, DE_ICRS, dec (degrees, or d m s)
//   magnitude        Vmag, Rmag, Gmag, mag
// Sexagesimal parts are separated by blanks or colons. A row without a
// magnitude is left out. Identifiers name the extract and the star's
// position: "U", the first three letters or digits of the file's name, and
// the whole sky's numbering of the position (sky_index.h).

#include "catalogue_service.h"

#include <QString>
#include <vector>

namespace catalogue {

// Whether a file is an extract rather than a star list: by its extension
// (.csv, .tsv, .tab), or by a first line that names a right ascension column
// among commas, semicolons or tabs.
bool isExtract(const QString &path, const QString &text);

// Reads an extract; `name` makes the identifiers. Throws StarListError
// naming the line, or the columns it lacks.
std::vector<Star> parseExtract(const QString &text, const QString &name);

// A star list or an extract, whichever the file is; throws StarListError
// beginning with the path.
std::vector<Star> loadStars(const QString &path);

} // namespace catalogue
