#pragma once
// The classic calibration: the two coefficients, in pixels per degree, from
// the focal length of the instrument and the size of the CCD in millimetres
// and in pixels, and the field of view of the CCD in arc-minutes.
//
// The arithmetic follows a fixed order of operations so that the digits the
// user sees are reproducible: two reference offsets on the CCD, (300, 480)
// and (600, 100) pixels, are turned into angles, and the squared coefficients
// are solved from the two squared distances by Cramer's rule. Mathematically
// the results are 60 f n / (3438 w) per axis, Corr Asd times cos d at the
// field centre's declination d.

#include <QString>
#include <optional>

// The texts of the dialog's five boxes, as typed. In every box a comma is
// read as the decimal point, whatever the locale ("6,7" mm is 6.7 mm).
struct ClassicCalibrationInput {
    QString ccdWidthMm;   // CCD size along X, the axis of Corr Asd: leading number
    QString ccdHeightMm;  // CCD size along Y, the axis of Corr Dec: leading number
    QString pixelsX;      // pixel count along X: by the user's locale
    QString pixelsY;      // pixel count along Y: by the user's locale
    QString focalLengthMm; // by the user's locale for the coefficients,
                           // as its leading number for the field of view
};

struct ClassicCoefficients {
    double corrAsdPixelsPerDeg = 0;
    double corrDecPixelsPerDeg = 0;
};

struct FieldOfView {
    double xArcmin = 0;
    double yArcmin = 0;
};

// Arc-minutes per radian, as the calibration has always taken it.
inline constexpr double kArcminPerRadian = 3438.0;

// Corr Asd is pixels per degree of right ascension, and at declination d a
// degree of right ascension spans cos d degrees of sky: with the field
// centre's declination `fieldCentreDecDeg` (degrees, strictly between -90 and
// 90) the per-degree scale of the X axis is multiplied by cos d. Without one
// (or with one beyond the poles) both coefficients are the per-degree scales.
//
// Throws Failure: TypeMismatch for a pixel count or focal length the locale
// cannot read (a point under a comma locale), DivisionByZero for a zero
// divisor (a zero focal length or pixel count; a zero CCD size makes the
// system singular), Overflow for a number or result out of range or not a
// number.
ClassicCoefficients computeClassicCoefficients(const ClassicCalibrationInput &input,
                                               std::optional<double> fieldCentreDecDeg = std::nullopt);

// Field of view from the leading numbers of the focal length and CCD sizes.
// Throws Failure(DivisionByZero) when the focal length reads as 0,
// Failure(Overflow) for a number or result beyond a double's range.
FieldOfView computeFieldOfView(const ClassicCalibrationInput &input);

// The result box's text: `words` (the message table's opening words), the
// two coefficient texts as the main window's fields hold them, a carriage
// return, and the field of view in the user's locale.
QString classicCalibrationMessage(const QString &words, const QString &corrAsdText,
                                  const QString &corrDecText, const FieldOfView &fov);
