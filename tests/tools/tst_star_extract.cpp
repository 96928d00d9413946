// Catalogue extracts (CSV, TSV) served as star lists.

#include "catalogue_service.h"
#include "sky_index.h"
#include "star_extract.h"

#include <QTemporaryDir>
#include <QtTest>
#include <cmath>

using namespace catalogue;

class TestStarExtract : public QObject {
    Q_OBJECT
private slots:
    void extract_data();
    void extract();
    void extractErrors_data();
    void extractErrors();
    void recognised_data();
    void recognised();
    void loadedByItsContent();
};

namespace {
// As the catalogue browser writes a tab-separated extract.
const QString kVizierTsv = QStringLiteral("#\n# VizieR Astronomical Server\n#Title: Tycho-2\n"
                                          "RAJ2000\tDEJ2000\tTYC\tVTmag\tVmag\n"
                                          "\"h:m:s\"\t\"d:m:s\"\t\t mag\tmag\n"
                                          "----------\t---------\t-----\t------\t-----\n"
                                          "08 51 18.00\t+11 49 30.0\t814-1\t10.3\t10.25\n"
                                          "08 50 59.99\t-00 30 00.0\t814-2\t11.0\t\n"
                                          "08 52 00.00\t+11 40 00.0\t814-3\t12.0\t11.90\n");
} // namespace

void TestStarExtract::extract_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("count");
    QTest::addColumn<double>("ra");  // of the first star
    QTest::addColumn<double>("dec");
    QTest::addColumn<double>("mag");
    const double ra = (8 + 51 / 60.0 + 18 / 3600.0) * 15, dec = 11 + 49 / 60.0 + 30 / 3600.0;
    QTest::newRow("TSV, sexagesimal, units and dashes, a star without V") << kVizierTsv << 2 << ra << dec << 10.25;
    QTest::newRow("CSV in degrees") << QStringLiteral("# an extract\nra,dec,mag\n132.825,11.825,10.3\n1,-2,3\n") << 2
                                    << 132.825 << 11.825 << 10.3;
    QTest::newRow("names in any case, extra columns")
        << QStringLiteral("id,_raj2000,_DEJ2000,gmag\nA,10.5,-20.25,15.5\n") << 1 << 10.5 << -20.25 << 15.5;
    QTest::newRow("first name of the list preferred")
        << QStringLiteral("ra,RA_ICRS,dec,mag,Rmag\n1,2,3,4,5\n") << 1 << 2.0 << 3.0 << 5.0;
    QTest::newRow("colons, south below one degree")
        << QStringLiteral("RAJ2000;DEJ2000;Vmag\n\"01:00:00\";\"-00:30:00\";9.1\n") << 1 << 15.0 << -0.5 << 9.1;
    QTest::newRow("dashes without units") << QStringLiteral("RA_ICRS\tDE_ICRS\tGmag\n---\t---\t---\n5\t6\t7\n") << 1
                                          << 5.0 << 6.0 << 7.0;
}

void TestStarExtract::extract()
{
    QFETCH(QString, text);
    QFETCH(int, count);
    QFETCH(double, ra);
    QFETCH(double, dec);
    QFETCH(double, mag);
    const std::vector<Star> stars = parseExtract(text, QStringLiteral("/data/gaia_field.csv"));
    QCOMPARE(int(stars.size()), count);
    QVERIFY(std::fabs(stars[0].raDeg - ra) < 1e-9);
    QVERIFY(std::fabs(stars[0].decDeg - dec) < 1e-9);
    QCOMPARE(stars[0].magnitude, mag);
    for (const Star &s : stars) {
        QVERIFY2(s.id.startsWith(QStringLiteral("UGAI")), qPrintable(s.id));
        QCOMPARE(s.id, positionId(QStringLiteral("UGAI"), s.raDeg, s.decDeg));
        QCOMPARE(s.id.size(), 14);
    }
}

void TestStarExtract::extractErrors_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    QTest::newRow("no magnitude") << "RAJ2000,DEJ2000,B-V\n1,2,0.5\n"
                                  << "line 1: the extract has no column for a magnitude (Vmag, Rmag, Gmag, mag)";
    QTest::newRow("no position") << "# c\nname,Vmag\nA,5\n"
                                 << "line 2: the extract has no column for a right ascension (RAJ2000, _RAJ2000, "
                                    "RA_ICRS, ra), nor a declination (DEJ2000, _DEJ2000, DE_ICRS, dec)";
    QTest::newRow("nothing but comments") << "# only\n# comments\n" << "no header line";
    QTest::newRow("right ascension of letters") << "ra,dec,mag\n1,2,3\nx,2,3\n" << "line 3: right ascension";
    QTest::newRow("24 hours") << "ra,dec,mag\n24 00 00,2,3\n" << "line 2: right ascension";
    QTest::newRow("beyond the pole") << "ra,dec,mag\n1,+91 00 00,3\n" << "line 2: declination";
    QTest::newRow("short row") << "ra,dec,mag\n1,2\n" << "line 2: 2 columns";
    QTest::newRow("magnitude of letters") << "ra,dec,mag\n1,2,bright\n" << "line 2: magnitude";
}

void TestStarExtract::extractErrors()
{
    QFETCH(QString, text);
    QFETCH(QString, message);
    try {
        parseExtract(text, QStringLiteral("extract.csv"));
        QFAIL("the extract was accepted");
    } catch (const StarListError &e) {
        QVERIFY2(QString::fromUtf8(e.what()).startsWith(message), e.what());
    }
}

void TestStarExtract::recognised_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("extract");
    QTest::newRow("star list with tabs") << "stars.txt" << "# id ra dec mag\nU1\t1\t2\t3\n" << false;
    QTest::newRow("CSV by its name") << "field.CSV" << "" << true;
    QTest::newRow("TSV by its name") << "field.tsv" << "" << true;
    QTest::newRow("extract by its header") << "field.txt" << kVizierTsv << true;
    QTest::newRow("CSV header, no extension") << "field" << "x,RA_ICRS,DE_ICRS,Gmag\n" << true;
}

void TestStarExtract::recognised()
{
    QFETCH(QString, path);
    QFETCH(QString, text);
    QFETCH(bool, extract);
    QCOMPARE(isExtract(path, text), extract);
}

void TestStarExtract::loadedByItsContent()
{
    QTemporaryDir dir;
    const QString extract = dir.filePath("m67.dat"), list = dir.filePath("list.txt");
    for (const auto &[path, text] : {std::pair{extract, kVizierTsv}, std::pair{list, QStringLiteral("U1 1 2 3\n")}}) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text.toUtf8());
    }
    QCOMPARE(loadStars(extract).size(), size_t(2));
    QVERIFY(loadStars(extract)[0].id.startsWith(QStringLiteral("UM67")));
    QCOMPARE(loadStars(list)[0].id, QStringLiteral("U1"));
    try {
        loadStars(dir.filePath("none.csv"));
        QFAIL("a missing file was read");
    } catch (const StarListError &e) {
        QVERIFY2(QString::fromUtf8(e.what()).startsWith(dir.filePath("none.csv") + u':'), e.what());
    }
}

QTEST_GUILESS_MAIN(TestStarExtract)
#include "tst_star_extract.moc"
