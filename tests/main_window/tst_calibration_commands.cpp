// The calibration by image in the main window: reference stars typed in the
// calibration frame, the three presses and the flow of the frame.

#include "platform/failure.h"
#include "support/layout_checks.h"
#include "support/test_support.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

using namespace testing;

class TestCalibrationCommands : public QObject {
    Q_OBJECT
private slots:
    void referenceStarReading_data();
    void referenceStarReading();
    void threePressesGiveCoefficients_data();
    void threePressesGiveCoefficients();
    void pressFailures_data();
    void pressFailures();
    void menuConditions();
    void focusMoves_data();
    void focusMoves();
    void calibrationFrameShowsWhole_data();
    void calibrationFrameShowsWhole();
};

namespace {
// Fills the eight boxes and the sign, then presses "Suivant".
void press(Form1 &form, const QStringList &boxes, const QString &sign = "+")
{
    form.txt_dec_sign[sign == "-" ? 2 : 3]->click();
    for (int i = 0; i < 8; ++i)
        form.Etalo[size_t(i)]->setText(boxes.value(i));
    form.BoutonEtalo_Click();
}

void startCalibration(FormFixture &f)
{
    f.form->imageLoaded = true;
    f.form->mnu_etalonage_Click();
}
} // namespace

void TestCalibrationCommands::referenceStarReading_data()
{
    QTest::addColumn<bool>("comma");
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<QString>("sign");
    QTest::addColumn<double>("raDeg");
    QTest::addColumn<double>("decDeg");
    QTest::newRow("south 10d30m") << false << QStringList{"5", "6", "1", "2", "3", "10", "30", "0"} << "-"
                                  << (3600 + 120 + 3) / 3600.0 / 24 * 360 << -10.5;
    QTest::newRow("seconds with point") << false << QStringList{"5", "6", "0", "0", "12.5", "0", "0", "30.5"}
                                        << "+" << 12.5 / 3600 / 24 * 360 << 30.5 / 3600;
    // A comma is a decimal point in every box, whatever the locale.
    for (const bool comma : {true, false}) {
        QTest::newRow(comma ? "seconds with comma, comma locale" : "seconds with comma, point locale")
            << comma << QStringList{"5", "6", "0", "0", "54,8", "0", "0", "30,5"} << "+" << 54.8 / 3600 / 24 * 360
            << 30.5 / 3600;
        QTest::newRow(comma ? "pixels with comma, comma locale" : "pixels with comma, point locale")
            << comma << QStringList{"5,5", "6,5", "0", "1", "0", "0", "1", "0"} << "+" << 60.0 / 3600 / 24 * 360
            << 1.0 / 60;
        QTest::newRow(comma ? "hours and minutes with comma, comma locale"
                            : "hours and minutes with comma, point locale")
            << comma << QStringList{"5", "6", ",5", "1", "0", "2", ",5", "0"} << "-"
            << (1800 + 60) / 3600.0 / 24 * 360 << -(7200 + 30) / 3600.0;
    }
    QTest::newRow("seconds with point, comma locale") << true << QStringList{"5", "6", "0", "0", "12.5", "0", "0", "30.5"}
                                                      << "+" << 12.5 / 3600 / 24 * 360 << 30.5 / 3600;
}

void TestCalibrationCommands::referenceStarReading()
{
    QFETCH(bool, comma);
    QFETCH(QStringList, boxes);
    QFETCH(QString, sign);
    QFETCH(double, raDeg);
    QFETCH(double, decDeg);
    ScopedLocale locale(comma ? commaLocale() : pointLocale());
    FormFixture f;
    startCalibration(f);
    press(*f.form, boxes, sign);
    QVERIFY2(f.dialogs.messages().isEmpty(), qPrintable(f.dialogs.messages().join(" | ")));
    QCOMPARE(f.form->etaloStep, 2);
    QCOMPARE(f.form->etaloPending, 1);
    QVERIFY(std::fabs(f.form->refRa[1] - raDeg) < 1e-12);
    QVERIFY(std::fabs(f.form->refDec[1] - decDeg) < 1e-12);
    if (boxes[0] == "5,5") { // half to even, in either locale
        QCOMPARE(f.form->refX[1], 6);
        QCOMPARE(f.form->refY[1], 6);
    }
    for (QLineEdit *box : f.form->Etalo)
        QVERIFY(box->text().isEmpty());
}

void TestCalibrationCommands::threePressesGiveCoefficients_data()
{
    QTest::addColumn<bool>("comma");
    QTest::newRow("point locale") << false;
    QTest::newRow("comma locale") << true;
}

void TestCalibrationCommands::threePressesGiveCoefficients()
{
    QFETCH(bool, comma);
    ScopedLocale locale(comma ? commaLocale() : pointLocale());
    FormFixture f;
    f.tables.MessageTexts[0] = "Suivant";
    f.tables.MessageTexts[1] = "Calculer";
    f.tables.MessageTexts[7] = "Coefficients";
    startCalibration(f);
    QVERIFY(f.form->Frm[3]->isHidden() && !f.form->Frm[4]->isHidden());
    QVERIFY(!f.form->zoom->isHidden());
    press(*f.form, {"0", "0", "0", "0", "0", "0", "0", "0"});
    press(*f.form, {"100", "0", "0", "0", "12", "0", "0", "0"});
    QCOMPARE(f.form->BoutonEtalo->text(), QStringLiteral("Calculer"));
    press(*f.form, {"0", "100", "0", "0", "0", "0", "3", "0"});
    QCOMPARE(f.form->txt_corrasd->text(), QStringLiteral("2000"));
    QCOMPARE(f.form->txt_corrdec->text(), QStringLiteral("2000"));
    QCOMPARE(f.dialogs.messages(), QStringList{QStringLiteral("Coefficients: CX = 2000 et CY = 2000")});
    QVERIFY(!f.form->Frm[3]->isHidden() && f.form->Frm[4]->isHidden());
    QCOMPARE(f.form->BoutonEtalo->text(), QStringLiteral("Suivant"));
    QVERIFY(f.form->zoom->isHidden());
    QCOMPARE(f.form->etaloStep, 4);
}

void TestCalibrationCommands::pressFailures_data()
{
    QTest::addColumn<QList<QStringList>>("presses");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("step");
    QTest::newRow("empty box") << QList<QStringList>{{"", "1", "0", "0", "0", "0", "0", "0"}}
                               << "Incompatibilité de type" << 1;
    QTest::newRow("pixel beyond 16 bits") << QList<QStringList>{{"40000", "1", "0", "0", "0", "0", "0", "0"}}
                                          << "Dépassement de capacité" << 1;
    QTest::newRow("seconds beyond a double") << QList<QStringList>{{"1", "1", "0", "0", "1e400", "0", "0", "0"}}
                                             << "Dépassement de capacité" << 1;
    QTest::newRow("declination seconds beyond a double")
        << QList<QStringList>{{"1", "1", "0", "0", "0", "0", "0", "-1,5e400"}} << "Dépassement de capacité" << 1;
    const QStringList same = {"0", "0", "1", "0", "0", "10", "0", "0"};
    QTest::newRow("den 0") << QList<QStringList>{same, {"5", "5", "1", "0", "0", "10", "0", "0"}, same}
                           << "Division par zéro" << 4;
    // Pixel distances that no pair of positive scales can give: the square
    // root of the negative kDec fails after Corr Asd was written.
    QTest::newRow("negative kDec")
        << QList<QStringList>{{"0", "0", "0", "0", "0", "0", "0", "0"}, {"1", "0", "0", "0", "12", "0", "3", "0"},
                              {"0", "1000", "0", "0", "12", "0", "0", "0"}}
        << "Argument ou appel de procédure incorrect" << 4;
}

void TestCalibrationCommands::pressFailures()
{
    QFETCH(QList<QStringList>, presses);
    QFETCH(QString, message);
    QFETCH(int, step);
    ScopedLocale locale(pointLocale());
    FormFixture f;
    startCalibration(f);
    for (const QStringList &boxes : presses)
        press(*f.form, boxes);
    QCOMPARE(f.dialogs.messages(), QStringList{message});
    QCOMPARE(f.form->etaloStep, step);
    QVERIFY(!f.form->Frm[4]->isHidden()); // the frame stays
    QCOMPARE(f.form->txt_corrdec->text(), QString());
    QCOMPARE(!f.form->txt_corrasd->text().isEmpty(), QByteArray(QTest::currentDataTag()) == "negative kDec");
    if (step == 1) { // a failed press stores none of its boxes
        QCOMPARE(f.form->refX[1], 0);
        QCOMPARE(f.form->refRa[1], 0.0);
    }
    if (step == 4) {
        // Every later press fails the same way and stores nothing.
        press(*f.form, {"1", "1", "0", "0", "0", "0", "0", "0"});
        QCOMPARE(f.dialogs.messageCount(), 2);
        QCOMPARE(f.form->etaloStep, 4);
    }
}

void TestCalibrationCommands::menuConditions()
{
    FormFixture f;
    f.form->mnu_etalonage_Click();
    QVERIFY(f.form->Frm[4]->isHidden());
    QCOMPARE(f.form->pickMode, PickMode::Empty);
    f.form->mnu_superetalonage_Click();
    QVERIFY(f.form->Frm[4]->isHidden());
    QCOMPARE(f.form->etaloPending, 0);

    f.form->solutionValid = true;
    f.form->clickCount = 4;
    f.form->clicpic[2].Visible = true;
    f.form->mnu_superetalonage_Click();
    QCOMPARE(f.form->pickMode, PickMode::SuperEtalo);
    QCOMPARE(f.form->etaloPending, 1);
    QCOMPARE(f.form->etaloStep, 1);
    QCOMPARE(f.form->clickCount, 0);
    QVERIFY(!f.form->clicpic[2].Visible);
    QVERIFY(f.form->zoom->isHidden()); // the magnifier is left as it was
    QVERIFY(!f.form->Frm[4]->isHidden() && f.form->Frm[3]->isHidden());
}

void TestCalibrationCommands::focusMoves_data()
{
    QTest::addColumn<int>("box");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("focused"); // -1: focus stays
    QTest::newRow("box 0 two chars") << 0 << "12" << 1;
    QTest::newRow("box 1 two chars") << 1 << "34" << 2;
    QTest::newRow("box 3 two chars") << 3 << "59" << 4;
    QTest::newRow("box 4 never") << 4 << "12" << -1;
    QTest::newRow("box 7 never") << 7 << "12" << -1;
    QTest::newRow("one char") << 5 << "1" << -1;
}

void TestCalibrationCommands::focusMoves()
{
    QFETCH(int, box);
    QFETCH(QString, text);
    QFETCH(int, focused);
    FormFixture f;
    f.form->show();
    f.form->Frm[4]->show();
    QApplication::setActiveWindow(f.form.get());
    f.form->Etalo[size_t(box)]->setFocus();
    QVERIFY(QTest::qWaitFor([&] { return f.form->Etalo[size_t(box)]->hasFocus(); }));
    f.form->Etalo[size_t(box)]->clear();
    QTest::keyClicks(f.form->Etalo[size_t(box)], text);
    const int expected = focused < 0 ? box : focused;
    QVERIFY2(f.form->Etalo[size_t(expected)]->hasFocus(), qPrintable(QString::number(expected)));
}

void TestCalibrationCommands::calibrationFrameShowsWhole_data()
{
    QTest::addColumn<bool>("fromMarkers");
    QTest::newRow("Etalonage par image") << false;
    QTest::newRow("Super Etalonage") << true;
}

void TestCalibrationCommands::calibrationFrameShowsWhole()
{
    QFETCH(bool, fromMarkers);
    FormFixture f;
    Form1 &form = *f.form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const QSize window = form.size();
    const QPoint place = form.Frm[3]->mapTo(&form, QPoint(0, 0));
    if (fromMarkers) {
        form.solutionValid = true;
        form.mnu_superetalonage_Click();
    } else {
        startCalibration(f);
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    QVERIFY(form.Frm[4]->isVisible());
    // In the place of the status frame, without resizing the window.
    QCOMPARE(form.size(), window);
    QCOMPARE(form.Frm[4]->mapTo(&form, QPoint(0, 0)), place);
    const QStringList cut = cutControls(form);
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join(u'\n')));
    // Seconds as the hover over a marker writes them.
    QVERIFY(showsWhole(*form.Etalo[4], QStringLiteral("54.8087")));
    QVERIFY(showsWhole(*form.Etalo[7], QStringLiteral("54.8087")));
    // Each pixel box has one caption.
    QStringList captions;
    for (const QLabel *label : form.Frm[4]->findChildren<QLabel *>())
        if (label->isVisible())
            captions << label->text();
    QCOMPARE(captions.count(QStringLiteral("X:")), 1);
    QCOMPARE(captions.count(QStringLiteral("Y:")), 1);
    QVERIFY2(!captions.contains(QStringLiteral("Size X")) && !captions.contains(QStringLiteral("Size Y")),
             qPrintable(captions.join(u'|')));

    // The third press brings the status frame back, still at the same size.
    press(form, {"0", "0", "0", "0", "0", "0", "0", "0"});
    press(form, {"100", "0", "0", "0", "12", "0", "0", "0"});
    press(form, {"0", "100", "0", "0", "0", "0", "3", "0"});
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    QVERIFY(form.Frm[3]->isVisible());
    QCOMPARE(form.size(), window);
}

QTEST_MAIN(TestCalibrationCommands)
#include "tst_calibration_commands.moc"
