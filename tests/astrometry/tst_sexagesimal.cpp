// Sexagesimal texts and parts.

#include "astrometry/sexagesimal.h"

#include <cmath>
#include <QtTest>

class TestSexagesimal : public QObject {
    Q_OBJECT
private slots:
    void format_data();
    void format();
    void split_data();
    void split();
};

void TestSexagesimal::format_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("unit");
    QTest::addColumn<QString>("expected");
    const QString deg = QStringLiteral("\u00b0");
    QTest::newRow("12.5 h") << 12.5 << "h" << "12h30'0''";
    QTest::newRow("-33.2625 deg") << -33.2625 << deg << "-33" + deg + "15'45''";
    QTest::newRow("-0.5 deg") << -0.5 << deg << "-0" + deg + "30'0''";
    QTest::newRow("zero") << 0.0 << "h" << "0h0'0''";
    QTest::newRow("minus zero") << -0.0 << "h" << "0h0'0''";
    QTest::newRow("1.5 h") << 1.5 << "h" << "1h30'0''";
    QTest::newRow("1h1m5s") << 1.0 + 1.0 / 60 + 5.0 / 3600 << "h" << "1h1'5''";
    // Seconds are rounded to two decimals, then to a whole number.
    QTest::newRow("31.4951 s") << 31.4951 / 3600 << "h" << "0h0'32''";
    QTest::newRow("30.4951 s") << 30.4951 / 3600 << "h" << "0h0'30''";
    // 60 seconds and 60 minutes carry.
    QTest::newRow("carry to whole") << 1.9999999 << "h" << "2h0'0''";
    QTest::newRow("carry to minute") << 1.0 + 4.0 / 60 + 59.8 / 3600 << "h" << "1h5'0''";
    QTest::newRow("beyond 16 bits") << 40000.5 << deg << "40000" + deg + "30'0''";
    QTest::newRow("no number") << std::nan("") << deg << "NaN";
}

void TestSexagesimal::format()
{
    QFETCH(double, value);
    QFETCH(QString, unit);
    QFETCH(QString, expected);
    QCOMPARE(FormatSexagesimal(value, unit), expected);
}

void TestSexagesimal::split_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("whole");
    QTest::addColumn<int>("minutes");
    QTest::addColumn<double>("seconds");
    QTest::newRow("-12.5") << -12.5 << -12 << 30 << 0.0;
    QTest::newRow("1h1m5.25s") << 1.0 + 1.0 / 60 + 5.25 / 3600 << 1 << 1 << 5.25;
    QTest::newRow("four decimals") << 22.0 + 1.0 / 60 + 11.12346 / 3600 << 22 << 1 << 11.1235;
    QTest::newRow("between -1 and 0 has no sign") << -0.5 << 0 << 30 << 0.0;
    QTest::newRow("infinity has no parts") << -HUGE_VAL << 0 << 0 << std::nan("");
}

void TestSexagesimal::split()
{
    QFETCH(double, value);
    QFETCH(int, whole);
    QFETCH(int, minutes);
    QFETCH(double, seconds);
    int w = 99, m = 99;
    double s = 99;
    SplitSexagesimal(value, w, m, s);
    QCOMPARE(w, whole);
    QCOMPARE(m, minutes);
    QVERIFY2(std::isnan(seconds) ? std::isnan(s) : std::fabs(s - seconds) < 1e-9,
             qPrintable(QString::number(s, 'g', 17)));
}

QTEST_MAIN(TestSexagesimal)
#include "tst_sexagesimal.moc"
