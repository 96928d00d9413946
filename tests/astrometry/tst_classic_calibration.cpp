// The classic calibration's arithmetic: exact digits in both locales, the two
// readings of the focal length, and the failures of bad input.

#include "astrometry/classic_calibration.h"
#include "platform/failure.h"
#include "platform/numbers.h"
#include "support/test_support.h"

#include <QtTest>

using namespace testing;

class TestClassicCalibration : public QObject {
    Q_OBJECT
private slots:
    void coefficientDigits_data();
    void coefficientDigits();
    void agreesWithClosedForm_data();
    void agreesWithClosedForm();
    void failures_data();
    void failures();
    void fieldOfView_data();
    void fieldOfView();
};

Q_DECLARE_METATYPE(FailureCode)

namespace {
ClassicCalibrationInput input(const QString &wX, const QString &wY, const QString &nX, const QString &nY,
                              const QString &f)
{
    return {wX, wY, nX, nY, f};
}
} // namespace

void TestClassicCalibration::coefficientDigits_data()
{
    QTest::addColumn<bool>("comma");
    QTest::addColumn<QStringList>("boxes"); // wX, wY, nX, nY, f
    QTest::addColumn<QString>("asd");
    QTest::addColumn<QString>("dec");
    const QStringList reference{"10", "8", "1000", "800", "1000"};
    QTest::newRow("point locale") << false << reference << "1745.20069808028" << "1745.20069808028";
    QTest::newRow("comma locale") << true << reference << "1745,20069808028" << "1745,20069808028";
    QTest::newRow("comma focal 1200,5") << true << QStringList{"10", "8", "1000", "800", "1200,5"}
                                        << "2095,11343804538" << "2095,11343804538";
    // A comma is a decimal point in every box, whatever the locale: 6,7 mm is
    // 6.7 mm, never 6 mm, and reads as 6.7 typed with a point.
    const QStringList commas{"6,7", "4,5", "1000", "800", "1200,5"};
    QTest::newRow("commas, point locale") << false << commas << "3127.03498215728" << "3724.64611208067";
    QTest::newRow("points, point locale") << false << QStringList{"6.7", "4.5", "1000", "800", "1200.5"} << "3127.03498215728"
                                          << "3724.64611208067";
    QTest::newRow("commas, comma locale") << true << commas << "3127,03498215728" << "3724,64611208067";
    QTest::newRow("comma pixel counts, point locale") << false << QStringList{"10", "8", "1000,5", "800,5", "1000"}
                                                      << "1746.07329842932" << "1746.29144851658";
}

void TestClassicCalibration::coefficientDigits()
{
    QFETCH(bool, comma);
    QFETCH(QStringList, boxes);
    QFETCH(QString, asd);
    QFETCH(QString, dec);
    ScopedLocale locale(comma ? commaLocale() : pointLocale());
    const ClassicCoefficients c = computeClassicCoefficients(input(boxes[0], boxes[1], boxes[2], boxes[3], boxes[4]));
    QCOMPARE(CStr(c.corrAsdPixelsPerDeg), asd);
    QCOMPARE(CStr(c.corrDecPixelsPerDeg), dec);
}

void TestClassicCalibration::agreesWithClosedForm_data()
{
    QTest::addColumn<double>("f");
    QTest::addColumn<double>("wX");
    QTest::addColumn<double>("wY");
    QTest::addColumn<double>("nX");
    QTest::addColumn<double>("nY");
    QTest::newRow("square pixels") << 1000.0 << 10.0 << 8.0 << 1000.0 << 800.0;
    QTest::newRow("rectangular pixels") << 2030.0 << 6.9 << 4.6 << 765.0 << 510.0;
    QTest::newRow("short focal") << 135.0 << 36.0 << 24.0 << 6000.0 << 4000.0;
}

void TestClassicCalibration::agreesWithClosedForm()
{
    QFETCH(double, f);
    QFETCH(double, wX);
    QFETCH(double, wY);
    QFETCH(double, nX);
    QFETCH(double, nY);
    ScopedLocale locale(pointLocale());
    const ClassicCoefficients c = computeClassicCoefficients(
        input(QString::number(wX, 'g', 17), QString::number(wY, 'g', 17), QString::number(nX, 'g', 17),
              QString::number(nY, 'g', 17), QString::number(f, 'g', 17)));
    const double expectedAsd = 60 * f * nX / (3438 * wX);
    const double expectedDec = 60 * f * nY / (3438 * wY);
    QVERIFY2(std::fabs(c.corrAsdPixelsPerDeg - expectedAsd) < 1e-9 * expectedAsd,
             qPrintable(QString::number(c.corrAsdPixelsPerDeg, 'g', 17)));
    QVERIFY2(std::fabs(c.corrDecPixelsPerDeg - expectedDec) < 1e-9 * expectedDec,
             qPrintable(QString::number(c.corrDecPixelsPerDeg, 'g', 17)));
}

void TestClassicCalibration::failures_data()
{
    QTest::addColumn<bool>("comma");
    QTest::addColumn<QStringList>("boxes"); // wX, wY, nX, nY, f
    QTest::addColumn<FailureCode>("code");
    const auto row = [](const char *name, bool comma, QStringList boxes, FailureCode code) {
        QTest::newRow(name) << comma << boxes << code;
    };
    row("empty focal", false, {"10", "8", "1000", "800", ""}, FailureCode::TypeMismatch);
    row("empty pixel count X", false, {"10", "8", "", "800", "1000"}, FailureCode::TypeMismatch);
    row("empty pixel count Y", false, {"10", "8", "1000", "", "1000"}, FailureCode::TypeMismatch);
    row("letters in focal", false, {"10", "8", "1000", "800", "abc"}, FailureCode::TypeMismatch);
    row("zero focal", false, {"10", "8", "1000", "800", "0"}, FailureCode::DivisionByZero);
    row("zero pixel count", false, {"10", "8", "0", "800", "1000"}, FailureCode::DivisionByZero);
    row("zero CCD width", false, {"0", "8", "1000", "800", "1000"}, FailureCode::DivisionByZero);
    row("empty CCD height", false, {"10", "", "1000", "800", "1000"}, FailureCode::DivisionByZero);
    row("letters as CCD size", false, {"mm", "8", "1000", "800", "1000"}, FailureCode::DivisionByZero);
    row("point focal in comma locale", true, {"10", "8", "1000", "800", "1200.5"}, FailureCode::TypeMismatch);
    row("tiny focal", false, {"10", "8", "1000", "800", "1e-300"}, FailureCode::Overflow);
    row("huge CCD size", false, {"1e999", "8", "1000", "800", "1000"}, FailureCode::Overflow);
    row("focal beyond a double", true, {"10", "8", "1000", "800", "1e400"}, FailureCode::Overflow);
    row("CCD size beyond a double", false, {"10", "1,5e400", "1000", "800", "1000"}, FailureCode::Overflow);
    row("two commas in the focal", false, {"10", "8", "1000", "800", "1,200,5"}, FailureCode::TypeMismatch);
}

void TestClassicCalibration::failures()
{
    QFETCH(bool, comma);
    QFETCH(QStringList, boxes);
    QFETCH(FailureCode, code);
    ScopedLocale locale(comma ? commaLocale() : pointLocale());
    try {
        const ClassicCoefficients c =
            computeClassicCoefficients(input(boxes[0], boxes[1], boxes[2], boxes[3], boxes[4]));
        QFAIL(qPrintable(QStringLiteral("no failure: %1 %2").arg(c.corrAsdPixelsPerDeg).arg(c.corrDecPixelsPerDeg)));
    } catch (const Failure &failure) {
        QCOMPARE(failure.code(), code);
        QVERIFY(!failure.description().isEmpty());
    }
}

void TestClassicCalibration::fieldOfView_data()
{
    QTest::addColumn<bool>("comma");
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<QString>("x");
    QTest::addColumn<QString>("y");
    QTest::newRow("point locale") << false << QStringList{"10", "8", "", "", "1000"} << "34.38" << "27.504";
    QTest::newRow("comma locale") << true << QStringList{"10", "8", "", "", "1000"} << "34,38" << "27,504";
    // A comma is a decimal point in the field of view too: 1200,5 mm and 7,6 mm
    // read as 1200.5 mm and 7.6 mm, typed with either mark, in either locale.
    QTest::newRow("commas, comma locale") << true << QStringList{"7,6", "7.6", "", "", "1200,5"} << "21,7649312786339" << "21,7649312786339";
    QTest::newRow("commas, point locale") << false << QStringList{"7,6", "7.6", "", "", "1200,5"} << "21.7649312786339"
                                          << "21.7649312786339";
    QTest::newRow("6,7 mm, point locale") << false << QStringList{"6,7", "4,5", "", "", "1000"} << "23.0346" << "15.471";
}

void TestClassicCalibration::fieldOfView()
{
    QFETCH(bool, comma);
    QFETCH(QStringList, boxes);
    QFETCH(QString, x);
    QFETCH(QString, y);
    ScopedLocale locale(comma ? commaLocale() : pointLocale());
    const FieldOfView fov = computeFieldOfView(input(boxes[0], boxes[1], boxes[2], boxes[3], boxes[4]));
    QCOMPARE(CStr(fov.xArcmin), x);
    QCOMPARE(CStr(fov.yArcmin), y);

    bool failed = false;
    try {
        computeFieldOfView(input("10", "8", "", "", "abc"));
    } catch (const Failure &failure) {
        failed = failure.code() == FailureCode::DivisionByZero;
    }
    QVERIFY(failed);
}

QTEST_APPLESS_MAIN(TestClassicCalibration)
#include "tst_classic_calibration.moc"
