// The plate model: exact fit, inverse, field centre, coincidence window and
// count.

#include "astrometry/plate_model.h"
#include "platform/failure.h"
#include "support/synthetic_field.h"

#include <QtTest>
#include <cfloat>
#include <cmath>

class TestPlateModel : public QObject {
    Q_OBJECT
private slots:
    void fitReproducesModel_data();
    void fitReproducesModel();
    void fitWithoutModel_data();
    void fitWithoutModel();
    void inverse_data();
    void inverse();
    void noInverse_data();
    void noInverse();
    void fieldCentre_data();
    void fieldCentre();
    void window_data();
    void window();
    void windowOverflow_data();
    void windowOverflow();
    void coincidences_data();
    void coincidences();
    void coincidencesInSinglePrecision();
};

namespace {
struct Corner {
    float Left = 0, Top = 0;
};

bool near(double a, double b, double tolerance) { return std::fabs(a - b) <= tolerance; }
} // namespace

void TestPlateModel::fitReproducesModel_data()
{
    QTest::addColumn<double>("rotation");
    QTest::addColumn<double>("scale");
    QTest::addColumn<bool>("mirror");
    QTest::addColumn<double>("x3");
    QTest::addColumn<double>("y3");
    QTest::newRow("identity-like") << 0.0 << 1.0 << false << 400.0 << 900.0;
    QTest::newRow("rotated 30") << 30.0 << 1.0 << false << 12.0 << 700.0;
    QTest::newRow("mirrored 145, scale 1.2") << 145.0 << 1.2 << true << 900.0 << 20.0;
    QTest::newRow("nearly collinear picks") << 80.0 << 0.9 << true << 1000.0 << 2.0;
}

void TestPlateModel::fitReproducesModel()
{
    QFETCH(double, rotation);
    QFETCH(double, scale);
    QFETCH(bool, mirror);
    QFETCH(double, x3);
    QFETCH(double, y3);
    const PlateModel truth = synthetic::affineModel(rotation, scale, mirror, 360000.5, -72000.25);
    const PlanePoint picks[3] = {{10, 15}, {500, 1}, {x3, y3}};
    PlanePoint sky[3];
    for (int p = 0; p < 3; ++p)
        sky[p] = synthetic::forward(truth, picks[p].x, picks[p].y);

    const std::optional<PlateModel> fit = fitPlateModel(picks, sky);
    QVERIFY(fit);
    const double got[6] = {fit->coefA, fit->coefB, fit->coefC, fit->coefD, fit->coefE, fit->coefF};
    const double want[6] = {truth.coefA, truth.coefB, truth.coefC, truth.coefD, truth.coefE, truth.coefF};
    for (int c = 0; c < 6; ++c)
        QVERIFY2(near(got[c], want[c], 1e-6 * std::max(1.0, std::fabs(want[c]))),
                 qPrintable(QStringLiteral("coefficient %1: %2 vs %3").arg(c).arg(got[c], 0, 'g', 17).arg(want[c], 0, 'g', 17)));
    // The three picks land exactly on their stars.
    for (int p = 0; p < 3; ++p) {
        const PlanePoint s = synthetic::forward(*fit, picks[p].x, picks[p].y);
        QVERIFY(near(s.x, sky[p].x, 1e-6) && near(s.y, sky[p].y, 1e-6));
    }
}

void TestPlateModel::fitWithoutModel_data()
{
    QTest::addColumn<double>("x3");
    QTest::addColumn<double>("y3");
    QTest::newRow("on one line") << 990.0 << 29.0;      // (10,1), (500,15), (990,29)
    QTest::newRow("third on the first") << 10.0 << 1.0;
    QTest::newRow("third on the second") << 500.0 << 15.0;
}

void TestPlateModel::fitWithoutModel()
{
    QFETCH(double, x3);
    QFETCH(double, y3);
    const PlanePoint picks[3] = {{10, 1}, {500, 15}, {x3, y3}};
    const PlanePoint sky[3] = {{1000, 2000}, {1400, 2100}, {1800, 1500}};
    QVERIFY(!fitPlateModel(picks, sky));
}

void TestPlateModel::inverse_data()
{
    QTest::addColumn<double>("rotation");
    QTest::addColumn<double>("scale");
    QTest::addColumn<bool>("mirror");
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");
    QTest::newRow("upright") << 0.0 << 1.0 << false << 123.0 << 456.0;
    QTest::newRow("mirrored 200") << 200.0 << 1.1 << true << 0.5 << 1023.25;
    QTest::newRow("outside the image") << 73.0 << 0.7 << false << -300.0 << 5000.0;
}

void TestPlateModel::inverse()
{
    QFETCH(double, rotation);
    QFETCH(double, scale);
    QFETCH(bool, mirror);
    QFETCH(double, x);
    QFETCH(double, y);
    const PlateModel model = synthetic::affineModel(rotation, scale, mirror, 360000, 72000);
    const PlanePoint sky = synthetic::forward(model, x, y);
    const std::optional<PlanePoint> back = imagePosition(model, sky.x, sky.y);
    QVERIFY(back);
    QVERIFY2(near(back->x, x, 1e-7) && near(back->y, y, 1e-7),
             qPrintable(QStringLiteral("%1, %2").arg(back->x, 0, 'g', 17).arg(back->y, 0, 'g', 17)));
}

void TestPlateModel::noInverse_data()
{
    QTest::addColumn<double>("a");
    QTest::addColumn<double>("b");
    QTest::addColumn<double>("d");
    QTest::addColumn<double>("e");
    QTest::newRow("never fitted") << 0.0 << 0.0 << 0.0 << 0.0;
    QTest::newRow("A E = B D") << 2.0 << 3.0 << 4.0 << 6.0;
    QTest::newRow("one row zero") << 1.5 << -0.5 << 0.0 << 0.0;
}

void TestPlateModel::noInverse()
{
    QFETCH(double, a);
    QFETCH(double, b);
    QFETCH(double, d);
    QFETCH(double, e);
    const PlateModel model{a, b, 100, d, e, 200};
    QCOMPARE(linearDeterminant(model), 0.0);
    QVERIFY(!imagePosition(model, 500, 600));
}

void TestPlateModel::fieldCentre_data()
{
    QTest::addColumn<QList<double>>("ra");  // h m s
    QTest::addColumn<int>("sign");
    QTest::addColumn<QList<double>>("dec"); // d m s
    QTest::addColumn<double>("expectedX");
    QTest::addColumn<double>("expectedY");
    // The sign covers minutes and seconds too.
    QTest::newRow("south") << QList<double>{1, 30, 0} << -1 << QList<double>{12, 30, 0} << 22.5 * 3600 << -12.5 * 3000;
    QTest::newRow("north") << QList<double>{23, 59, 60} << 1 << QList<double>{0, 0, 36} << 360.0 * 3600 << 0.01 * 3000;
    QTest::newRow("zero") << QList<double>{0, 0, 0} << -1 << QList<double>{0, 0, 0} << 0.0 << 0.0;
}

void TestPlateModel::fieldCentre()
{
    QFETCH(QList<double>, ra);
    QFETCH(int, sign);
    QFETCH(QList<double>, dec);
    QFETCH(double, expectedX);
    QFETCH(double, expectedY);
    const PlanePoint c = scaledFieldCentre(ra[0], ra[1], ra[2], sign, dec[0], dec[1], dec[2], 3600, 3000);
    QVERIFY2(near(c.x, expectedX, 1e-6), qPrintable(QString::number(c.x, 'g', 17)));
    QVERIFY2(near(c.y, expectedY, 1e-6), qPrintable(QString::number(c.y, 'g', 17)));
}

void TestPlateModel::window_data()
{
    QTest::addColumn<double>("threshold");
    QTest::addColumn<int>("low");
    QTest::addColumn<int>("high");
    QTest::newRow("T = 0") << 0.0 << -4 << -4;
    QTest::newRow("T = 2.5") << 2.5 << -6 << -2;   // -6.5 and -1.5, halves to even
    QTest::newRow("T = 0.5") << 0.5 << -4 << -4;   // -4.5 and -3.5
    QTest::newRow("T = 1.5") << 1.5 << -6 << -2;   // -5.5 and -2.5
    QTest::newRow("T = 10") << 10.0 << -14 << 6;
    QTest::newRow("16-bit edge") << 32764.0 << -32768 << 32760;
}

void TestPlateModel::window()
{
    QFETCH(double, threshold);
    QFETCH(int, low);
    QFETCH(int, high);
    const CoincidenceWindow w = coincidenceWindow(threshold);
    QCOMPARE(w.low, low);
    QCOMPARE(w.high, high);
}

void TestPlateModel::windowOverflow_data()
{
    QTest::addColumn<double>("threshold");
    QTest::newRow("low below 16 bits") << 32765.0;
    QTest::newRow("high above 16 bits") << -32770.0;
    QTest::newRow("huge") << 1e30;
    QTest::newRow("infinite") << double(INFINITY);
}

void TestPlateModel::windowOverflow()
{
    QFETCH(double, threshold);
    try {
        coincidenceWindow(threshold);
        QFAIL("no failure");
    } catch (const Failure &failure) {
        QCOMPARE(failure.code(), FailureCode::Overflow);
    }
}

void TestPlateModel::coincidences_data()
{
    // One marker with its corner at (100, 200); T = 10 gives low -14, high 6.
    QTest::addColumn<float>("pickLeft");
    QTest::addColumn<float>("pickTop");
    QTest::addColumn<int>("expected");
    QTest::newRow("centred") << 96.0f << 196.0f << 1;
    QTest::newRow("left + low exactly") << 86.0f << 196.0f << 0;
    QTest::newRow("left + high exactly") << 106.0f << 196.0f << 0;
    QTest::newRow("top + low exactly") << 96.0f << 186.0f << 0;
    QTest::newRow("top + high exactly") << 96.0f << 206.0f << 0;
    QTest::newRow("just inside low") << 86.001f << 186.001f << 1;
    QTest::newRow("just inside high") << 105.999f << 205.999f << 1;
    QTest::newRow("inside along one axis only") << 96.0f << 230.0f << 0;
}

void TestPlateModel::coincidences()
{
    QFETCH(float, pickLeft);
    QFETCH(float, pickTop);
    QFETCH(int, expected);
    const Corner marker{100, 200};
    const Corner pick{pickLeft, pickTop};
    QCOMPARE(countCoincidences(&pick, 1, &marker, 1, coincidenceWindow(10)), expected);

    // A pick near two markers counts twice; two picks near one marker too.
    const Corner twoMarkers[2] = {marker, marker};
    QCOMPARE(countCoincidences(&pick, 1, twoMarkers, 2, coincidenceWindow(10)), 2 * expected);
    const Corner twoPicks[2] = {pick, pick};
    QCOMPARE(countCoincidences(twoPicks, 2, &marker, 1, coincidenceWindow(10)), 2 * expected);
    // With T = 0 nothing ever coincides.
    QCOMPARE(countCoincidences(&pick, 1, &marker, 1, coincidenceWindow(0)), 0);
}

void TestPlateModel::coincidencesInSinglePrecision()
{
    // A marker whose corner plus the high offset rounds down in single
    // precision: a pick on that rounded sum lies on the boundary (no
    // coincidence), although in double precision it would lie inside.
    float left = 120.3f;
    const int high = 6;
    while (float(left + float(high)) >= double(left) + high)
        left = std::nextafter(left, 200.0f);
    const Corner marker{left, 0};
    const Corner pick{float(left + float(high)), -4};
    QVERIFY(double(pick.Left) < double(marker.Left) + high);
    QCOMPARE(countCoincidences(&pick, 1, &marker, 1, coincidenceWindow(10)), 0);
}

QTEST_APPLESS_MAIN(TestPlateModel)
#include "tst_plate_model.moc"
