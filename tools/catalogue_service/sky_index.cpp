// Reading the index files, merging their stars and finding them again.

#include "sky_index.h"
#include "star_extract.h"

#include <QDir>
#include <QFile>

#include <fitsio.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <optional>

namespace catalogue {

namespace {
constexpr double kBandDeg = 0.5;
constexpr int kBands = int(180 / kBandDeg);
constexpr double kMergeDeg = 1.0 / 3600;
constexpr double kCellArcsec = 0.02;
constexpr long kRowsPerRead = 1 << 16;
constexpr double kRad = M_PI / 180;

int bandOf(double decDeg)
{
    return std::clamp(int((decDeg + 90) / kBandDeg), 0, kBands - 1);
}

uint32_t littleEndian32(const unsigned char *p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

double littleEndianDouble(const unsigned char *p)
{
    const uint64_t bits = uint64_t(littleEndian32(p)) | uint64_t(littleEndian32(p + 4)) << 32;
    double value;
    std::memcpy(&value, &bits, sizeof(value));
    return value;
}

// What went wrong in one file, for the message that names it.
struct FileError {
    QString why;
};

QString fitsText(int status)
{
    char text[FLEN_STATUS] = {};
    fits_get_errstatus(status, text);
    return QString::fromLatin1(text);
}

void check(int status, const char *doing)
{
    if (status != 0)
        throw FileError{QStringLiteral("%1 (%2)").arg(QLatin1String(doing), fitsText(status))};
}

struct FitsCloser {
    void operator()(fitsfile *file) const
    {
        int status = 0;
        fits_close_file(file, &status);
    }
};
using FitsFile = std::unique_ptr<fitsfile, FitsCloser>;

// The binary table whose only column is `column`, as an HDU number and its
// row count and width; the tables are told by their column, not by a name.
struct Table {
    int hdu = 0;
    long long rows = 0;
    long width = 0;
};

std::optional<Table> findTable(fitsfile *file, const char *column)
{
    int status = 0, count = 0;
    check(fits_get_num_hdus(file, &count, &status), "cannot count its parts");
    for (int hdu = 2; hdu <= count; ++hdu) {
        int type = 0;
        check(fits_movabs_hdu(file, hdu, &type, &status), "cannot read its table headers");
        if (type != BINARY_TBL)
            continue;
        char name[FLEN_VALUE] = {};
        if (fits_read_key(file, TSTRING, "TTYPE1", name, nullptr, &status) != 0) {
            status = 0;
            continue;
        }
        if (std::strcmp(name, column) != 0)
            continue;
        Table table;
        table.hdu = hdu;
        check(fits_get_num_rowsll(file, &table.rows, &status), "cannot read a table's size");
        check(fits_read_key(file, TLONG, "NAXIS1", &table.width, nullptr, &status), "cannot read a table's size");
        return table;
    }
    return std::nullopt;
}

Table needTable(fitsfile *file, const char *column, long width)
{
    const std::optional<Table> table = findTable(file, column);
    if (!table)
        throw FileError{QStringLiteral("no table %1").arg(QLatin1String(column))};
    if (table->width != width)
        throw FileError{QStringLiteral("table %1 has rows of %2 bytes, not %3")
                            .arg(QLatin1String(column)).arg(table->width).arg(width)};
    return *table;
}

template <typename Entry>
std::vector<Entry> readFile(const QString &path, uint32_t fileNumber)
{
    if (!QFile::exists(path))
        throw FileError{QStringLiteral("no such file")};
    fitsfile *opened = nullptr;
    int status = 0;
    // The disk variant: a file name is never read as cfitsio's own syntax.
    check(fits_open_diskfile(&opened, QFile::encodeName(path).constData(), READONLY, &status), "not a FITS file");
    const FitsFile file(opened);

    const Table range = needTable(file.get(), "kdtree_range_stars", 8);
    if (range.rows != 7)
        throw FileError{QStringLiteral("table kdtree_range_stars has %1 rows, not 7").arg(range.rows)};
    unsigned char rangeBytes[56];
    check(fits_movabs_hdu(file.get(), range.hdu, nullptr, &status), "cannot read kdtree_range_stars");
    check(fits_read_tblbytes(file.get(), 1, 1, sizeof(rangeBytes), rangeBytes, &status), "cannot read kdtree_range_stars");
    double minimum[3], scale = littleEndianDouble(rangeBytes + 48);
    for (int k = 0; k < 3; ++k)
        minimum[k] = littleEndianDouble(rangeBytes + 8 * k);
    if (!std::isfinite(scale) || scale <= 0 || !std::isfinite(minimum[0]) || !std::isfinite(minimum[1]) ||
        !std::isfinite(minimum[2]))
        throw FileError{QStringLiteral("table kdtree_range_stars holds no usable range")};

    const Table data = needTable(file.get(), "kdtree_data_stars", 12);
    const Table magnitudes = needTable(file.get(), "MAG_VT", 4);
    if (magnitudes.rows != data.rows)
        throw FileError{QStringLiteral("%1 magnitudes for %2 stars").arg(magnitudes.rows).arg(data.rows)};

    std::vector<float> mags(size_t(data.rows));
    check(fits_movabs_hdu(file.get(), magnitudes.hdu, nullptr, &status), "cannot read MAG_VT");
    int anyNull = 0;
    float nan = NAN;
    if (data.rows > 0)
        check(fits_read_col(file.get(), TFLOAT, 1, 1, 1, data.rows, &nan, mags.data(), &anyNull, &status),
              "cannot read MAG_VT");

    std::vector<Entry> stars;
    stars.reserve(size_t(data.rows));
    std::vector<unsigned char> bytes(size_t(kRowsPerRead) * 12);
    check(fits_movabs_hdu(file.get(), data.hdu, nullptr, &status), "cannot read kdtree_data_stars");
    for (long long first = 0; first < data.rows; first += kRowsPerRead) {
        const long long rows = std::min<long long>(kRowsPerRead, data.rows - first);
        check(fits_read_tblbytes(file.get(), first + 1, 1, rows * 12, bytes.data(), &status),
              "cannot read kdtree_data_stars");
        for (long long r = 0; r < rows; ++r) {
            double v[3];
            for (int k = 0; k < 3; ++k)
                v[k] = minimum[k] + littleEndian32(&bytes[size_t(r * 12 + 4 * k)]) / scale;
            const double norm = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
            if (std::fabs(norm - 1) > 1e-3)
                throw FileError{QStringLiteral("star %1 is not a direction on the sky").arg(first + r + 1)};
            const float mag = mags[size_t(first + r)];
            if (!std::isfinite(mag) || mag < -9.9f || mag > 99.9f)
                continue;
            double ra = std::atan2(v[1], v[0]) / kRad;
            if (ra < 0)
                ra += 360;
            if (ra >= 360)
                ra = 0;
            stars.push_back({ra, std::asin(std::clamp(v[2] / norm, -1.0, 1.0)) / kRad, mag, fileNumber});
        }
    }
    return stars;
}

// Drops each star that another, earlier file holds within 1".
template <typename Entry>
void mergeFiles(std::vector<Entry> &stars)
{
    std::sort(stars.begin(), stars.end(), [](const Entry &a, const Entry &b) { return a.decDeg < b.decDeg; });
    std::vector<bool> dropped(stars.size());
    for (size_t i = 0; i < stars.size(); ++i) {
        for (size_t j = i + 1; j < stars.size() && stars[j].decDeg - stars[i].decDeg <= kMergeDeg && !dropped[i]; ++j) {
            if (dropped[j] || stars[j].file == stars[i].file ||
                angularDistanceDeg(stars[i].raDeg, stars[i].decDeg, stars[j].raDeg, stars[j].decDeg) > kMergeDeg)
                continue;
            dropped[stars[j].file > stars[i].file ? j : i] = true;
        }
    }
    size_t kept = 0;
    for (size_t i = 0; i < stars.size(); ++i)
        if (!dropped[i])
            stars[kept++] = stars[i];
    stars.resize(kept);
}

QString base36(uint64_t value, int digits)
{
    QString text(digits, u'0');
    for (int k = digits - 1; k >= 0 && value > 0; --k, value /= 36)
        text[k] = QLatin1Char("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ"[value % 36]);
    return text;
}
} // namespace

QString positionId(const QString &prefix, double raDeg, double decDeg)
{
    constexpr uint64_t raCells = uint64_t(360 * 3600 / kCellArcsec);
    const uint64_t ra = uint64_t(std::floor(std::clamp(raDeg, 0.0, 360.0) * 3600 / kCellArcsec)) % raCells;
    const uint64_t dec = uint64_t(std::llround((std::clamp(decDeg, -90.0, 90.0) + 90) * 3600 / kCellArcsec));
    return prefix + base36(dec * raCells + ra, 10);
}

QString skyStarId(double raDeg, double decDeg)
{
    return positionId(QStringLiteral("UT2-"), raDeg, decDeg);
}

QStringList SkyIndex::filesIn(const QString &folder)
{
    const QDir dir(folder);
    QStringList files;
    for (const QString &name : dir.entryList({QStringLiteral("index-tycho2-*.fits")}, QDir::Files, QDir::Name))
        files << dir.filePath(name);
    return files;
}

SkyIndex SkyIndex::load(const QStringList &paths, QStringList *problems)
{
    std::vector<Entry> stars;
    uint32_t files = 0;
    for (const QString &path : paths) {
        try {
            std::vector<Entry> more = readFile<Entry>(path, files);
            if (stars.empty())
                stars = std::move(more);
            else
                stars.insert(stars.end(), more.begin(), more.end());
            ++files;
        } catch (const FileError &e) {
            if (problems)
                *problems << QStringLiteral("%1: %2, left out").arg(path, e.why);
        } catch (const std::bad_alloc &) {
            if (problems)
                *problems << QStringLiteral("%1: too large to hold, left out").arg(path);
        }
    }
    if (files > 1)
        mergeFiles(stars);
    SkyIndex index;
    index.build(std::move(stars));
    return index;
}

void SkyIndex::build(std::vector<Entry> stars)
{
    std::sort(stars.begin(), stars.end(), [](const Entry &a, const Entry &b) {
        const int bandA = bandOf(a.decDeg), bandB = bandOf(b.decDeg);
        return bandA != bandB ? bandA < bandB : a.raDeg != b.raDeg ? a.raDeg < b.raDeg : a.decDeg < b.decDeg;
    });
    stars_ = std::move(stars);
    bandStart_.assign(kBands + 1, stars_.size());
    for (size_t i = stars_.size(); i-- > 0;)
        bandStart_[size_t(bandOf(stars_[i].decDeg))] = i;
    for (int band = kBands; band-- > 0;)
        bandStart_[size_t(band)] = std::min(bandStart_[size_t(band)], bandStart_[size_t(band) + 1]);
}

std::vector<Star> SkyIndex::select(const ConeQuery &query) const
{
    const double radiusDeg = query.radiusArcmin / 60;
    // Every star of the cap lies within this many degrees of right ascension
    // of its centre, unless the cap holds a pole.
    double raHalfWidth = 180;
    if (std::fabs(query.decDeg) + radiusDeg < 90)
        raHalfWidth = std::asin(std::min(1.0, std::sin(radiusDeg * kRad) / std::cos(query.decDeg * kRad))) / kRad + 1e-9;
    std::vector<std::pair<double, double>> raRanges;
    if (raHalfWidth >= 180) {
        raRanges = {{0, 360}};
    } else {
        const double low = query.raDeg - raHalfWidth, high = query.raDeg + raHalfWidth;
        if (low < 0)
            raRanges = {{low + 360, 360}, {0, high}};
        else if (high >= 360)
            raRanges = {{low, 360}, {0, high - 360}};
        else
            raRanges = {{low, high}};
    }

    std::vector<size_t> chosen;
    const int firstBand = bandOf(query.decDeg - radiusDeg), lastBand = bandOf(query.decDeg + radiusDeg);
    for (int band = firstBand; band <= lastBand; ++band) {
        const auto begin = stars_.begin() + std::ptrdiff_t(bandStart_[size_t(band)]);
        const auto end = stars_.begin() + std::ptrdiff_t(bandStart_[size_t(band) + 1]);
        for (const auto &[low, high] : raRanges) {
            auto it = std::lower_bound(begin, end, low, [](const Entry &e, double ra) { return e.raDeg < ra; });
            for (; it != end && it->raDeg <= high; ++it) {
                if (it->magnitude < query.magBright || it->magnitude > query.magFaint)
                    continue;
                if (angularDistanceDeg(query.raDeg, query.decDeg, it->raDeg, it->decDeg) <= radiusDeg)
                    chosen.push_back(size_t(it - stars_.begin()));
            }
        }
    }
    // Index order first, so that equal magnitudes keep it.
    std::sort(chosen.begin(), chosen.end());
    std::vector<Star> answer;
    answer.reserve(chosen.size());
    for (const size_t i : chosen) {
        const Entry &e = stars_[i];
        answer.push_back({skyStarId(e.raDeg, e.decDeg), e.raDeg, e.decDeg, double(e.magnitude)});
    }
    keepBrightest(answer, query.maxStars);
    return answer;
}

bool Area::contains(double ra, double dec) const
{
    return radiusDeg >= 0 && angularDistanceDeg(raDeg, decDeg, ra, dec) <= radiusDeg + 1e-9;
}

Area areaOf(const std::vector<Star> &stars)
{
    double sum[3] = {0, 0, 0};
    for (const Star &s : stars) {
        sum[0] += std::cos(s.decDeg * kRad) * std::cos(s.raDeg * kRad);
        sum[1] += std::cos(s.decDeg * kRad) * std::sin(s.raDeg * kRad);
        sum[2] += std::sin(s.decDeg * kRad);
    }
    Area area;
    if (stars.empty())
        return area;
    const double norm = std::sqrt(sum[0] * sum[0] + sum[1] * sum[1] + sum[2] * sum[2]);
    if (norm < 1e-9 * double(stars.size())) {
        area.radiusDeg = 180; // stars all round the sky
        return area;
    }
    area.raDeg = std::atan2(sum[1], sum[0]) / kRad;
    if (area.raDeg < 0)
        area.raDeg += 360;
    area.decDeg = std::asin(std::clamp(sum[2] / norm, -1.0, 1.0)) / kRad;
    area.radiusDeg = 0;
    for (const Star &s : stars)
        area.radiusDeg = std::max(area.radiusDeg, angularDistanceDeg(area.raDeg, area.decDeg, s.raDeg, s.decDeg));
    return area;
}

Sky Sky::ofList(std::vector<Star> stars)
{
    Sky sky;
    sky.addList(std::move(stars));
    return sky;
}

void Sky::addList(std::vector<Star> stars)
{
    auto list = std::make_shared<List>();
    list->area = areaOf(stars);
    list->stars = std::move(stars);
    lists_.push_back(std::move(list));
}

void Sky::setWholeSky(std::shared_ptr<const SkyIndex> index)
{
    wholeSky_ = std::move(index);
}

std::vector<Star> Sky::select(const ConeQuery &query) const
{
    for (const std::shared_ptr<const List> &list : lists_)
        if (list->area.contains(query.raDeg, query.decDeg))
            return selectStars(list->stars, query);
    if (wholeSky_)
        return wholeSky_->select(query);
    if (!lists_.empty())
        return selectStars(lists_.front()->stars, query);
    return {};
}

std::optional<Sky> openSky(const QStringList &starPaths, QStringList indexPaths, const QString &indexFolder,
                           QStringList *said)
{
    // A list that cannot be used is named and left out, like a damaged index
    // file: one bad extract among the user's must not leave every field
    // without an answer.
    Sky sky;
    int lists = 0;
    for (const QString &path : starPaths) {
        try {
            sky.addList(loadStars(path));
            ++lists;
        } catch (const StarListError &e) {
            *said << QString::fromUtf8(e.what()) + QStringLiteral(" (left out)");
        }
    }
    if (indexPaths.isEmpty()) {
        indexPaths = SkyIndex::filesIn(indexFolder);
        if (indexPaths.isEmpty())
            *said << QStringLiteral("no whole-sky catalogue in %1 (no index-tycho2-*.fits there)").arg(indexFolder);
    }
    if (!indexPaths.isEmpty()) {
        QStringList problems;
        auto index = std::make_shared<SkyIndex>(SkyIndex::load(indexPaths, &problems));
        *said << problems;
        if (index->size() > 0) {
            *said << QStringLiteral("the whole sky: %1 stars from %2 of %3 index files")
                         .arg(index->size()).arg(indexPaths.size() - problems.size()).arg(indexPaths.size());
            sky.setWholeSky(std::move(index));
        } else {
            *said << QStringLiteral("no star in the index files: no whole sky");
        }
    }
    if (lists == 0 && !sky.hasWholeSky()) {
        *said << QStringLiteral("nothing to serve: no star list given and no usable index file");
        return std::nullopt;
    }
    return sky;
}

} // namespace catalogue
