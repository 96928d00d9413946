// The whole sky from index files: reading, merging, bad files, the cone
// search against a plain star list, and which queries a star list answers.

#include "catalogue_service.h"
#include "sky_index.h"
#include "support/index_file.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>

using namespace catalogue;
using testing::IndexStar;

class TestSkyIndex : public QObject {
    Q_OBJECT
private slots:
    void readFiles_data();
    void readFiles();
    void coneAsAStarList_data();
    void coneAsAStarList();
    void areaRule_data();
    void areaRule();
    void openSky_data();
    void openSky();
};

namespace {
constexpr double kArcsec = 1.0 / 3600;

// Two files that share one star, 0.5" apart between them.
const std::vector<IndexStar> kFileA = {{132.75, 11.82, 9.5f}, {132.80, 11.85, 10.2f}};
const std::vector<IndexStar> kFileB = {{132.75 + 0.5 * kArcsec / std::cos(11.82 * M_PI / 180), 11.82, 9.6f},
                                       {132.70, 11.80, 8.1f}};

ConeQuery cone(double ra, double dec, double radiusArcmin, double magFaint = 13, int maxStars = 5000)
{
    ConeQuery q;
    q.raDeg = ra;
    q.decDeg = dec;
    q.radiusArcmin = radiusArcmin;
    q.magFaint = magFaint;
    q.maxStars = maxStars;
    return q;
}

QStringList ids(const std::vector<Star> &stars)
{
    QStringList list;
    for (const Star &s : stars)
        list << s.id;
    return list;
}
} // namespace

void TestSkyIndex::readFiles_data()
{
    // Each file: "A" or "B" above, "garbage" (not FITS), "truncated" (A cut
    // in its data), "missing" (not there).
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QList<double>>("magnitudes"); // of the field's answer
    QTest::addColumn<QStringList>("problems");     // the files named
    QTest::newRow("one file") << QStringList{"A"} << QList<double>{9.5, 10.2} << QStringList{};
    QTest::newRow("shared star kept once") << QStringList{"A", "B"} << QList<double>{8.1, 9.5, 10.2} << QStringList{};
    QTest::newRow("order of the files") << QStringList{"B", "A"} << QList<double>{8.1, 9.6, 10.2} << QStringList{};
    QTest::newRow("damaged file") << QStringList{"garbage", "B"} << QList<double>{8.1, 9.6} << QStringList{"garbage"};
    QTest::newRow("truncated file") << QStringList{"truncated", "B"} << QList<double>{8.1, 9.6}
                                    << QStringList{"truncated"};
    QTest::newRow("missing file") << QStringList{"A", "missing"} << QList<double>{9.5, 10.2}
                                  << QStringList{"missing"};
    QTest::newRow("nothing usable") << QStringList{"missing", "garbage"} << QList<double>{}
                                    << QStringList{"missing", "garbage"};
}

void TestSkyIndex::readFiles()
{
    QFETCH(QStringList, files);
    QFETCH(QList<double>, magnitudes);
    QFETCH(QStringList, problems);
    QTemporaryDir dir;
    QStringList paths;
    for (const QString &kind : files) {
        const QString path = dir.filePath(kind + QStringLiteral(".fits"));
        paths << path;
        if (kind == u"A" || kind == u"B" || kind == u"truncated")
            QVERIFY(testing::writeIndexFile(path, kind == u"B" ? kFileB : kFileA));
        if (kind == u"garbage") {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray(20000, 'x'));
        }
        if (kind == u"truncated") {
            QFile file(path);
            QVERIFY(file.resize(file.size() - 2880 - 100));
        }
    }
    QStringList said;
    const SkyIndex index = SkyIndex::load(paths, &said);
    QCOMPARE(said.size(), problems.size());
    for (int k = 0; k < problems.size(); ++k)
        QVERIFY2(said[k].startsWith(dir.filePath(problems[k] + QStringLiteral(".fits")) + u':'), qPrintable(said[k]));

    const std::vector<Star> answer = index.select(cone(132.75, 11.82, 10));
    QList<double> got;
    for (const Star &s : answer) {
        got << std::round(s.magnitude * 10) / 10;
        QVERIFY(s.id.startsWith(QStringLiteral("UT2-")));
        QCOMPARE(s.id.size(), 14);
        QCOMPARE(s.id, skyStarId(s.raDeg, s.decDeg));
    }
    QCOMPARE(got, magnitudes);
    // Positions come back within a thousandth of an arc-second.
    for (const Star &s : answer) {
        bool written = false;
        for (const std::vector<IndexStar> *file : {&kFileA, &kFileB})
            for (const IndexStar &w : *file)
                written = written || angularDistanceDeg(s.raDeg, s.decDeg, w.raDeg, w.decDeg) < 1e-3 * kArcsec;
        QVERIFY(written);
    }
    QCOMPARE(ids(index.select(cone(132.75, 11.82, 10))), ids(answer));
}

void TestSkyIndex::coneAsAStarList_data()
{
    QTest::addColumn<double>("ra");
    QTest::addColumn<double>("dec");
    QTest::addColumn<double>("radiusArcmin");
    QTest::addColumn<int>("maxStars");
    QTest::newRow("usual field") << 132.75 << 11.82 << 20.0 << 5000;
    QTest::newRow("two degrees") << 45.0 << -30.0 << 120.0 << 5000;
    QTest::newRow("across RA 0") << 0.1 << 5.0 << 60.0 << 5000;
    QTest::newRow("round the pole") << 200.0 << 89.5 << 60.0 << 5000;
    QTest::newRow("high declination") << 300.0 << -80.0 << 90.0 << 5000;
    QTest::newRow("nout") << 45.0 << -30.0 << 120.0 << 7;
}

void TestSkyIndex::coneAsAStarList()
{
    // Stars strewn round the centre: the index answers as selectStars does
    // on the same stars given as a list.
    QFETCH(double, ra);
    QFETCH(double, dec);
    QFETCH(double, radiusArcmin);
    QFETCH(int, maxStars);
    QRandomGenerator random(42);
    std::vector<IndexStar> written;
    std::vector<Star> list;
    const double spread = radiusArcmin / 60 * 2;
    for (int k = 0; k < 3000; ++k) {
        const double d = std::clamp(dec + (random.generateDouble() * 2 - 1) * spread, -90.0, 90.0);
        double r = ra + (random.generateDouble() * 2 - 1) * spread / std::max(0.01, std::cos(d * M_PI / 180));
        r = std::fmod(std::fmod(r, 360) + 360, 360);
        const float mag = float(6 + random.generateDouble() * 9);
        written.push_back({r, d, mag});
        list.push_back({skyStarId(r, d), r, d, double(mag)});
    }
    QTemporaryDir dir;
    QVERIFY(testing::writeIndexFile(dir.filePath("index.fits"), written));
    QStringList problems;
    const SkyIndex index = SkyIndex::load({dir.filePath("index.fits")}, &problems);
    QCOMPARE(problems, QStringList());
    const ConeQuery q = cone(ra, dec, radiusArcmin, 13, maxStars);
    const std::vector<Star> expected = selectStars(list, q);
    QVERIFY(expected.size() > size_t(maxStars < 100 ? maxStars - 1 : 50));
    const std::vector<Star> got = index.select(q);
    QCOMPARE(got.size(), expected.size());
    for (size_t k = 0; k < got.size(); ++k) {
        QCOMPARE(got[k].magnitude, expected[k].magnitude);
        QVERIFY2(angularDistanceDeg(got[k].raDeg, got[k].decDeg, expected[k].raDeg, expected[k].decDeg) < 1e-3 * kArcsec,
                 qPrintable(QStringLiteral("star %1").arg(k)));
    }
}

void TestSkyIndex::areaRule_data()
{
    // The list: four stars round 23.7, +22.0, so its area is a cap of about
    // 0.3 degrees; the whole sky has one star inside that cap and one beside.
    QTest::addColumn<double>("ra");
    QTest::addColumn<double>("dec");
    QTest::addColumn<QString>("firstId");
    QTest::newRow("centre of the list") << 23.7 << 22.0 << "UL1";
    QTest::newRow("inside, off centre") << 23.7 << 22.25 << "UL3";
    QTest::newRow("just outside") << 23.7 << 22.35 << "UT2-";
    QTest::newRow("far field") << 132.75 << 11.82 << "UT2-";
}

void TestSkyIndex::areaRule()
{
    QFETCH(double, ra);
    QFETCH(double, dec);
    QFETCH(QString, firstId);
    QTemporaryDir dir;
    QVERIFY(testing::writeIndexFile(dir.filePath("index.fits"),
                                    {{23.7, 22.0, 5.0f}, {23.7, 22.4, 5.0f}, {132.75, 11.82, 9.5f}}));
    auto index = std::make_shared<SkyIndex>(SkyIndex::load({dir.filePath("index.fits")}, nullptr));
    Sky sky;
    sky.addList({{"UL1", 23.7, 22.0, 11.0}, {"UL2", 23.7, 21.7, 12.0}, {"UL3", 23.7, 22.3, 11.5},
                 {"UL4", 24.0, 22.0, 12.5}});
    sky.setWholeSky(index);
    const std::vector<Star> answer = sky.select(cone(ra, dec, 5));
    QVERIFY(!answer.empty());
    QVERIFY2(answer.front().id.startsWith(firstId), qPrintable(answer.front().id));
}

void TestSkyIndex::openSky_data()
{
    // What the service starts with. Lists: "list" (good), "broken" (a bad
    // line). The index folder holds "good" and/or "damaged" index files.
    QTest::addColumn<QStringList>("lists");
    QTest::addColumn<QStringList>("indexFiles");
    QTest::addColumn<bool>("serves");
    QTest::addColumn<QStringList>("said"); // the start of each line, in order
    QTest::newRow("a list, no whole sky") << QStringList{"list"} << QStringList{} << true
                                          << QStringList{"no whole-sky catalogue in "};
    QTest::newRow("the whole sky alone") << QStringList{} << QStringList{"good"} << true
                                         << QStringList{"the whole sky: 3 stars from 1 of 1 index files"};
    QTest::newRow("a damaged file beside a good one")
        << QStringList{"list"} << QStringList{"damaged", "good"} << true
        << QStringList{"%1/index-tycho2-damaged.fits: not a FITS file", "the whole sky: 3 stars from 1 of 2"};
    QTest::newRow("nothing at all") << QStringList{} << QStringList{} << false
                                    << QStringList{"no whole-sky catalogue in ", "nothing to serve"};
    QTest::newRow("only a damaged file") << QStringList{} << QStringList{"damaged"} << false
                                         << QStringList{"%1/index-tycho2-damaged.fits: ", "no star in the index files",
                                                        "nothing to serve"};
    QTest::newRow("a list that cannot be read") << QStringList{"broken", "list"} << QStringList{"good"} << true
                                                << QStringList{"%1/broken.txt: line 2: ", "the whole sky: 3 stars"};
    QTest::newRow("only a list that cannot be read")
        << QStringList{"broken"} << QStringList{} << false
        << QStringList{"%1/broken.txt: line 2: ", "no whole-sky catalogue in ", "nothing to serve"};
}

void TestSkyIndex::openSky()
{
    QFETCH(QStringList, lists);
    QFETCH(QStringList, indexFiles);
    QFETCH(bool, serves);
    QFETCH(QStringList, said);
    QTemporaryDir dir;
    QStringList listPaths;
    for (const QString &name : lists) {
        listPaths << dir.filePath(name + QStringLiteral(".txt"));
        QFile file(listPaths.back());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(name == u"list" ? "U1 23.7 22.0 11.0\n" : "U1 23.7 22.0 11.0\nU2 1 2\n");
    }
    for (const QString &name : indexFiles) {
        const QString path = dir.filePath(QStringLiteral("index-tycho2-%1.fits").arg(name));
        if (name == u"good") {
            QVERIFY(testing::writeIndexFile(path, {{1, 2, 9}, {3, 4, 10}, {5, 6, 11}}));
        } else {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray(3000, 'x'));
        }
    }
    QStringList told;
    const std::optional<Sky> sky = catalogue::openSky(listPaths, {}, dir.path(), &told);
    QCOMPARE(sky.has_value(), serves);
    QCOMPARE(told.size(), said.size());
    for (int k = 0; k < said.size(); ++k)
        QVERIFY2(told[k].startsWith(said[k].contains(u'%') ? said[k].arg(dir.path()) : said[k]), qPrintable(told[k]));
}

QTEST_GUILESS_MAIN(TestSkyIndex)
#include "tst_sky_index.moc"
