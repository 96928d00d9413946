#pragma once
// The sample sky: a synthetic star field around 1h34m50s +22°01'11" (J2000)
// and a CCD-like image of it, made from a fixed seed so that a new user, the
// end-to-end test and the benchmarks all work on the same known sky.
//
// Files written into the output folder:
//   stars.txt       the star list for the catalogue service: one star per line,
//                   "identifier ra_deg dec_deg magnitude" separated by blanks,
//                   lines starting with '#' are comments; identifiers
//                   "U" + zone (4 digits) + "_" + number (8 digits), 14
//                   characters; degrees with 5 decimals, magnitudes with 1.
//   sample.jpg      the sky image, 1600 x 1200 grey pixels.
//   projection.txt  the true projection: "key value" lines (see SkyProjection),
//                   the formula in its comments.
//   sample.pam      a project for this image (image path relative, so the
//                   sample is meant to lie in the program's folder).
//   config.cfg      an optical configuration file with one entry whose
//                   coefficients match the image's scale.
// The star list and the projection end lines with LF; the project and the
// configuration file are the program's own formats (UTF-8, CR LF).
//
// Pixel coordinates: x to the right, y down, (0, 0) the centre of the top-left
// pixel, so pixel (i, j) is the point x = i, y = j. This is how the program
// addresses image pixels, so a pick at a star's brightest pixel is within half
// a pixel of its projected position.

#include <QImage>
#include <QPointF>
#include <QString>
#include <QtGlobal>
#include <vector>

namespace sample_sky {

inline const QString kStarListFile = QStringLiteral("stars.txt");
inline const QString kImageFile = QStringLiteral("sample.jpg");
inline const QString kProjectionFile = QStringLiteral("projection.txt");
inline const QString kProjectFile = QStringLiteral("sample.pam");
inline const QString kConfigFile = QStringLiteral("config.cfg");

constexpr quint64 kDefaultSeed = 20240611;

// A gnomonic (tangent-plane) projection with the tangent point at the field
// centre, east to the left and north up, turned by a small rotation.
//   cos c = sin dec0 sin dec + cos dec0 cos dec cos(ra - ra0)
//   xi    = cos dec sin(ra - ra0) / cos c                      (radians, east)
//   eta   = (cos dec0 sin dec - sin dec0 cos dec cos(ra - ra0)) / cos c  (north)
//   u = xi * scale, v = eta * scale (xi, eta in degrees; pixels)
//   x = x0 - u cos(rot) - v sin(rot)
//   y = y0 + u sin(rot) - v cos(rot)
struct SkyProjection {
    double centreRaDeg = 0;
    double centreDecDeg = 0;
    double pixelsPerDegree = 0;  // along a great circle, the same on both axes
    double rotationDeg = 0;
    double x0 = 0, y0 = 0;       // pixel of the tangent point
    int width = 0, height = 0;   // image size in pixels

    // The pixel of a sky position; false when the position lies 90 degrees or
    // more from the centre (it has no image there).
    bool skyToPixel(double raDeg, double decDeg, QPointF *pixel) const;
    // The sky position of a pixel; right ascension in [0, 360).
    void pixelToSky(const QPointF &pixel, double *raDeg, double *decDeg) const;

    // The program's plate coefficients for this image: pixels per degree of
    // right ascension at the centre ("Corr Asd", the scale times the cosine of
    // the centre's declination) and of declination ("Corr Dec").
    double corrAsd() const;
    double corrDec() const { return pixelsPerDegree; }

    bool operator==(const SkyProjection &) const = default;
};

struct SampleStar {
    QString id;          // "U1050_12345678"
    double raDeg = 0;    // as written in the star list (5 decimals)
    double decDeg = 0;
    double magnitude = 0; // as written (1 decimal)
    QPointF pixel;       // projected position of the written coordinates
};

struct SampleSky {
    quint64 seed = kDefaultSeed;
    SkyProjection projection;
    std::vector<SampleStar> stars; // in star-list order (zone, then number)
    QImage image;                  // Format_Grayscale8, before JPEG compression
};

// The projection used for every sample sky: centre 1h34m50s +22°01'11",
// 1.8 arc-seconds per pixel, turned by 2 degrees, 1600 x 1200 pixels.
SkyProjection sampleProjection();

// Builds the sky in memory: the same seed gives the same stars and image.
SampleSky makeSampleSky(quint64 seed = kDefaultSeed);
// The same kind of sky under another projection (another field centre).
SampleSky makeSampleSky(quint64 seed, const SkyProjection &projection);

// Writes the five files into `folder` (created when missing). Each file is
// replaced only once it is completely written, and the project comes last, so
// a folder with the project holds a whole sample. Throws std::runtime_error with
// a message naming the file when a file cannot be written.
void writeSampleSky(const SampleSky &sky, const QString &folder);

// makeSampleSky followed by writeSampleSky.
SampleSky generateSampleSky(const QString &folder, quint64 seed = kDefaultSeed);

// Reads a projection file as written by writeSampleSky. Throws
// std::runtime_error when the file cannot be read or lacks a value.
SkyProjection readProjection(const QString &path);

// The stars a user would pick: not fainter than `faintestMagnitude`, within
// `radiusArcmin` of the field centre (so they are in the catalogue download),
// at least `marginPx` pixels inside the image; brightest first, at most
// `count` of them.
std::vector<SampleStar> brightStars(const SampleSky &sky, int count, double faintestMagnitude,
                                    double radiusArcmin, double marginPx);

} // namespace sample_sky
