#pragma once
// Small whole-sky index files, written in the layout of the Tycho-2 index
// files the catalogue service reads (tables told by their one column: an
// unrelated one first, kdtree_range_stars, kdtree_data_stars, MAG_VT).
//
//   writeIndexFile(dir.filePath("index-tycho2-07.fits"), {{132.75, 11.82, 9.5}, ...});

#include <QString>
#include <vector>

namespace testing {

struct IndexStar {
    double raDeg = 0;
    double decDeg = 0;
    float magnitude = 0;
};

// False when the file cannot be written.
bool writeIndexFile(const QString &path, const std::vector<IndexStar> &stars);

} // namespace testing
