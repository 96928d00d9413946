#pragma once
// The whole sky, from the Tycho-2 index files that Debian packs for plate
// solvers (index-tycho2-*.littleendian.fits, under /usr/share/astrometry).
//
// In each file the tables are found by the name of their one column:
//   kdtree_data_stars   three little-endian uint32 per star (12 bytes a row):
//                       the unit vector x, y, z, each minimum + raw / scale
//   kdtree_range_stars  seven little-endian doubles (8 bytes a row): minimum
//                       x, y, z, maximum x, y, z, scale
//   MAG_VT              the Tycho VT magnitude of each star, in the same order
//                       (a FITS float)
// Right ascension is atan2(y, x), declination asin(z). A star held by several
// files (within 1") is kept once. Stars without a usable magnitude are left
// out.
//
// Identifiers are made from the position, so that they stay the same from
// one query to the next and across the files installed: "UT2-" and ten
// base-36 digits numbering a cell of 0.02" in right ascension and declination.

#include "catalogue_service.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <vector>

namespace catalogue {

class SkyIndex {
public:
    // Reads every file of `paths` that can be read; each one that is
    // missing, damaged or truncated is named in `problems` and left out.
    static SkyIndex load(const QStringList &paths, QStringList *problems);
    // The index files in `folder` (index-tycho2-*.fits), by name.
    static QStringList filesIn(const QString &folder);

    size_t size() const { return stars_.size(); }
    // The stars that answer the query, as selectStars gives them for a list;
    // equal magnitudes keep the index's own order.
    std::vector<Star> select(const ConeQuery &query) const;

private:
    struct Entry {
        double raDeg;
        double decDeg;
        float magnitude;
        uint32_t file; // which file of the load, for the merge
    };
    void build(std::vector<Entry> stars);

    std::vector<Entry> stars_;      // by declination band, then right ascension
    std::vector<size_t> bandStart_; // first star of each band, and the end
};

// What the service serves: the star lists and extracts of `starPaths`, and
// the whole sky from `indexPaths`, or when none is given from the index files
// of `indexFolder`. What the user should know (a file left out and why, what
// the whole sky holds) is added to `said`; a list or an index file that cannot
// be used is left out. Nothing when there is nothing to serve: no usable list
// and no usable index file.
std::optional<Sky> openSky(const QStringList &starPaths, QStringList indexPaths, const QString &indexFolder,
                           QStringList *said);

// The identifier of a whole-sky star at this position.
QString skyStarId(double raDeg, double decDeg);
// The same numbering after another four-character prefix (beginning with U).
QString positionId(const QString &prefix, double raDeg, double decDeg);

} // namespace catalogue
