// Sexagesimal texts and parts, the comma fix and the sign options.

#include "main_window/field_input.h"
#include "main_window/sexagesimal.h"
#include "support/test_support.h"

#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <cmath>
#include <QtTest>

using namespace testing;

class TestSexagesimal : public QObject {
    Q_OBJECT
private slots:
    void format_data();
    void format();
    void split_data();
    void split();
    void commaFix_data();
    void commaFix();
    void commaFixOnePerChange();
    void textWithoutCommaKeepsSelection();
    void signOptions_data();
    void signOptions();
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

void TestSexagesimal::commaFix_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::newRow("one comma") << "2599,43" << "2599.43";
    QTest::newRow("three commas") << "1,2,3,4" << "1.2.3.4";
    QTest::newRow("no comma") << "2599.43" << "2599.43";
    QTest::newRow("only commas") << ",," << "..";
}

void TestSexagesimal::commaFix()
{
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    FormFixture f;
    for (QLineEdit *box : {f.form->txt_corrasd, f.form->txt_corrdec, f.form->txt_epoch}) {
        box->setText(typed);
        QCOMPARE(box->text(), shown);
    }
    // The calibration boxes keep their commas.
    f.form->Etalo[4]->setText(typed);
    QCOMPARE(f.form->Etalo[4]->text(), typed);
}

void TestSexagesimal::commaFixOnePerChange()
{
    // Each replacement is a change of its own: count them.
    QLineEdit box;
    int changes = 0;
    QObject::connect(&box, &QLineEdit::textChanged, [&] {
        ++changes;
        FixDecimalComma(&box);
    });
    box.setText(QStringLiteral("a,b,c,d"));
    QCOMPARE(box.text(), QStringLiteral("a.b.c.d"));
    QCOMPARE(changes, 4); // the paste, then one per comma
    QCOMPARE(box.cursorPosition(), 6); // just after the last point replaced
}

void TestSexagesimal::textWithoutCommaKeepsSelection()
{
    QLineEdit box(QStringLiteral("2000.0"));
    box.setSelection(1, 2);
    FixDecimalComma(&box);
    QCOMPARE(box.text(), QStringLiteral("2000.0"));
    QCOMPARE(box.selectionStart(), 1);
    QCOMPARE(box.selectedText(), QStringLiteral("00"));
}

void TestSexagesimal::signOptions_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("label0");
    QTest::addColumn<QString>("label1");
    QTest::newRow("0 sets centre minus") << 0 << "-" << "+";
    QTest::newRow("1 sets centre plus") << 1 << "+" << "+";
    QTest::newRow("2 sets calibration minus") << 2 << "+" << "-";
    QTest::newRow("3 sets calibration plus") << 3 << "+" << "+";
    QTest::newRow("other index") << 7 << "+" << "+";
}

void TestSexagesimal::signOptions()
{
    QFETCH(int, index);
    QFETCH(QString, label0);
    QFETCH(QString, label1);
    FormFixture f;
    if (index < 4)
        f.form->txt_dec_sign[index]->click();
    else
        f.form->txt_dec_sign_Click(index);
    QCOMPARE(f.form->txt_dec_sign_show[0]->text(), label0);
    QCOMPARE(f.form->txt_dec_sign_show[1]->text(), label1);
}

QTEST_MAIN(TestSexagesimal)
#include "tst_sexagesimal.moc"
