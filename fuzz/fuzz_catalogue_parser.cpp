// Any bytes as a catalogue answer: the star table must stay consistent, and
// parsing the same bytes again must give the same table.

#include "astrometry/catalogue_parser.h"

#include <QByteArray>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace {
void check(bool condition)
{
    if (!condition)
        std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // The first byte picks the scales, so that 0 and negative ones are tried.
    static const double scales[] = {0.0, 1.0, 3600.0, -2.5, 1e300};
    const double scaleRa = size > 0 ? scales[data[0] % 5] : 1.0;
    const double scaleDec = size > 0 ? scales[(data[0] / 5) % 5] : 1.0;
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));

    // One table for the whole run: entries left from earlier inputs must not
    // disturb a later parse.
    static StarTable table;
    parseCatalogueAnswer(bytes, scaleRa, scaleDec, table);
    check(table.starTotal >= 0 && table.starTotal <= StarTable::kCapacity);
    check(table.starCount == std::min(table.starTotal, StarTable::kInUse));
    for (int k = 1; k <= table.starTotal; ++k) {
        check(table.starId[k].startsWith(u'U') && table.starId[k].size() <= 14);
        check(table.starMag[k].size() <= 4);
        check(std::isfinite(table.starX[k]) && std::isfinite(table.starY[k]));
        check(table.starX[k] == std::nearbyint(table.starX[k]) && table.starY[k] == std::nearbyint(table.starY[k]));
    }

    StarTable again;
    parseCatalogueAnswer(bytes, scaleRa, scaleDec, again);
    check(again.starTotal == table.starTotal);
    for (int k = 1; k <= table.starTotal; ++k)
        check(again.starId[k] == table.starId[k] && again.starX[k] == table.starX[k] &&
              again.starY[k] == table.starY[k] && again.starMag[k] == table.starMag[k]);
    return 0;
}
