#pragma once
// The coefficients from three reference stars: a squared pixel distance is
// modelled as kRa times the squared difference in right ascension plus kDec
// times the squared difference in declination (both in degrees, no cosine of
// the declination), solved by Cramer's rule from the pairs (1,2) and (1,3).

#include <array>

struct ReferenceStars {
    std::array<int, 4> x{}, y{};          // pixels, stars 1..3
    std::array<double, 4> raDeg{}, decDeg{}; // degrees, stars 1..3
};

struct CalibrationTerms {
    double p12 = 0, p13 = 0;        // squared pixel distances of the pairs (1,2), (1,3)
    std::array<double, 4> terms{};  // (a1-a2)^2, (d1-d2)^2, (a1-a3)^2, (d1-d3)^2
    double kRa = 0, kDec = 0;       // squared pixels per squared degree
};

// Throws Failure(DivisionByZero) when the three stars leave the system
// without a single solution, Failure(Overflow) for pixel differences beyond
// 16 bits.
CalibrationTerms solveCalibration(const ReferenceStars &stars);

// The square root of a coefficient; throws Failure(InvalidProcedureCall) for
// a negative one, which has no real root.
double coefficientRoot(double k);

// Right ascension in degrees from hours, minutes and seconds, and a
// declination in degrees from its sign and unsigned parts, in the order of
// operations the boxes have always been read with.
double referenceRaDeg(double hours, double minutes, double seconds);
double referenceDecDeg(int sign, double degrees, double minutes, double seconds);
