// The coefficients of the calibration by image from three reference stars.

#include "astrometry/calibration.h"

#include <QtTest>
#include <algorithm>
#include <cmath>

class TestCalibration : public QObject {
    Q_OBJECT
private slots:
    void solve_data();
    void solve();
};

void TestCalibration::solve_data()
{
    QTest::addColumn<QList<double>>("stars"); // x, y, ra, dec for stars 1..3
    QTest::addColumn<double>("kRa");
    QTest::addColumn<double>("kDec");
    // 100 pixels over 0.05 degree on each axis: 2000 pixels per degree.
    QTest::newRow("square") << QList<double>{0, 0, 0, 0, 100, 0, 0.05, 0, 0, 100, 0, 0.05}
                            << 2000.0 * 2000.0 << 2000.0 * 2000.0;
    // Different scales on the two axes, with both axes mixed in each pair.
    QTest::newRow("mixed") << QList<double>{10, 20, 1.0, 2.0, 310, 420, 1.1, 2.1, -90, 520, 0.95, 2.2}
                           << 0.0 << 0.0;
}

void TestCalibration::solve()
{
    QFETCH(QList<double>, stars);
    QFETCH(double, kRa);
    QFETCH(double, kDec);
    ReferenceStars s;
    for (int i = 0; i < 3; ++i) {
        s.x[size_t(i + 1)] = int(stars[i * 4]);
        s.y[size_t(i + 1)] = int(stars[i * 4 + 1]);
        s.raDeg[size_t(i + 1)] = stars[i * 4 + 2];
        s.decDeg[size_t(i + 1)] = stars[i * 4 + 3];
    }
    const CalibrationTerms t = solveCalibration(s);
    // Whatever the data, the two equations hold.
    QVERIFY(std::fabs(t.kRa * t.terms[0] + t.kDec * t.terms[1] - t.p12) < 1e-6 * std::max(1.0, t.p12));
    QVERIFY(std::fabs(t.kRa * t.terms[2] + t.kDec * t.terms[3] - t.p13) < 1e-6 * std::max(1.0, t.p13));
    if (kRa != 0) {
        QVERIFY(std::fabs(t.kRa - kRa) < 1e-3);
        QVERIFY(std::fabs(t.kDec - kDec) < 1e-3);
    }
}

QTEST_APPLESS_MAIN(TestCalibration)
#include "tst_calibration.moc"
