// The sample sky's stars and image, made from a seed.

#include "tools/sample_sky/sample_sky.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>
#include <random>

namespace sample_sky {

namespace {

// Stars around the centre out to the image's half-diagonal (30') plus a
// margin, so a catalogue download over the image finds stars everywhere.
constexpr double kFieldRadiusArcmin = 36.0;
constexpr int kStarCount = 6000;
constexpr double kBrightestMagnitude = 8.0;
constexpr double kFaintestMagnitude = 17.0;
// Stars per magnitude grow by this factor toward faint magnitudes.
constexpr double kCountRatioPerMagnitude = 2.5;

// Stars brighter than this are kept clear of their neighbours so that each
// lies on its own brightness maximum.
constexpr double kIsolatedBelowMagnitude = 14.0;

// Image levels: a dark, slightly noisy background; a magnitude 17 star
// barely above the noise, magnitude 10 and brighter saturating.
constexpr double kBackground = 18.0;
constexpr double kNoiseSigma = 1.0;
constexpr double kPeakAtFaintest = 5.0;
constexpr double kPeakGrowthPerMagnitude = 0.24; // log10 of the peak per magnitude

double peakLevel(double magnitude)
{
    return kPeakAtFaintest * std::pow(10.0, kPeakGrowthPerMagnitude * (kFaintestMagnitude - magnitude));
}

// Bright stars spread wider, as seeing and blooming make them on a CCD.
double spotSigma(double magnitude)
{
    return 1.3 + 0.12 * (kFaintestMagnitude - magnitude);
}

// Uniform and Gaussian numbers from the raw 64-bit engine, so the sequence
// does not depend on the standard library's distributions.
class Random {
public:
    explicit Random(quint64 seed) : engine_(seed) {}
    double uniform() { return double(engine_() >> 11) * 0x1.0p-53; } // [0, 1)
    quint64 below(quint64 n) { return engine_() % n; }
    double gaussian()
    {
        if (haveSpare_) {
            haveSpare_ = false;
            return spare_;
        }
        const double u1 = 1.0 - uniform(); // (0, 1]
        const double u2 = uniform();
        const double r = std::sqrt(-2.0 * std::log(u1));
        spare_ = r * std::sin(2 * std::numbers::pi * u2);
        haveSpare_ = true;
        return r * std::cos(2 * std::numbers::pi * u2);
    }

private:
    std::mt19937_64 engine_;
    bool haveSpare_ = false;
    double spare_ = 0;
};

double roundTo(double v, double unitsPerOne)
{
    return std::round(v * unitsPerOne) / unitsPerOne;
}

double randomMagnitude(Random &random)
{
    // Inverse of the cumulative count, which grows as ratio^magnitude.
    const double span = kFaintestMagnitude - kBrightestMagnitude;
    const double lnRatio = std::log(kCountRatioPerMagnitude);
    const double u = random.uniform();
    const double m = kBrightestMagnitude + std::log1p(u * std::expm1(span * lnRatio)) / lnRatio;
    return std::clamp(roundTo(m, 10), kBrightestMagnitude, kFaintestMagnitude);
}

bool tooClose(const SampleStar &a, const SampleStar &b)
{
    if (a.magnitude >= kIsolatedBelowMagnitude && b.magnitude >= kIsolatedBelowMagnitude)
        return false;
    const double minimum = 3.0 * (spotSigma(a.magnitude) + spotSigma(b.magnitude)) + 2.0;
    const QPointF d = a.pixel - b.pixel;
    return d.x() * d.x() + d.y() * d.y() < minimum * minimum;
}

// A star at a random place of the field, its coordinates rounded as the star
// list writes them and its pixel projected from those rounded values.
SampleStar randomPlace(const SkyProjection &projection, Random &random, double magnitude)
{
    const double radiusPx = kFieldRadiusArcmin / 60.0 * projection.pixelsPerDegree;
    const double r = radiusPx * std::sqrt(random.uniform());
    const double angle = 2 * std::numbers::pi * random.uniform();
    SampleStar star;
    projection.pixelToSky(QPointF(projection.x0 + r * std::cos(angle), projection.y0 + r * std::sin(angle)),
                          &star.raDeg, &star.decDeg);
    star.raDeg = roundTo(star.raDeg, 1e5);
    if (star.raDeg >= 360.0)
        star.raDeg -= 360.0;
    star.decDeg = roundTo(star.decDeg, 1e5);
    star.magnitude = magnitude;
    projection.skyToPixel(star.raDeg, star.decDeg, &star.pixel);
    return star;
}

std::vector<SampleStar> placeStars(const SkyProjection &projection, Random &random)
{
    std::vector<SampleStar> stars;
    std::vector<size_t> isolated; // indices of the bright stars placed so far
    stars.reserve(kStarCount);
    while (stars.size() < size_t(kStarCount)) {
        const double magnitude = randomMagnitude(random);
        const bool bright = magnitude < kIsolatedBelowMagnitude;
        SampleStar star;
        for (;;) {
            star = randomPlace(projection, random, magnitude);
            bool clear = true;
            if (bright) {
                for (const SampleStar &other : stars)
                    if (tooClose(star, other)) {
                        clear = false;
                        break;
                    }
            } else {
                for (size_t i : isolated)
                    if (tooClose(star, stars[i])) {
                        clear = false;
                        break;
                    }
            }
            if (clear)
                break;
        }
        if (bright)
            isolated.push_back(stars.size());
        stars.push_back(star);
    }
    return stars;
}

// Identifiers "U" + zone + "_" + number: zones are bands of 7.5 degrees of
// south polar distance; numbers grow with right ascension inside a zone.
void nameStars(std::vector<SampleStar> &stars, Random &random)
{
    std::map<int, std::vector<SampleStar *>> zones;
    for (SampleStar &star : stars)
        zones[75 * int(std::floor((star.decDeg + 90.0) / 7.5))].push_back(&star);
    std::vector<SampleStar> named;
    named.reserve(stars.size());
    for (auto &[zone, members] : zones) {
        std::stable_sort(members.begin(), members.end(),
                         [](const SampleStar *a, const SampleStar *b) { return a->raDeg < b->raDeg; });
        quint64 number = 10000000 + random.below(10000000);
        for (SampleStar *star : members) {
            number += 1 + random.below(400);
            star->id = QStringLiteral("U%1_%2").arg(zone, 4, 10, QLatin1Char('0')).arg(number, 8, 10, QLatin1Char('0'));
            named.push_back(*star);
        }
    }
    stars = std::move(named);
}

QImage drawImage(const SkyProjection &projection, const std::vector<SampleStar> &stars, Random &random)
{
    const int w = projection.width, h = projection.height;
    std::vector<double> light(size_t(w) * size_t(h), 0.0);
    for (const SampleStar &star : stars) {
        const double sigma = spotSigma(star.magnitude);
        const double peak = peakLevel(star.magnitude);
        const int reach = int(std::ceil(5 * sigma));
        const int cx = int(std::lround(star.pixel.x())), cy = int(std::lround(star.pixel.y()));
        for (int y = std::max(0, cy - reach); y <= std::min(h - 1, cy + reach); ++y) {
            const double dy = y - star.pixel.y();
            for (int x = std::max(0, cx - reach); x <= std::min(w - 1, cx + reach); ++x) {
                const double dx = x - star.pixel.x();
                light[size_t(y) * size_t(w) + size_t(x)] += peak * std::exp(-(dx * dx + dy * dy) / (2 * sigma * sigma));
            }
        }
    }
    QImage image(w, h, QImage::Format_Grayscale8);
    for (int y = 0; y < h; ++y) {
        uchar *line = image.scanLine(y);
        for (int x = 0; x < w; ++x) {
            const double level = kBackground + light[size_t(y) * size_t(w) + size_t(x)] + kNoiseSigma * random.gaussian();
            line[x] = uchar(std::clamp<long>(std::lround(level), 0, 255));
        }
    }
    return image;
}

} // namespace

SampleSky makeSampleSky(quint64 seed)
{
    return makeSampleSky(seed, sampleProjection());
}

SampleSky makeSampleSky(quint64 seed, const SkyProjection &projection)
{
    SampleSky sky;
    sky.seed = seed;
    sky.projection = projection;
    Random random(seed);
    sky.stars = placeStars(sky.projection, random);
    nameStars(sky.stars, random);
    sky.image = drawImage(sky.projection, sky.stars, random);
    return sky;
}

std::vector<SampleStar> brightStars(const SampleSky &sky, int count, double faintestMagnitude,
                                    double radiusArcmin, double marginPx)
{
    const SkyProjection &p = sky.projection;
    const double dec0 = p.centreDecDeg * std::numbers::pi / 180;
    std::vector<SampleStar> chosen;
    for (const SampleStar &star : sky.stars) {
        const double dec = star.decDeg * std::numbers::pi / 180;
        const double dRa = (star.raDeg - p.centreRaDeg) * std::numbers::pi / 180;
        const double cosDistance = std::sin(dec0) * std::sin(dec) + std::cos(dec0) * std::cos(dec) * std::cos(dRa);
        const double distanceArcmin = std::acos(std::clamp(cosDistance, -1.0, 1.0)) * 180 / std::numbers::pi * 60;
        const QPointF &px = star.pixel;
        if (star.magnitude <= faintestMagnitude && distanceArcmin <= radiusArcmin && px.x() >= marginPx
            && px.y() >= marginPx && px.x() <= p.width - 1 - marginPx && px.y() <= p.height - 1 - marginPx)
            chosen.push_back(star);
    }
    std::stable_sort(chosen.begin(), chosen.end(),
                     [](const SampleStar &a, const SampleStar &b) { return a.magnitude < b.magnitude; });
    if (chosen.size() > size_t(std::max(count, 0)))
        chosen.resize(size_t(std::max(count, 0)));
    return chosen;
}

} // namespace sample_sky
