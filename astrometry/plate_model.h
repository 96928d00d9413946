#pragma once
// The plate model: an affine map from image pixels (x, y) to scaled sky
// positions (X, Y), in the units of the star table (right ascension and
// declination in degrees times pixels per degree):
//     X = coefA x + coefB y + coefC
//     Y = coefD x + coefE y + coefF
// Its exact fit through three picks, its inverse (where the catalogue markers
// go), the field centre in scaled units, and the coincidence test between pick
// marks and markers.

#include <optional>

struct PlateModel {
    double coefA = 0, coefB = 0, coefC = 0, coefD = 0, coefE = 0, coefF = 0;
};

struct PlanePoint {
    double x = 0;
    double y = 0;
};

// The model that maps picks[p] exactly onto sky[p] for p = 0, 1, 2 (Cramer's
// rule on the two 3 x 3 systems). None when the three picks lie on one line
// (which includes two picks at the same place): no model is defined then.
std::optional<PlateModel> fitPlateModel(const PlanePoint (&picks)[3], const PlanePoint (&sky)[3]);

// coefA coefE - coefB coefD; the model has an inverse when it is not 0. A
// model never fitted (all zero) has none.
double linearDeterminant(const PlateModel &model);

// The image position of a scaled sky position through the exact inverse of
// the model; none when the model has no inverse.
std::optional<PlanePoint> imagePosition(const PlateModel &model, double skyX, double skyY);

// The field centre in scaled units. Right ascension in hours, minutes and
// seconds; declination in degrees, minutes and seconds with the sign applied
// to the whole value (declinationSign is -1 or +1).
PlanePoint scaledFieldCentre(double raHours, double raMinutes, double raSeconds, int declinationSign,
                             double decDegrees, double decMinutes, double decSeconds, double scaleRa,
                             double scaleDec);

// The window of the coincidence test, from the decision threshold T in
// pixels: low = -4 - T and high = T - 4, rounded half to even to 16-bit
// integers. The 4 is the difference of the two marks' half sizes (16-pixel
// pick mark, 8-pixel marker), so comparing corners compares centres.
// Throws Failure(Overflow) when an offset does not fit 16 bits.
struct CoincidenceWindow {
    int low = 0;
    int high = 0;
};
CoincidenceWindow coincidenceWindow(double threshold);

// Pairs (pick mark, marker) whose top-left corners satisfy, along both axes,
// marker + low < pick < marker + high, strictly and in single precision. A
// pick near two markers counts twice. Marks are any type with float Left and
// Top; picks[0..pickCount-1] and markers[0..markerCount-1] are compared.
template <class MarkT>
int countCoincidences(const MarkT *picks, int pickCount, const MarkT *markers, int markerCount,
                      CoincidenceWindow window)
{
    const float low = static_cast<float>(window.low);
    const float high = static_cast<float>(window.high);
    int count = 0;
    for (int c = 0; c < pickCount; ++c) {
        const float pickLeft = picks[c].Left;
        const float pickTop = picks[c].Top;
        for (int s = 0; s < markerCount; ++s) {
            const float left = markers[s].Left;
            const float top = markers[s].Top;
            if (left + low < pickLeft && pickLeft < left + high && top + low < pickTop && pickTop < top + high)
                ++count;
        }
    }
    return count;
}
