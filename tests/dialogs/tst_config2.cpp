// The classic calibration dialog: what "Calculer" writes into the main window
// and reports, in both locales, and what a failure leaves behind.

#include "dialogs/config2.h"
#include "localisation/language_file.h"
#include "support/test_support.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace testing;

class TestConfig2 : public QObject {
    Q_OBJECT
private slots:
    void calculate_data();
    void calculate();
    void failureAfterCoefficients();
    void enterComputesAndStaysOpen();
    void design();
    void captionsFromLanguageFile();
};

namespace {
void fill(Config2 &dialog, const QStringList &values) // txt(1)..txt(5)
{
    for (int i = 1; i <= 5; ++i)
        dialog.txt[size_t(i)]->setText(values[i - 1]);
}
} // namespace

void TestConfig2::calculate_data()
{
    QTest::addColumn<bool>("comma");
    QTest::addColumn<QStringList>("boxes"); // CCD X mm, CCD Y mm, pixels X, pixels Y, focal mm
    QTest::addColumn<QString>("asd");       // empty: a failure, the old texts stay
    QTest::addColumn<QString>("dec");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QStringList>("centre"); // the main window's declination: sign, degrees, minutes, seconds
    const QStringList reference{"10", "8", "1000", "800", "1000"};
    // With no declination typed, Corr Asd is the per-degree scale.
    QTest::newRow("point locale") << false << reference << "1745.20069808028" << "1745.20069808028"
                                  << "Coefficients: CX = 1745.20069808028 et CY = 1745.20069808028\r"
                                     "CCD size: 34.38' x 27.504'" << QStringList{};
    QTest::newRow("comma locale") << true << reference << "1745.20069808028" << "1745.20069808028"
                                  << "Coefficients: CX = 1745.20069808028 et CY = 1745.20069808028\r"
                                     "CCD size: 34,38' x 27,504'" << QStringList{};
    QTest::newRow("1200,5 in comma locale") << true << QStringList{"10", "8", "1000", "800", "1200,5"}
                                            << "2095.11343804538" << "2095.11343804538"
                                            << "Coefficients: CX = 2095.11343804538 et CY = 2095.11343804538\r"
                                               "CCD size: 28,6380674718867' x 22,9104539775094'" << QStringList{};
    // A comma is a decimal point in every box, for the field of view too.
    QTest::newRow("1200,5 in point locale") << false << QStringList{"10", "8", "1000", "800", "1200,5"}
                                            << "2095.11343804538" << "2095.11343804538"
                                            << "Coefficients: CX = 2095.11343804538 et CY = 2095.11343804538\r"
                                               "CCD size: 28.6380674718867' x 22.9104539775094'" << QStringList{};
    QTest::newRow("7,6 mm reads as 7.6") << true << QStringList{"7,6", "7.6", "1000", "1000", "1000"}
                                         << "2296.31670800037" << "2296.31670800037"
                                         << "Coefficients: CX = 2296.31670800037 et CY = 2296.31670800037\r"
                                            "CCD size: 26,1288' x 26,1288'" << QStringList{};
    QTest::newRow("1200.5 in comma locale") << true << QStringList{"10", "8", "1000", "800", "1200.5"} << ""
                                            << "" << "Incompatibilité de type" << QStringList{};
    QTest::newRow("zero CCD size") << false << QStringList{"10", "0", "1000", "800", "1000"} << "" << ""
                                   << "Division par zéro" << QStringList{};
    // Corr Asd is pixels per degree of right ascension: at declination d,
    // the per-degree scale times cos d (1745.2 x cos 22 = 1618.12); Corr Dec
    // and the field of view stay.
    QTest::newRow("field centre at +22") << false << reference << "1618.12191023872" << "1745.20069808028"
                                         << "Coefficients: CX = 1618.12191023872 et CY = 1745.20069808028\r"
                                            "CCD size: 34.38' x 27.504'"
                                         << QStringList{"+", "22", "0", "0"};
    QTest::newRow("field centre at -22, typed with a comma")
        << true << reference << "1618.12191023872" << "1745.20069808028"
        << "Coefficients: CX = 1618.12191023872 et CY = 1745.20069808028\r"
           "CCD size: 34,38' x 27,504'"
        << QStringList{"-", "21", "59", "60,0"};
    QTest::newRow("degrees alone") << false << reference << "1618.12191023872" << "1745.20069808028"
                                   << "Coefficients: CX = 1618.12191023872 et CY = 1745.20069808028\r"
                                      "CCD size: 34.38' x 27.504'"
                                   << QStringList{"+", "22", "", ""};
    // A declination that is not a number is none.
    QTest::newRow("declination not a number") << false << reference << "1745.20069808028" << "1745.20069808028"
                                              << "Coefficients: CX = 1745.20069808028 et CY = 1745.20069808028\r"
                                                 "CCD size: 34.38' x 27.504'"
                                              << QStringList{"+", "2x2", "0", "0"};
}

void TestConfig2::calculate()
{
    QFETCH(bool, comma);
    QFETCH(QStringList, boxes);
    QFETCH(QString, asd);
    QFETCH(QString, dec);
    QFETCH(QString, message);
    QFETCH(QStringList, centre);
    ScopedLocale locale(comma ? commaLocale() : pointLocale());
    FormFixture f;
    f.tables.MessageTexts[7] = QStringLiteral("Coefficients");
    if (!centre.isEmpty()) {
        f.form->txt_dec_sign_show[0]->setText(centre[0]);
        for (int i = 0; i < 3; ++i)
            f.form->txt_dec[size_t(i)]->setText(centre[i + 1]);
    }
    f.form->txt_corrasd->setText(QStringLiteral("old asd"));
    f.form->txt_corrdec->setText(QStringLiteral("old dec"));
    Config2 dialog(*f.form);
    fill(dialog, boxes);

    // Twice: the same texts and the same box again.
    for (int run = 1; run <= 2; ++run) {
        dialog.cmd1_Click();
        QCOMPARE(f.form->txt_corrasd->text(), asd.isEmpty() ? QStringLiteral("old asd") : asd);
        QCOMPARE(f.form->txt_corrdec->text(), dec.isEmpty() ? QStringLiteral("old dec") : dec);
        QCOMPARE(f.dialogs.messageCount(), run);
        QCOMPARE(f.dialogs.messages().last(), message);
        QCOMPARE(f.dialogs.shown.back().style, MsgBoxStyle::OkOnly);
        QCOMPARE(f.dialogs.shown.back().title, QString());
    }
}

void TestConfig2::failureAfterCoefficients()
{
    // A CCD 1e306 mm wide over as many pixels gives a coefficient, but a field
    // of view beyond a double's range: the coefficients are written, then the
    // failure replaces the result box.
    ScopedLocale locale(commaLocale());
    FormFixture f;
    f.form->txt_corrasd->setText(QStringLiteral("old"));
    Config2 dialog(*f.form);
    fill(dialog, {"1e306", "8", "1e300", "800", "1"});
    dialog.cmd1_Click();
    QCOMPARE(f.form->txt_corrasd->text(), QStringLiteral("1.74520069808028E-08"));
    QCOMPARE(f.dialogs.messages(), QStringList{"Dépassement de capacité"});
}

void TestConfig2::enterComputesAndStaysOpen()
{
    ScopedLocale locale(pointLocale());
    FormFixture f;
    Config2 dialog(*f.form);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    fill(dialog, {"10", "8", "1000", "800", "1000"});
    dialog.txt[5]->setFocus();
    QTest::keyClick(dialog.txt[5], Qt::Key_Return);
    QTest::keyClick(dialog.txt[5], Qt::Key_Escape);
    QVERIFY(dialog.isVisible());
    QCOMPARE(f.form->txt_corrasd->text(), QStringLiteral("1745.20069808028"));
    QCOMPARE(f.dialogs.messageCount(), 1);
    dialog.close();
    QVERIFY(!dialog.isVisible());
    QCOMPARE(f.dialogs.messageCount(), 1);
}

void TestConfig2::design()
{
    FormFixture f;
    Config2 dialog(*f.form);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Etalonage classique"));
    QCOMPARE(dialog.cmd1->text(), QStringLiteral("Calculer"));
    QVERIFY(dialog.cmd1->isDefault());
    for (int i = 1; i <= 5; ++i)
        QCOMPARE(dialog.txt[size_t(i)]->text(), QString());
    QCOMPARE(dialog.Label1[2]->text(), QStringLiteral("pixels"));
}

void TestConfig2::captionsFromLanguageFile()
{
    // The program's own language file names the five quantities.
    const QString file = QFINDTESTDATA("../../resources/lang.cfg");
    QVERIFY(!file.isEmpty());
    FormFixture f;
    QVERIFY(LoadLanguage(QFileInfo(file).absolutePath(), f.tables).ok());
    Config2 dialog(*f.form);
    QCOMPARE(dialog.windowTitle(), f.tables.Config2Texts[1]);
    QStringList labels;
    for (int i = 1; i <= 5; ++i) {
        QCOMPARE(dialog.lbl[size_t(i)]->text(), f.tables.Config2Texts[size_t(i + 2)]);
        labels << dialog.lbl[size_t(i)]->text();
    }
    QCOMPARE(labels.removeDuplicates(), 0);
    QVERIFY(!labels.contains(QStringLiteral("Corr Asd")));
    QVERIFY(!labels.contains(QString()));
    QCOMPARE(dialog.cmd1->text(), f.tables.Config2Texts[8]);
    QCOMPARE(dialog.Label1[4]->text(), QStringLiteral("mm"));
}

QTEST_MAIN(TestConfig2)
#include "tst_config2.moc"
