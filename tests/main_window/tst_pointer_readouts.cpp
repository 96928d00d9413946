// Read-outs over the image: the hover caption, the click read-out, the
// calibration fill from a marker and the calibration marks.

#include "astrometry/readouts.h"
#include "platform/numbers.h"
#include "support/test_support.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QtTest>

using namespace testing;

class TestPointerReadouts : public QObject {
    Q_OBJECT
private slots:
    void hoverCaptionAndOverlap();
    void hoverWithoutStarsOrScales();
    void movesBeforeOverlayHideMagnifier_data();
    void movesBeforeOverlayHideMagnifier();
    void clickReadout_data();
    void clickReadout();
    void calibrationFill_data();
    void calibrationFill();
    void sixthMarkIsNotDropped();
    void superEtalonageOnSyntheticField_data();
    void superEtalonageOnSyntheticField();
};

namespace {
// Places catalogue star k with its marker centred on pixel (x, y).
void placeStar(Form1 &form, int k, float x, float y, double raDeg, double decDeg, const QString &id = "U1050_00000001",
               const QString &mag = "12.3")
{
    form.stars.starId[size_t(k)] = id;
    form.stars.starMag[size_t(k)] = mag;
    form.stars.starX[size_t(k)] = roundHalfEven(raDeg * form.scaleRa);
    form.stars.starY[size_t(k)] = roundHalfEven(decDeg * form.scaleDec);
    Mark &m = form.star[size_t(k)];
    m.Left = x - m.Height / 2;
    m.Top = y - m.Height / 2;
    m.Visible = true;
    form.stars.starTotal = std::max(form.stars.starTotal, k);
}

void move(Form1 &form, float x, float y) { form.Picture1_MouseMove(Qt::NoButton, Qt::NoModifier, x, y); }
} // namespace

void TestPointerReadouts::hoverCaptionAndOverlap()
{
    FormFixture f;
    Form1 &form = *f.form;
    // Whole scaled units for these positions; two scales, so that one taken
    // for the other shows.
    form.scaleRa = 3000;
    form.scaleDec = 3600;
    form.mapState = "done";
    form.pickMode = PickMode::Coor;
    const double ra = (1 + 34 / 60.0 + 50 / 3600.0) * 15, dec = 22 + 1 / 60.0 + 11 / 3600.0;
    placeStar(form, 7, 100, 100, ra, dec, "U1050_00000007", "12.3");
    placeStar(form, 9, 103, 102, ra, -dec, "U1050_00000009", " 9.1");
    move(form, 101.5f, 101);
    QCOMPARE(form.info->text(), QStringLiteral("U1050_00000009 - Mag= 9.1 1h34'50''  -22°1'11''"));
    move(form, 97, 97);
    QCOMPARE(form.info->text(), QStringLiteral("U1050_00000007 - Mag=12.3 1h34'50''  22°1'11''"));
    move(form, 300, 300); // no hit: the caption stays
    QCOMPARE(form.info->text(), QStringLiteral("U1050_00000007 - Mag=12.3 1h34'50''  22°1'11''"));
    QCOMPARE(form.mouseX, 300);
    // centerpic and the pick marks are never hit.
    form.centerpic = {296.f, 296.f, 17.f, true};
    form.clicpic[1] = {292.f, 292.f, 16.f, true};
    move(form, 300, 300);
    QCOMPARE(form.info->text(), QStringLiteral("U1050_00000007 - Mag=12.3 1h34'50''  22°1'11''"));
}

void TestPointerReadouts::hoverWithoutStarsOrScales()
{
    FormFixture f;
    Form1 &form = *f.form;
    form.mapState = "done";
    form.zoom->show();
    form.info->setText("old");
    move(form, 10, 10);
    QCOMPARE(form.info->text(), QStringLiteral("old"));
    QVERIFY(!form.zoom->isHidden());
    // Coefficients at 0: nothing is computed (no division by zero).
    placeStar(form, 1, 10, 10, 0, 0);
    move(form, 10, 10);
    QCOMPARE(form.info->text(), QStringLiteral("old"));
}

void TestPointerReadouts::movesBeforeOverlayHideMagnifier_data()
{
    QTest::addColumn<PickMode>("mode");
    QTest::addColumn<bool>("hidden");
    QTest::newRow("idle") << PickMode::Empty << true;
    QTest::newRow("0") << PickMode::Zero << true;
    QTest::newRow("done") << PickMode::Done << true;
    QTest::newRow("coor") << PickMode::Coor << true;
    QTest::newRow("superetalo") << PickMode::SuperEtalo << false;
}

void TestPointerReadouts::movesBeforeOverlayHideMagnifier()
{
    QFETCH(PickMode, mode);
    QFETCH(bool, hidden);
    FormFixture f;
    f.form->pickMode = mode;
    f.form->zoom->show();
    move(*f.form, 12.5f, 13.5f);
    QCOMPARE(f.form->zoom->isHidden(), hidden);
    QCOMPARE(f.form->mouseX, 12); // halves to even
    QCOMPARE(f.form->mouseY, 14);
}

void TestPointerReadouts::clickReadout_data()
{
    QTest::addColumn<bool>("pending");
    QTest::newRow("plain") << false;
    QTest::newRow("calibration pending drops no mark") << true;
}

void TestPointerReadouts::clickReadout()
{
    QFETCH(bool, pending);
    FormFixture f;
    Form1 &form = *f.form;
    // RA x scaleRa = -x + 1800*23.7083 + ..., Dec x scaleDec = -y + ...
    // As an accepted solve leaves them, with two scales, so that one taken
    // for the other shows.
    form.readoutScaleRa = 1800;
    form.readoutScaleDec = 2000;
    const double plate[6] = {-1, 0, 23.7083333333333 * 1800 + 100, 0, -1, 22.0197222222222 * 2000 + 200};
    std::copy(std::begin(plate), std::end(plate), std::begin(form.readoutPlate));
    form.pickMode = PickMode::Coor;
    form.etaloPending = pending ? 1 : 0;
    move(form, 100, 200);
    form.Picture1_Click();
    QCOMPARE(form.status->item(0)->text(), QStringLiteral("Clic: 1h34'50''  22°1'11''"));
    QCOMPARE(form.clicpic[1].Visible, false);
    QCOMPARE(form.etaloPending, pending ? 1 : 0);

    form.readoutScaleRa = 0;
    form.Picture1_Click();
    QCOMPARE(form.status->count(), 2);
    QVERIFY(!form.status->item(0)->text().startsWith("Clic: "));
}

void TestPointerReadouts::calibrationFill_data()
{
    QTest::addColumn<double>("decDeg");
    QTest::addColumn<QString>("sign");
    QTest::newRow("north") << 22.5 << "+";
    QTest::newRow("south -12.5") << -12.5 << "-";
    QTest::newRow("south -0.5") << -0.5 << "-";
}

void TestPointerReadouts::calibrationFill()
{
    QFETCH(double, decDeg);
    QFETCH(QString, sign);
    ScopedLocale locale(commaLocale());
    FormFixture f;
    Form1 &form = *f.form;
    // Two scales, so that one taken for the other shows.
    form.scaleRa = 1600;
    form.scaleDec = 2000;
    form.solutionValid = true;
    form.mnu_superetalonage_Click();
    form.txt_dec_sign[size_t(sign == "-" ? 3 : 2)]->click(); // the other sign, to see it change
    placeStar(form, 4, 150.5f, 80, 23.75, decDeg);
    move(form, 152, 82);
    QCOMPARE(form.Etalo[0]->text(), QStringLiteral("150,5"));
    QCOMPARE(form.Etalo[1]->text(), QStringLiteral("80"));
    QCOMPARE(form.mouseX, 150); // the marker's centre, halves to even
    QCOMPARE(form.mouseY, 80);
    QCOMPARE(form.Etalo[2]->text(), QStringLiteral("1"));
    QCOMPARE(form.Etalo[3]->text(), QStringLiteral("35"));
    QCOMPARE(form.Etalo[4]->text(), QStringLiteral("0")); // 23.75 degrees = 1h35m0s
    QCOMPARE(form.txt_dec_sign_show[1]->text(), sign);
    QVERIFY(!form.Etalo[5]->text().startsWith("-"));
    // The click drops the mark on the star's centre and freezes the boxes.
    form.Picture1_Click();
    QCOMPARE(form.clickCount, 1);
    QCOMPARE(form.clicpic[1].Left, 142.f);
    QCOMPARE(form.clicpic[1].Top, 72.f);
    QVERIFY(form.clicpic[1].Visible);
    QCOMPARE(form.etaloPending, 0);
    move(form, 500, 500);
    move(form, 151, 81); // hovering again updates only the caption
    QCOMPARE(form.Etalo[0]->text(), QStringLiteral("150,5"));
    // The press stores the true declination.
    form.BoutonEtalo_Click();
    QVERIFY2(f.dialogs.messages().isEmpty(), qPrintable(f.dialogs.messages().join("|")));
    QVERIFY2(std::fabs(form.refDec[1] - decDeg) < 1e-6, qPrintable(QString::number(form.refDec[1])));
    QVERIFY(std::fabs(form.refRa[1] - 23.75) < 1e-6);
}

void TestPointerReadouts::sixthMarkIsNotDropped()
{
    FormFixture f;
    Form1 &form = *f.form;
    form.clickCount = 5;
    form.etaloPending = 1;
    form.Picture1_Click();
    QCOMPARE(form.clickCount, 5);
    QCOMPARE(form.etaloPending, 0);
}

void TestPointerReadouts::superEtalonageOnSyntheticField_data()
{
    QTest::addColumn<double>("scaleDeg");    // true pixels per degree
    QTest::addColumn<double>("rotationDeg");
    QTest::addColumn<bool>("comma");
    QTest::newRow("2000 px/deg, point") << 2000.0 << 0.0 << false;
    QTest::newRow("1500 px/deg rotated, comma") << 1500.0 << 2.0 << true;
}

void TestPointerReadouts::superEtalonageOnSyntheticField()
{
    QFETCH(double, scaleDeg);
    QFETCH(double, rotationDeg);
    QFETCH(bool, comma);
    ScopedLocale locale(comma ? commaLocale() : pointLocale());
    FormFixture f;
    Form1 &form = *f.form;
    const double decCentre = 22.0, raCentre = 23.7;
    const double cosDec = std::cos(decCentre * M_PI / 180);
    const double trueRa = scaleDeg * cosDec, trueDec = scaleDeg;
    form.scaleRa = trueRa;
    form.scaleDec = trueDec;
    form.solutionValid = true;
    form.mapState = "done";
    // Three catalogue stars, markers at their (whole scaled unit) positions
    // under a rotated affine map of the true scale.
    const double rot = rotationDeg * M_PI / 180;
    const double offsets[3][2] = {{-0.2, -0.15}, {0.22, -0.12}, {0.0, 0.2}};
    for (int k = 1; k <= 3; ++k) {
        const double dRa = offsets[k - 1][0] / cosDec, dDec = offsets[k - 1][1];
        const double u = -dRa * trueRa, v = -dDec * trueDec; // east left, north up
        const double x = 800 + u * std::cos(rot) - v * std::sin(rot);
        const double y = 600 + u * std::sin(rot) + v * std::cos(rot);
        placeStar(form, k, float(x), float(y), raCentre + dRa, decCentre + dDec);
    }
    form.mnu_superetalonage_Click();
    for (int k = 1; k <= 3; ++k) {
        const Mark &m = form.star[size_t(k)];
        move(form, markCentreX(m) + 0.5f, markCentreY(m) - 0.5f);
        form.Picture1_Click();
        form.BoutonEtalo_Click();
    }
    QCOMPARE(f.dialogs.messageCount(), 1);
    const double corrAsd = Val(form.txt_corrasd->text()), corrDec = Val(form.txt_corrdec->text());
    QVERIFY2(std::fabs(corrAsd / trueRa - 1) < 0.005, qPrintable(form.txt_corrasd->text()));
    QVERIFY2(std::fabs(corrDec / trueDec - 1) < 0.005, qPrintable(form.txt_corrdec->text()));
    QVERIFY(form.Frm[4]->isHidden());
    QCOMPARE(form.clickCount, 3);
}

QTEST_MAIN(TestPointerReadouts)
#include "tst_pointer_readouts.moc"
