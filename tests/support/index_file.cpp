#include "support/index_file.h"

#include <QFile>

#include <fitsio.h>

#include <cmath>
#include <cstring>
#include <cstdint>

namespace testing {

namespace {
void littleEndian(uint64_t value, int bytes, std::vector<unsigned char> &out)
{
    for (int k = 0; k < bytes; ++k)
        out.push_back(static_cast<unsigned char>(value >> (8 * k)));
}

bool table(fitsfile *file, const char *column, const char *form, long rows, int &status)
{
    char *names[] = {const_cast<char *>(column)};
    char *forms[] = {const_cast<char *>(form)};
    return fits_create_tbl(file, BINARY_TBL, rows, 1, names, forms, nullptr, nullptr, &status) == 0;
}
} // namespace

bool writeIndexFile(const QString &path, const std::vector<IndexStar> &stars)
{
    QFile::remove(path);
    fitsfile *file = nullptr;
    int status = 0;
    if (fits_create_diskfile(&file, QFile::encodeName(path).constData(), &status) != 0)
        return false;
    const long rows = long(stars.size());
    long noAxes[1] = {0};
    fits_create_img(file, 8, 0, noAxes, &status);

    // Something the reader must pass over.
    std::vector<unsigned char> quads(16 * 3, 7);
    if (table(file, "quads", "16A", 3, status))
        fits_write_tblbytes(file, 1, 1, quads.size(), quads.data(), &status);

    const double minimum = -1, scale = 2147483647.5;
    std::vector<unsigned char> range;
    for (const double value : {minimum, minimum, minimum, 1.0, 1.0, 1.0, scale}) {
        uint64_t bits;
        std::memcpy(&bits, &value, sizeof(bits));
        littleEndian(bits, 8, range);
    }
    if (table(file, "kdtree_range_stars", "8A", 7, status))
        fits_write_tblbytes(file, 1, 1, range.size(), range.data(), &status);

    std::vector<unsigned char> data;
    std::vector<float> mags;
    constexpr double rad = M_PI / 180;
    for (const IndexStar &s : stars) {
        const double v[3] = {std::cos(s.decDeg * rad) * std::cos(s.raDeg * rad),
                             std::cos(s.decDeg * rad) * std::sin(s.raDeg * rad), std::sin(s.decDeg * rad)};
        for (const double c : v)
            littleEndian(uint64_t(std::llround((c - minimum) * scale)), 4, data);
        mags.push_back(s.magnitude);
    }
    if (table(file, "kdtree_data_stars", "12A", rows, status) && rows > 0)
        fits_write_tblbytes(file, 1, 1, data.size(), data.data(), &status);
    if (table(file, "MAG_VT", "1E", rows, status) && rows > 0)
        fits_write_col(file, TFLOAT, 1, 1, 1, rows, mags.data(), &status);
    fits_close_file(file, &status);
    return status == 0;
}

} // namespace testing
