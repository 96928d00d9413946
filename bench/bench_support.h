#pragma once
// Set-up and timing shared by the benchmarks: the 4000-record catalogue, the
// 497-star fields of the solution, and medians of repeated runs.

#include "catalogue_service.h"
#include "astrometry/catalogue_parser.h"
#include "support/synthetic_field.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>
#include <algorithm>
#include <vector>

namespace bench {

struct Timing {
    double medianMs = 0;
    double worstMs = 0;
    int runs = 0;
};

// One untimed warm-up run, then `runs` timed runs of work(i).
template <typename Work>
Timing medianOf(int runs, Work work)
{
    work(-1);
    std::vector<double> ms;
    ms.reserve(size_t(runs));
    QElapsedTimer timer;
    for (int i = 0; i < runs; ++i) {
        timer.start();
        work(i);
        ms.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms.back(), runs};
}

// 4000 stars spread over a 15' field around RA 23.7, Dec 22.0, all brighter
// than 13: a full catalogue answer.
inline std::vector<catalogue::Star> fieldOf4000()
{
    std::vector<catalogue::Star> stars;
    for (int k = 0; k < 4000; ++k) {
        const double ra = 23.7 + 0.25 * ((k * 7919) % 1000 / 1000.0 - 0.5);
        const double dec = 22.0 + 0.25 * ((k * 104729) % 997 / 997.0 - 0.5);
        stars.push_back({QStringLiteral("U1125-%1").arg(k, 8, 10, QLatin1Char('0')), ra, dec, 8.0 + (k % 50) / 10.0});
    }
    return stars;
}

// A solution field: 497 catalogue stars spread over width x height pixels
// under a rotated, mirrored plate model, five picks on them (within a pixel),
// and the catalogue answer that holds them.
constexpr double kFieldScale = 3600; // pixels per degree on both axes
constexpr double kFieldTolerance = 7; // the default match tolerance, pixels

struct SolutionField {
    synthetic::Field sky;
    synthetic::Picks picks;
    QByteArray answer;
};

inline SolutionField makeSolutionField(int width, int height, quint32 seed)
{
    SolutionField f;
    const PlateModel truth = synthetic::affineModel(33, 1.0, true, 360000, 72000);
    f.sky = synthetic::randomField(truth, 497, width, height, seed, 0);
    f.picks = synthetic::picksOn(f.sky, {10, 200, 333, 47, 480}, 1.0, 9);
    std::vector<catalogue::Star> list;
    for (int k = 1; k <= f.sky.count(); ++k)
        list.push_back({QStringLiteral("U0750_%1").arg(k, 8, 10, QLatin1Char('0')), f.sky.starX[size_t(k)] / kFieldScale,
                        f.sky.starY[size_t(k)] / kFieldScale, 12.0});
    f.answer = catalogue::answerPage(list);
    return f;
}

// The sizes and seeds of the crowded fields: the same 497 stars packed ever
// tighter. The search is slowest where many partial matches survive yet few
// candidates complete (the candidate limits end the densest fields early).
inline const std::vector<int> kCrowdedSizes = {300, 400, 500, 600, 700, 800};
inline const std::vector<quint32> kCrowdedSeeds = {1, 2, 3, 4};

} // namespace bench
