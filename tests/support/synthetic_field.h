#pragma once
// Synthetic sky fields for the solution's tests and benchmark: catalogue
// stars in scaled units (whole numbers, as the star table holds them) under a
// known plate model, with the image position of each, and picks taken from
// five of them with small offsets.

#include "astrometry/plate_model.h"

#include <QRandomGenerator>
#include <array>
#include <cmath>
#include <vector>

namespace synthetic {

// Pixel -> scaled sky: rotation by rotationDeg, scale in scaled units per
// pixel, optionally mirrored (image y down, declination up), then shifted.
inline PlateModel affineModel(double rotationDeg, double scale, bool mirror, double offsetX, double offsetY)
{
    const double a = rotationDeg * M_PI / 180.0;
    const double m = mirror ? -1.0 : 1.0;
    PlateModel model;
    model.coefA = scale * std::cos(a);
    model.coefB = -scale * std::sin(a) * m;
    model.coefC = offsetX;
    model.coefD = scale * std::sin(a);
    model.coefE = scale * std::cos(a) * m;
    model.coefF = offsetY;
    return model;
}

inline PlanePoint forward(const PlateModel &model, double x, double y)
{
    return {model.coefA * x + model.coefB * y + model.coefC, model.coefD * x + model.coefE * y + model.coefF};
}

struct Field {
    PlateModel truth;
    // Index 0 unused, star k at index k, like the star table.
    std::vector<double> starX{0.0}, starY{0.0}; // scaled units, whole numbers
    std::vector<PlanePoint> pixel{PlanePoint{}}; // where star k lies on the image
    int count() const { return int(starX.size()) - 1; }

    void add(double skyX, double skyY)
    {
        starX.push_back(skyX);
        starY.push_back(skyY);
        pixel.push_back(*imagePosition(truth, skyX, skyY));
    }
};

// count stars spread at random over the image (margin pixels from its edges),
// each placed on the whole scaled unit nearest to its pixel.
inline Field randomField(const PlateModel &truth, int count, int width, int height, quint32 seed, int margin = 20)
{
    Field field;
    field.truth = truth;
    QRandomGenerator random(seed);
    for (int k = 0; k < count; ++k) {
        const double x = margin + random.bounded(double(width - 2 * margin));
        const double y = margin + random.bounded(double(height - 2 * margin));
        const PlanePoint sky = forward(truth, x, y);
        field.add(std::nearbyint(sky.x), std::nearbyint(sky.y));
    }
    return field;
}

// Picks 1..5 (index 0 unused) on the given stars, moved by up to maxOffset
// pixels and rounded to whole pixels as a pick is.
struct Picks {
    std::array<double, 11> x{}, y{};
};
inline Picks picksOn(const Field &field, const std::array<int, 5> &starIndices, double maxOffset, quint32 seed)
{
    Picks picks;
    QRandomGenerator random(seed);
    for (int p = 0; p < 5; ++p) {
        const PlanePoint at = field.pixel[size_t(starIndices[size_t(p)])];
        const double dx = (random.generateDouble() * 2 - 1) * maxOffset;
        const double dy = (random.generateDouble() * 2 - 1) * maxOffset;
        picks.x[size_t(p + 1)] = std::nearbyint(at.x + dx);
        picks.y[size_t(p + 1)] = std::nearbyint(at.y + dy);
    }
    return picks;
}

// A regular pentagon of picks of radius 150 round (500, 400), and the same
// pentagon turned by 0.4 radians round (skyX, skyY) as catalogue stars
// (appended to the field): each of its turns and mirrors matches.
inline Picks regularPentagon(Field &field, double skyX, double skyY)
{
    Picks picks;
    for (int p = 1; p <= 5; ++p) {
        const double a = 2 * M_PI * (p - 1) / 5;
        picks.x[size_t(p)] = std::nearbyint(500 + 150 * std::cos(a));
        picks.y[size_t(p)] = std::nearbyint(400 + 150 * std::sin(a));
        field.add(std::nearbyint(skyX + 150 * std::cos(a + 0.4)), std::nearbyint(skyY + 150 * std::sin(a + 0.4)));
    }
    return picks;
}

} // namespace synthetic
