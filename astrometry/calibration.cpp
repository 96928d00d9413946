#include "astrometry/calibration.h"

#include "platform/failure.h"
#include "platform/numbers.h"

#include <cmath>

CalibrationTerms solveCalibration(const ReferenceStars &s)
{
    auto square = [](double v) { return v * v; };
    // Pixel differences are whole 16-bit numbers.
    const double dy12 = CInt(double(s.y[1] - s.y[2])), dx12 = CInt(double(s.x[1] - s.x[2]));
    const double dy13 = CInt(double(s.y[1] - s.y[3])), dx13 = CInt(double(s.x[1] - s.x[3]));
    CalibrationTerms t;
    t.p12 = square(dy12) + square(dx12);
    t.p13 = square(dy13) + square(dx13);
    t.terms = {square(s.raDeg[1] - s.raDeg[2]), square(s.decDeg[1] - s.decDeg[2]),
               square(s.raDeg[1] - s.raDeg[3]), square(s.decDeg[1] - s.decDeg[3])};
    const double den = t.terms[0] * t.terms[3] - t.terms[2] * t.terms[1];
    if (den == 0.0)
        throw Failure(FailureCode::DivisionByZero);
    t.kRa = (t.p12 * t.terms[3] - t.p13 * t.terms[1]) / den;
    t.kDec = (t.p13 * t.terms[0] - t.p12 * t.terms[2]) / den;
    if (!std::isfinite(t.kRa) || !std::isfinite(t.kDec))
        throw Failure(FailureCode::Overflow);
    return t;
}

double coefficientRoot(double k)
{
    if (k < 0)
        throw Failure(FailureCode::InvalidProcedureCall);
    return std::pow(k, 0.5);
}

double referenceRaDeg(double hours, double minutes, double seconds)
{
    return (hours * 3600 + minutes * 60 + seconds) / 3600 / 24 * 360;
}

double referenceDecDeg(int sign, double degrees, double minutes, double seconds)
{
    return sign * (degrees * 3600 + minutes * 60 + seconds) / 3600;
}
