// The star pattern search: matching distances, the candidates it finds and
// their order, and where it stops.

#include "astrometry/pattern_search.h"
#include "support/synthetic_field.h"

#include <QtTest>
#include <algorithm>
#include <set>

class TestPatternSearch : public QObject {
    Q_OBJECT
private slots:
    void distanceMatch_data();
    void distanceMatch();
    void syntheticField_data();
    void syntheticField();
    void sameAsExhaustiveSearch_data();
    void sameAsExhaustiveSearch();
    void picksCloserThanTolerance();
    void noStars();
    void symmetricPatternInSeveralRows();
    void firstStarLimit_data();
    void firstStarLimit();
};

namespace {
using synthetic::Field;
using synthetic::Picks;

PatternSearch::Result runSearch(const Field &field, const Picks &picks, double tolerance)
{
    PatternSearch search;
    search.setPicks(picks.x.data(), picks.y.data());
    search.setStars(field.starX.data(), field.starY.data(), field.count());
    return search.search(tolerance);
}

// Every ordered 5-tuple, all ten distances tested at once, with the limits
// applied per first star: what the search must find, whatever its pruning.
std::vector<StarPattern> exhaustive(const Field &field, const Picks &picks, double tolerance)
{
    const int n = field.count();
    auto dist = [](double x1, double y1, double x2, double y2) { return std::hypot(x2 - x1, y2 - y1); };
    auto cat = [&](int a, int b) {
        return dist(field.starX[size_t(a)], field.starY[size_t(a)], field.starX[size_t(b)], field.starY[size_t(b)]);
    };
    auto img = [&](int a, int b) { return dist(picks.x[size_t(a)], picks.y[size_t(a)], picks.x[size_t(b)], picks.y[size_t(b)]); };
    std::vector<StarPattern> found;
    for (int i = 1; i <= n && found.size() <= 300; ++i)
        for (int j = 1; j <= n; ++j)
            for (int k = 1; k <= n; ++k)
                for (int l = 1; l <= n; ++l)
                    for (int m = 1; m <= n; ++m) {
                        const int s[6] = {0, i, j, k, l, m};
                        bool all = true;
                        for (int a = 1; a <= 5 && all; ++a)
                            for (int b = a + 1; b <= 5 && all; ++b)
                                all = distancesMatch(cat(s[a], s[b]), img(a, b), tolerance);
                        if (all && found.size() < 800)
                            found.push_back({i, j, k, l, m});
                    }
    return found;
}

QString describe(const std::vector<StarPattern> &rows)
{
    QStringList out;
    for (const StarPattern &r : rows)
        out << QStringLiteral("(%1 %2 %3 %4 %5)").arg(r[0]).arg(r[1]).arg(r[2]).arg(r[3]).arg(r[4]);
    return out.join(u' ');
}
} // namespace

void TestPatternSearch::distanceMatch_data()
{
    QTest::addColumn<double>("catalogue");
    QTest::addColumn<double>("picks");
    QTest::addColumn<double>("tolerance");
    QTest::addColumn<bool>("matches");
    QTest::newRow("equal") << 50.0 << 50.0 << 7.0 << true;
    QTest::newRow("exactly tolerance below") << 43.0 << 50.0 << 7.0 << false;
    QTest::newRow("exactly tolerance above") << 57.0 << 50.0 << 7.0 << false;
    QTest::newRow("just inside below") << 43.0001 << 50.0 << 7.0 << true;
    QTest::newRow("just inside above") << 56.9999 << 50.0 << 7.0 << true;
    QTest::newRow("root of whole number") << std::sqrt(2.0) << 1.0 << 0.5 << true;
    QTest::newRow("zero tolerance never matches") << 50.0 << 50.0 << 0.0 << false;
    // The boundary lies where the sum rounds: 0.1 + 0.2 > 0.3 in doubles.
    QTest::newRow("sum rounded up") << 0.1 << 0.3 << 0.2 << true;
}

void TestPatternSearch::distanceMatch()
{
    QFETCH(double, catalogue);
    QFETCH(double, picks);
    QFETCH(double, tolerance);
    QFETCH(bool, matches);
    QCOMPARE(distancesMatch(catalogue, picks, tolerance), matches);
}

void TestPatternSearch::syntheticField_data()
{
    QTest::addColumn<double>("rotation");
    QTest::addColumn<bool>("mirror");
    QTest::addColumn<int>("stars");
    QTest::addColumn<quint32>("seed");
    QTest::newRow("upright") << 0.0 << false << 120 << 1u;
    QTest::newRow("rotated 37") << 37.0 << false << 200 << 2u;
    QTest::newRow("mirrored 200") << 200.0 << true << 200 << 3u;
    QTest::newRow("mirrored 90, crowded") << 90.0 << true << 497 << 4u;
}

void TestPatternSearch::syntheticField()
{
    QFETCH(double, rotation);
    QFETCH(bool, mirror);
    QFETCH(int, stars);
    QFETCH(quint32, seed);
    const Field field = synthetic::randomField(synthetic::affineModel(rotation, 1.0, mirror, 360000, 72000),
                                               stars, 1000, 800, seed);
    const StarPattern chosen = {17, 3, 88, 41, 60};
    const Picks picks = synthetic::picksOn(field, chosen, 1.0, seed + 100);
    const PatternSearch::Result result = runSearch(field, picks, 7.0);

    QVERIFY2(std::find(result.candidates.begin(), result.candidates.end(), chosen) != result.candidates.end(),
             qPrintable(describe(result.candidates)));
    QVERIFY(std::is_sorted(result.candidates.begin(), result.candidates.end()));
    QVERIFY(!result.tableFull);
    // Picks far apart: no candidate uses one star twice.
    for (const StarPattern &row : result.candidates)
        QCOMPARE(std::set<int>(row.begin(), row.end()).size(), size_t(5));
}

void TestPatternSearch::sameAsExhaustiveSearch_data()
{
    QTest::addColumn<int>("stars");
    QTest::addColumn<int>("size");
    QTest::addColumn<double>("tolerance");
    QTest::addColumn<quint32>("seed");
    // Small, dense fields so that many partial and whole matches occur.
    QTest::newRow("dense, tolerance 7") << 18 << 80 << 7.0 << 11u;
    QTest::newRow("dense, tolerance 3") << 20 << 60 << 3.0 << 12u;
    QTest::newRow("very dense") << 16 << 40 << 7.0 << 13u;
    QTest::newRow("tight tolerance") << 20 << 50 << 1.5 << 14u;
}

void TestPatternSearch::sameAsExhaustiveSearch()
{
    QFETCH(int, stars);
    QFETCH(int, size);
    QFETCH(double, tolerance);
    QFETCH(quint32, seed);
    const Field field =
        synthetic::randomField(synthetic::affineModel(25, 1.0, true, 5000, 9000), stars, size, size, seed, 0);
    const Picks picks = synthetic::picksOn(field, {1, 2, 3, 4, 5}, 0.5, seed);
    const PatternSearch::Result result = runSearch(field, picks, tolerance);
    const std::vector<StarPattern> expected = exhaustive(field, picks, tolerance);
    QVERIFY(!expected.empty());
    QCOMPARE(describe(result.candidates), describe(expected));
}

void TestPatternSearch::picksCloserThanTolerance()
{
    // Picks 1 and 2 lie 3 pixels apart: one catalogue star may serve both.
    Field field;
    field.truth = synthetic::affineModel(0, 1, false, 0, 0);
    for (const auto &[x, y] : std::vector<std::pair<double, double>>{{100, 100}, {103, 100}, {300, 120}, {150, 400}, {420, 380}})
        field.add(x, y);
    Picks picks;
    for (int p = 1; p <= 5; ++p) {
        picks.x[size_t(p)] = field.starX[size_t(p)];
        picks.y[size_t(p)] = field.starY[size_t(p)];
    }
    const PatternSearch::Result result = runSearch(field, picks, 7.0);
    const StarPattern sameStar = {1, 1, 3, 4, 5};
    QVERIFY2(std::find(result.candidates.begin(), result.candidates.end(), sameStar) != result.candidates.end(),
             qPrintable(describe(result.candidates)));
    QVERIFY(std::find(result.candidates.begin(), result.candidates.end(), StarPattern{1, 2, 3, 4, 5})
            != result.candidates.end());
}

void TestPatternSearch::noStars()
{
    PatternSearch search;
    const std::array<double, 11> x{0, 1, 50, 90, 10, 70}, y{0, 5, 80, 20, 60, 40};
    search.setPicks(x.data(), y.data());
    search.setStars(nullptr, nullptr, 0);
    QVERIFY(search.search(7.0).candidates.empty());
    QCOMPARE(search.imgDist(2, 1), search.imgDist(1, 2));
    QCOMPARE(search.imgDist(3, 3), 0.0);
}

void TestPatternSearch::symmetricPatternInSeveralRows()
{
    // A regular pentagon of picks: each rotation and reflection of the
    // catalogue pentagon matches, so its five stars fill ten rows.
    Field field;
    field.truth = synthetic::affineModel(0, 1, false, 0, 0);
    const Picks picks = synthetic::regularPentagon(field, 2000, 7000);
    field.add(9000, 9000); // a star that matches nothing
    const PatternSearch::Result result = runSearch(field, picks, 7.0);
    QCOMPARE(int(result.candidates.size()), 10);
    QVERIFY(std::is_sorted(result.candidates.begin(), result.candidates.end()));
    for (const StarPattern &row : result.candidates)
        QCOMPARE(std::set<int>(row.begin(), row.end()), (std::set<int>{1, 2, 3, 4, 5}));
}

void TestPatternSearch::firstStarLimit_data()
{
    // All picks at one point and stars stacked in groups at one point each: a
    // first star in a group of g stars brings g^4 candidates. Groups are
    // given in the order of their first star; their other members come last.
    QTest::addColumn<QList<int>>("groupSizes");
    QTest::addColumn<int>("expectedCount");
    QTest::addColumn<int>("lastFirstStar");
    QTest::addColumn<bool>("tableFull");
    // 256 + 16 + 16 + 12 = 300: the next first star is still begun (301).
    QTest::newRow("300 begins the next star")
        << QList<int>{4, 2, 2, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1} << 301 << 16 << false;
    // 256 + 16 + 16 + 13 = 301 after star 16: star 17 is not begun.
    QTest::newRow("301 ends the search")
        << QList<int>{4, 2, 2, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 2, 1} << 301 << 16 << false;
    // The star begun at 256 runs to its end, far past 300.
    QTest::newRow("star begun at 256 completes") << QList<int>{4, 4, 1} << 512 << 2 << false;
    // 1296 in one first star: the table stops at 800 rows.
    QTest::newRow("table full") << QList<int>{6, 1} << 800 << 1 << true;
}

void TestPatternSearch::firstStarLimit()
{
    QFETCH(QList<int>, groupSizes);
    QFETCH(int, expectedCount);
    QFETCH(int, lastFirstStar);
    QFETCH(bool, tableFull);
    Field field;
    field.truth = synthetic::affineModel(0, 1, false, 0, 0);
    // First members in order, then the other members of each group.
    for (int g = 0; g < groupSizes.size(); ++g)
        field.add(1000.0 * g, 0);
    for (int g = 0; g < groupSizes.size(); ++g)
        for (int extra = 1; extra < groupSizes[g]; ++extra)
            field.add(1000.0 * g, 0);
    Picks picks;
    for (int p = 1; p <= 5; ++p) {
        picks.x[size_t(p)] = 50;
        picks.y[size_t(p)] = 50;
    }
    const PatternSearch::Result result = runSearch(field, picks, 7.0);
    QCOMPARE(int(result.candidates.size()), expectedCount);
    QCOMPARE(result.candidates.back()[0], lastFirstStar);
    QCOMPARE(result.tableFull, tableFull);
}

QTEST_APPLESS_MAIN(TestPatternSearch)
#include "tst_pattern_search.moc"
