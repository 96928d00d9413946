#include "astrometry/classic_calibration.h"

#include "platform/failure.h"
#include "platform/numbers.h"

#include <cmath>

namespace {
// Each operation is checked: a user's zero or absurd input must give a clear
// failure, never an infinite or undefined coefficient in the main window.
double checked(double value)
{
    if (!std::isfinite(value))
        throw Failure(FailureCode::Overflow);
    return value;
}

double divide(double numerator, double denominator)
{
    if (denominator == 0.0)
        throw Failure(FailureCode::DivisionByZero);
    return checked(numerator / denominator);
}

double multiply(double a, double b) { return checked(a * b); }
double subtract(double a, double b) { return checked(a - b); }

double squareRoot(double value)
{
    const double root = std::pow(value, 0.5);
    if (std::isnan(root))
        throw Failure(FailureCode::Overflow);
    return checked(root);
}
} // namespace

ClassicCoefficients computeClassicCoefficients(const ClassicCalibrationInput &input,
                                               std::optional<double> fieldCentreDecDeg)
{
    const double refDist1 = 300.0 * 300.0 + 480.0 * 480.0;
    const double refDist2 = 600.0 * 600.0 + 100.0 * 100.0;

    struct Offset {
        double pixels;
        const QString &pixelCount;
        const QString &sizeMm;
    };
    const Offset offsets[4] = {{300, input.pixelsX, input.ccdWidthMm},
                               {480, input.pixelsY, input.ccdHeightMm},
                               {600, input.pixelsX, input.ccdWidthMm},
                               {100, input.pixelsY, input.ccdHeightMm}};
    double angDist2[4];
    for (int k = 0; k < 4; ++k) {
        // Reading order: the millimetres, then the focal length, then the
        // pixels. The boxes are typed: a comma is a decimal point in each.
        const double w = typedLeadingNumber(offsets[k].sizeMm);
        const double f = typedLocaleNumber(input.focalLengthMm);
        const double n = typedLocaleNumber(offsets[k].pixelCount);
        // The angle in degrees covered by the offset; keep this order of operations.
        double a = divide(offsets[k].pixels, f);
        a = multiply(a, kArcminPerRadian);
        a = divide(a, n);
        a = divide(a, 60.0);
        a = multiply(a, w);
        angDist2[k] = multiply(a, a);
    }

    const double a0 = angDist2[0], a1 = angDist2[1], a2 = angDist2[2], a3 = angDist2[3];
    const double determinant = subtract(multiply(a3, a0), multiply(a1, a2));
    const double coefRa2 = divide(subtract(multiply(a3, refDist1), multiply(a1, refDist2)), determinant);
    const double coefDec2 = divide(subtract(multiply(a0, refDist2), multiply(refDist1, a2)), determinant);
    double corrAsd = squareRoot(coefRa2);
    if (fieldCentreDecDeg && std::fabs(*fieldCentreDecDeg) < 90.0)
        corrAsd = multiply(corrAsd, std::cos(*fieldCentreDecDeg * M_PI / 180.0));
    return {corrAsd, squareRoot(coefDec2)};
}

FieldOfView computeFieldOfView(const ClassicCalibrationInput &input)
{
    const double focal = typedLeadingNumber(input.focalLengthMm);
    const double perMm = divide(kArcminPerRadian, focal);
    return {multiply(perMm, typedLeadingNumber(input.ccdWidthMm)),
            multiply(perMm, typedLeadingNumber(input.ccdHeightMm))};
}

QString classicCalibrationMessage(const QString &words, const QString &corrAsdText,
                                  const QString &corrDecText, const FieldOfView &fov)
{
    return words + QStringLiteral(": CX = ") + corrAsdText + QStringLiteral(" et CY = ") + corrDecText
           + QChar(u'\r') + QStringLiteral("CCD size: ") + CStr(fov.xArcmin) + QStringLiteral("' x ")
           + CStr(fov.yArcmin) + QStringLiteral("'");
}
