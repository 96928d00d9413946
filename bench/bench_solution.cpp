// Times the plate solution on synthetic fields of 497 catalogue stars: the
// parse of the answer, the distance tables, the pattern search, and the fit,
// overlay and coincidence count of every candidate, as one solve does them.

#include "bench_support.h"
#include "astrometry/catalogue_parser.h"
#include "astrometry/pattern_search.h"
#include "astrometry/plate_model.h"

#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
using bench::SolutionField;
constexpr double kScale = bench::kFieldScale;

struct Corner {
    float Left = 0, Top = 0;
};

struct Times {
    double parse = 0, tables = 0, search = 0, review = 0;
    size_t candidates = 0;
    double total() const { return parse + tables + search + review; }
};

double msSince(const QElapsedTimer &timer) { return double(timer.nsecsElapsed()) / 1e6; }

// One solve as the main window runs it, without its widgets and questions.
Times solveOnce(const SolutionField &field, double tolerance)
{
    Times t;
    QElapsedTimer timer;
    timer.start();
    StarTable table;
    parseCatalogueAnswer(field.answer, kScale, kScale, table);
    t.parse = msSince(timer);

    timer.restart();
    PatternSearch search;
    search.setPicks(field.picks.x.data(), field.picks.y.data());
    search.setStars(table.starX.data(), table.starY.data(), table.starCount);
    t.tables = msSince(timer);

    timer.restart();
    const std::vector<StarPattern> candidates = search.search(tolerance).candidates;
    t.search = msSince(timer);
    t.candidates = candidates.size();

    timer.restart();
    std::vector<Corner> markers(size_t(table.starCount));
    Corner pickMarks[5];
    for (int p = 0; p < 5; ++p)
        pickMarks[p] = {float(field.picks.x[size_t(p + 1)] - 8), float(field.picks.y[size_t(p + 1)] - 8)};
    const PlanePoint px[3] = {{field.picks.x[1], field.picks.y[1]},
                              {field.picks.x[2], field.picks.y[2]},
                              {field.picks.x[3], field.picks.y[3]}};
    volatile int coincidences = 0;
    for (const StarPattern &row : candidates) {
        const PlanePoint sky[3] = {{table.starX[size_t(row[0])], table.starY[size_t(row[0])]},
                                   {table.starX[size_t(row[1])], table.starY[size_t(row[1])]},
                                   {table.starX[size_t(row[2])], table.starY[size_t(row[2])]}};
        const std::optional<PlateModel> model = fitPlateModel(px, sky);
        if (!model || linearDeterminant(*model) == 0.0)
            continue;
        for (int k = 1; k <= table.starCount; ++k) {
            const PlanePoint p = *imagePosition(*model, table.starX[size_t(k)], table.starY[size_t(k)]);
            markers[size_t(k - 1)] = {float(p.x - 4), float(p.y - 4)};
        }
        coincidences = coincidences + countCoincidences(pickMarks, 5, markers.data(), table.starCount,
                                                        coincidenceWindow(10));
    }
    t.review = msSince(timer);
    return t;
}

// The best of several runs, part by part.
Times bestOf(const SolutionField &field, double tolerance, int runs)
{
    Times best = solveOnce(field, tolerance);
    for (int r = 1; r < runs; ++r) {
        const Times t = solveOnce(field, tolerance);
        if (t.total() < best.total())
            best = t;
    }
    return best;
}

void report(const char *name, const Times &t)
{
    std::printf("%-44s total %7.2f ms  (parse %5.2f, tables %5.2f, search %7.2f, review %6.3f; %zu candidates)\n",
                name, t.total(), t.parse, t.tables, t.search, t.review, t.candidates);
}
} // namespace

int main()
{
    report("realistic: 497 stars over 1536x1024, tol 7", bestOf(bench::makeSolutionField(1536, 1024, 7), 7.0, 20));
    report("realistic: 497 stars over 1024x768, tol 7", bestOf(bench::makeSolutionField(1024, 768, 7), 7.0, 20));

    // Crowded fields: the same 497 stars packed ever tighter.
    Times worst;
    int worstSize = 0;
    for (int size : bench::kCrowdedSizes)
        for (quint32 seed : bench::kCrowdedSeeds) {
            const Times t = bestOf(bench::makeSolutionField(size, size * 2 / 3, seed), 7.0, 3);
            if (t.total() > worst.total()) {
                worst = t;
                worstSize = size;
            }
        }
    const QByteArray name = QStringLiteral("crowded worst case: 497 stars over %1x%2").arg(worstSize).arg(worstSize * 2 / 3).toLatin1();
    report(name.constData(), worst);
    return 0;
}
