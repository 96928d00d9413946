// The catalogue answer parsed into the star table: record columns, counts,
// rounding, and answers that are not what they should be.

#include "astrometry/catalogue_parser.h"
#include "platform/numbers.h"
#include "support/test_support.h"

#include <QRandomGenerator>
#include <QtTest>
#include <cmath>

using namespace testing;

class TestCatalogueParser : public QObject {
    Q_OBJECT
private slots:
    void counts_data();
    void counts();
    void recordColumns();
    void lineBreaks_data();
    void lineBreaks();
    void rounding_data();
    void rounding();
    void zeroScale();
    void markerPlacement_data();
    void markerPlacement();
    void secondShorterParse();
    void badAnswers_data();
    void badAnswers();
};

namespace {
// One record from its raw column texts: number (4), identifier (14), RA (9),
// Dec (9), magnitude (4); padded to 65 characters and a line break.
QByteArray record(int number, const QByteArray &id, const QByteArray &ra, const QByteArray &dec,
                  const QByteArray &mag, const QByteArray &lineBreak = "\n")
{
    QByteArray r = QByteArray::number(number).rightJustified(4) + ' ' + id.leftJustified(14, ' ', true) + ' ' +
                   ra.rightJustified(9, ' ', true) + ' ' + dec.rightJustified(9, ' ', true) + ' ' +
                   mag.leftJustified(4, ' ', true);
    return r.leftJustified(65, ' ') + lineBreak;
}

QByteArray starId(int k)
{
    return "U1200-" + QByteArray::number(k).rightJustified(8, '0');
}

QByteArray header()
{
    return "<html><body><pre>\n<b>   #  Identifier     RA        Dec       Mag</b>";
}

// An answer of `n` well-formed records, star k at RA k/100 degrees.
QByteArray answerOf(int n, const QByteArray &lineBreak = "\n")
{
    QByteArray a = header();
    for (int k = 1; k <= n; ++k)
        a += record(k, starId(k), QByteArray::number(k / 100.0, 'f', 5), "-12.50000", "13.2", lineBreak);
    a += "</pre></body></html>" + lineBreak;
    return a;
}

// Whatever the input, the table must be usable by the solve and the overlay.
void verifyConsistent(const StarTable &t)
{
    QVERIFY2(t.starTotal >= 0 && t.starTotal <= StarTable::kCapacity, qPrintable(QString::number(t.starTotal)));
    QCOMPARE(t.starCount, std::min(t.starTotal, StarTable::kInUse));
    for (int k = 1; k <= t.starTotal; ++k) {
        QVERIFY2(t.starId[k].startsWith(u'U'), qPrintable(t.starId[k]));
        QVERIFY(t.starId[k].size() <= 14);
        QVERIFY(t.starMag[k].size() <= 4);
        QVERIFY(std::isfinite(t.starX[k]) && std::isfinite(t.starY[k]));
        QCOMPARE(t.starX[k], std::round(t.starX[k]));
        QCOMPARE(t.starY[k], std::round(t.starY[k]));
    }
}
} // namespace

void TestCatalogueParser::counts_data()
{
    QTest::addColumn<int>("records");
    QTest::addColumn<int>("total");
    QTest::addColumn<int>("inUse");
    QTest::newRow("none") << 0 << 0 << 0;
    QTest::newRow("10") << 10 << 10 << 10;
    QTest::newRow("497") << 497 << 497 << 497;
    QTest::newRow("498") << 498 << 498 << 497;
    QTest::newRow("4000") << 4000 << 4000 << 497;
    QTest::newRow("4500") << 4500 << 4000 << 497;
}

void TestCatalogueParser::counts()
{
    QFETCH(int, records);
    QFETCH(int, total);
    QFETCH(int, inUse);
    StarTable table;
    parseCatalogueAnswer(answerOf(records), 100, 1, table);
    QCOMPARE(table.starTotal, total);
    QCOMPARE(table.starCount, inUse);
    if (total > 0) {
        QCOMPARE(table.starId[total], QString::fromLatin1(starId(total)));
        QCOMPARE(table.starX[total], roundHalfEven(total / 100.0 * 100));
    }
    verifyConsistent(table);
}

void TestCatalogueParser::recordColumns()
{
    // Identifier and magnitude are kept as they stand, blanks included; a
    // coordinate field with no number gives 0 and the record still counts.
    const QByteArray answer = header() + record(1, "U0825-12345678", " 23.70833", "+22.01972", " 9.5") +
                              record(2, "U0825-1", "abc", "", "") + record(3, "U0825-3", "1e999", "-1e999", "1") +
                              "end of list\n";
    StarTable table;
    parseCatalogueAnswer(answer, 3600, 3600, table);
    QCOMPARE(table.starTotal, 3);
    QCOMPARE(table.starId[1], QStringLiteral("U0825-12345678"));
    QCOMPARE(table.starMag[1], QStringLiteral(" 9.5"));
    QCOMPARE(table.starX[1], roundHalfEven(23.70833 * 3600));
    QCOMPARE(table.starY[1], roundHalfEven(22.01972 * 3600));
    QCOMPARE(table.starId[2], QStringLiteral("U0825-1       "));
    QCOMPARE(table.starX[2], 0.0);
    QCOMPARE(table.starY[2], 0.0);
    QCOMPARE(table.starMag[2], QStringLiteral("    "));
    // An exponent beyond a double's range is no number either.
    QCOMPARE(table.starX[3], 0.0);
    QCOMPARE(table.starY[3], 0.0);
}

void TestCatalogueParser::lineBreaks_data()
{
    QTest::addColumn<QByteArray>("lineBreak");
    QTest::newRow("LF") << QByteArray("\n");
    QTest::newRow("CR LF") << QByteArray("\r\n");
    QTest::newRow("CR") << QByteArray("\r");
}

void TestCatalogueParser::lineBreaks()
{
    // Every line break counts as one character, whatever its bytes.
    QFETCH(QByteArray, lineBreak);
    StarTable table;
    parseCatalogueAnswer(answerOf(25, lineBreak), 100, 10, table);
    QCOMPARE(table.starTotal, 25);
    for (int k = 1; k <= 25; ++k) {
        QCOMPARE(table.starId[k], QString::fromLatin1(starId(k)));
        QCOMPARE(table.starX[k], roundHalfEven(k / 100.0 * 100));
        QCOMPARE(table.starY[k], -125.0);
        QCOMPARE(table.starMag[k], QStringLiteral("13.2"));
    }
}

void TestCatalogueParser::rounding_data()
{
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<double>("scale");
    QTest::addColumn<double>("expected");
    QTest::newRow("2.5 to even 2") << QByteArray("1.25") << 2.0 << 2.0;
    QTest::newRow("3.5 to even 4") << QByteArray("1.75") << 2.0 << 4.0;
    QTest::newRow("-12.5 to -12") << QByteArray("-12.5") << 1.0 << -12.0;
    QTest::newRow("-13.5 to -14") << QByteArray("-13.5") << 1.0 << -14.0;
    QTest::newRow("not a half") << QByteArray("1.26") << 2.0 << 3.0;
    QTest::newRow("leading number only") << QByteArray("7.5xyz") << 1.0 << 8.0;
}

void TestCatalogueParser::rounding()
{
    QFETCH(QByteArray, field);
    QFETCH(double, scale);
    QFETCH(double, expected);
    // The reading takes a point whatever the locale.
    for (const QLocale &locale : {pointLocale(), commaLocale()}) {
        ScopedLocale scoped(locale);
        StarTable table;
        parseCatalogueAnswer(header() + record(1, "U1", field, field, "12.0"), scale, scale, table);
        QCOMPARE(table.starTotal, 1);
        QCOMPARE(table.starX[1], expected);
        QCOMPARE(table.starY[1], expected);
    }
}

void TestCatalogueParser::zeroScale()
{
    // An empty coefficient field at the solve gives a scale of 0.
    StarTable table;
    parseCatalogueAnswer(answerOf(30), 0, 7, table);
    QCOMPARE(table.starTotal, 30);
    for (int k = 1; k <= 30; ++k) {
        QCOMPARE(table.starX[k], 0.0);
        QCOMPARE(table.starY[k], roundHalfEven(-12.5 * 7));
    }
}

void TestCatalogueParser::markerPlacement_data()
{
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<int>("total");
    QTest::addColumn<QString>("firstId");

    const QByteArray one = record(1, "UAAA", "1", "1", "10.0");
    const QByteArray two = record(1, "UBBB", "2", "2", "11.0") + record(2, "UCCC", "3", "3", "12.0");
    QTest::newRow("marker twice: first wins") << header() + one + "<p>\n<b>x</b>" + two << 1 << "UAAA";
    QTest::newRow("no marker, U at 9") << "abc" + two << 2 << "UBBB";
    QTest::newRow("no marker, no U at 9") << "abcd" + two << 0 << "";
    QTest::newRow("lower-case u ends the list")
        << header() + one + record(2, "uDDD", "4", "4", "13.0") + two << 1 << "UAAA";
    QTest::newRow("lower-case marker is no marker") << "</b>   1 u" + two.mid(10) << 0 << "";
    // Positions are not limited to 16 bits: a long page header is fine.
    QTest::newRow("marker after 40000 characters")
        << QByteArray(40000, 'x') + header() + two << 2 << "UBBB";
    QTest::newRow("marker split by a line break") << "</b>   1\n U" + two << 0 << "";
    QTest::newRow("truncated last record keeps its U")
        << header() + two + "   3 U12" << 3 << "UBBB";
    QTest::newRow("record shorter than six characters") << header() + two + "   3 " << 2 << "UBBB";
}

void TestCatalogueParser::markerPlacement()
{
    QFETCH(QByteArray, answer);
    QFETCH(int, total);
    QFETCH(QString, firstId);
    StarTable table;
    parseCatalogueAnswer(answer, 1, 1, table);
    QCOMPARE(table.starTotal, total);
    if (total > 0)
        QCOMPARE(table.starId[1].trimmed(), firstId);
    verifyConsistent(table);
}

void TestCatalogueParser::secondShorterParse()
{
    StarTable table;
    parseCatalogueAnswer(answerOf(600), 100, 1, table);
    QCOMPARE(table.starTotal, 600);
    const QString id550 = table.starId[550];
    const double x550 = table.starX[550];

    parseCatalogueAnswer(answerOf(5), 1000, 1, table);
    QCOMPARE(table.starTotal, 5);
    QCOMPARE(table.starCount, 5);
    QCOMPARE(table.starX[5], roundHalfEven(5 / 100.0 * 1000));
    // Beyond starTotal the earlier parse stays as it was.
    QCOMPARE(table.starId[550], id550);
    QCOMPARE(table.starX[550], x550);
    QCOMPARE(table.starX[6], roundHalfEven(6 / 100.0 * 100));
}

void TestCatalogueParser::badAnswers_data()
{
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<int>("total");

    QRandomGenerator random(20240611);
    auto noise = [&](qsizetype size) {
        QByteArray bytes(size, Qt::Uninitialized);
        random.fillRange(reinterpret_cast<quint32 *>(bytes.data()), size / 4);
        return bytes;
    };
    QByteArray letters;
    for (int k = 0; k < 50; ++k)
        letters += QByteArray(65, char('A' + k % 26)) + '\n';
    QByteArray letterRecords = header();
    for (int k = 1; k <= 20; ++k)
        letterRecords += "   " + QByteArray::number(k % 10) + " U" + QByteArray(59, 'Q') + '\n';

    QTest::newRow("0 bytes") << QByteArray() << 0;
    QTest::newRow("three bytes") << QByteArray("</b") << 0;
    QTest::newRow("marker and nothing more") << QByteArray("</b>   1 U") << 1;
    QTest::newRow("no marker, page of letters") << letters << 0;
    QTest::newRow("records of letters") << letterRecords << 20;
    QTest::newRow("not text") << noise(4096) << -1;
    QTest::newRow("NUL bytes around a record") << QByteArray(20, '\0') + header() + record(1, "U1", "1", "2", "3") +
                                                      QByteArray(20, '\0') << 1;
    QTest::newRow("10 MB of noise") << noise(10 * 1024 * 1024) << -1;
    QTest::newRow("10 MB of noise after the marker") << header() + noise(10 * 1024 * 1024) << -1;
    QTest::newRow("10 MB of Us") << QByteArray(10 * 1024 * 1024, 'U') << 4000;
}

void TestCatalogueParser::badAnswers()
{
    // -1: any count, as long as the table is consistent.
    QFETCH(QByteArray, answer);
    QFETCH(int, total);
    StarTable table;
    parseCatalogueAnswer(answer, 3600.5, -1234.25, table);
    if (total >= 0)
        QCOMPARE(table.starTotal, total);
    verifyConsistent(table);
}

QTEST_GUILESS_MAIN(TestCatalogueParser)
#include "tst_catalogue_parser.moc"
