// Times the plate solution on synthetic fields: the pattern search over 497
// stars, the fit and the overlay of one candidate.

#include "main_window/pattern_search.h"
#include "main_window/plate_model.h"
#include "tests/main_window/synthetic_field.h"

#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
struct Timing {
    double bestMs = 1e300, medianMs = 0;
};

template <class F>
Timing timeIt(int runs, F &&work)
{
    std::vector<double> ms;
    for (int r = 0; r < runs; ++r) {
        QElapsedTimer timer;
        timer.start();
        work();
        ms.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return {ms.front(), ms[ms.size() / 2]};
}

void benchField(const char *name, int width, int height, double tolerance, int runs)
{
    const PlateModel truth = synthetic::affineModel(33, 1.0, true, 360000, 72000);
    const synthetic::Field field = synthetic::randomField(truth, 497, width, height, 7, 0);
    const synthetic::Picks picks = synthetic::picksOn(field, {10, 200, 333, 47, 480}, 1.0, 9);

    size_t candidates = 0;
    const Timing tables = timeIt(runs, [&] {
        PatternSearch search;
        search.setPicks(picks.x.data(), picks.y.data());
        search.setStars(field.starX.data(), field.starY.data(), field.count());
    });
    PatternSearch search;
    search.setPicks(picks.x.data(), picks.y.data());
    search.setStars(field.starX.data(), field.starY.data(), field.count());
    const Timing searching = timeIt(runs, [&] { candidates = search.search(tolerance).candidates.size(); });

    // One candidate's fit, overlay of every star and coincidence count.
    struct M { float Left, Top; };
    std::vector<M> markers(size_t(field.count()));
    std::vector<M> pickMarks(5);
    for (int p = 0; p < 5; ++p)
        pickMarks[size_t(p)] = {float(picks.x[size_t(p + 1)] - 8), float(picks.y[size_t(p + 1)] - 8)};
    int coincidences = 0;
    const Timing fitAndOverlay = timeIt(runs, [&] {
        const PlanePoint px[3] = {{picks.x[1], picks.y[1]}, {picks.x[2], picks.y[2]}, {picks.x[3], picks.y[3]}};
        const PlanePoint sky[3] = {{field.starX[10], field.starY[10]},
                                   {field.starX[200], field.starY[200]},
                                   {field.starX[333], field.starY[333]}};
        const PlateModel model = *fitPlateModel(px, sky);
        for (int k = 1; k <= field.count(); ++k) {
            const PlanePoint p = *imagePosition(model, field.starX[size_t(k)], field.starY[size_t(k)]);
            markers[size_t(k - 1)] = {float(p.x - 4), float(p.y - 4)};
        }
        coincidences = countCoincidences(pickMarks.data(), 5, markers.data(), field.count(), coincidenceWindow(10));
    });

    std::printf("%-34s tables %7.2f ms  search %8.2f ms (median %8.2f, %zu candidates)  fit+overlay %6.3f ms "
                "(%d coincidences)\n",
                name, tables.bestMs, searching.bestMs, searching.medianMs, candidates, fitAndOverlay.bestMs,
                coincidences);
}
} // namespace

int main()
{
    benchField("realistic 1536x1024, tol 7", 1536, 1024, 7.0, 20);
    benchField("realistic 1024x768, tol 7", 1024, 768, 7.0, 20);

    // The crowded cases: the same 497 stars packed ever tighter. The search
    // is slowest where many partial matches survive yet few candidates
    // complete (the limits of 300 and 800 end the densest fields early).
    double worstMs = 0;
    int worstSize = 0;
    for (int size : {300, 400, 500, 600, 700, 800}) {
        for (quint32 seed : {1u, 2u, 3u, 4u}) {
            const PlateModel truth = synthetic::affineModel(33, 1.0, true, 360000, 72000);
            const synthetic::Field field = synthetic::randomField(truth, 497, size, size * 2 / 3, seed, 0);
            const synthetic::Picks picks = synthetic::picksOn(field, {10, 200, 333, 47, 480}, 1.0, 9);
            PatternSearch search;
            search.setPicks(picks.x.data(), picks.y.data());
            search.setStars(field.starX.data(), field.starY.data(), field.count());
            const Timing t = timeIt(3, [&] { search.search(7.0); });
            if (t.bestMs > worstMs) {
                worstMs = t.bestMs;
                worstSize = size;
            }
        }
    }
    std::printf("crowded worst case (497 stars in %dx%d, tol 7): search %.2f ms\n", worstSize, worstSize * 2 / 3,
                worstMs);
    return 0;
}
