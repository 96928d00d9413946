#pragma once
// What the pointer reads over a solved image: the catalogue marker under it
// and the sky position of a pixel. Positions over the image are pixels, x to
// the right and y down from the image's top-left corner; the plate model
// gives scaled units (degrees x pixels per degree, scaleRa and scaleDec in
// pixels per degree); right ascension comes out in hours, declination in
// degrees.

#include "astrometry/mark.h"

#include <QString>
#include <vector>

// The highest index k in 1..starTotal whose visible marker holds (X, Y) in
// its open 8 x 8 square round the marker's centre (strict comparisons, single
// precision); 0 when no marker does. Hidden markers are never hit.
int hoverHit(const std::vector<Mark> &star, int starTotal, float X, float Y);

// Centre of a mark, in single precision as the marks are placed.
inline float markCentreX(const Mark &m) { return m.Left + m.Height / 2; }
inline float markCentreY(const Mark &m) { return m.Top + m.Height / 2; }

// "U1050_12345678 - Mag=12.3 1h34'50''  22°1'11''": identifier and magnitude
// as stored, then the two sexagesimal positions.
QString hoverCaption(const QString &starId, const QString &starMag, double raHours, double decDeg);

// The right ascension (hours) and declination (degrees) of pixel (x, y)
// through the affine plate model in scaled units.
struct SkyPosition {
    double raHours = 0;
    double decDeg = 0;
};
SkyPosition skyPositionAt(const double (&coef)[6], double scaleRa, double scaleDec, double x, double y);

// The status line of the click read-out.
QString clickReadout(const SkyPosition &position);
