// The comma fix of the numeric fields and the sign options.

#include "main_window/field_input.h"
#include "support/test_support.h"

#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QtTest>

using namespace testing;

class TestFieldInput : public QObject {
    Q_OBJECT
private slots:
    void commaFix_data();
    void commaFix();
    void commaFixOnePerChange();
    void textWithoutCommaKeepsSelection();
    void signOptions_data();
    void signOptions();
};

void TestFieldInput::commaFix_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::newRow("one comma") << "2599,43" << "2599.43";
    QTest::newRow("three commas") << "1,2,3,4" << "1.2.3.4";
    QTest::newRow("no comma") << "2599.43" << "2599.43";
    QTest::newRow("only commas") << ",," << "..";
}

void TestFieldInput::commaFix()
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

void TestFieldInput::commaFixOnePerChange()
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

void TestFieldInput::textWithoutCommaKeepsSelection()
{
    QLineEdit box(QStringLiteral("2000.0"));
    box.setSelection(1, 2);
    FixDecimalComma(&box);
    QCOMPARE(box.text(), QStringLiteral("2000.0"));
    QCOMPARE(box.selectionStart(), 1);
    QCOMPARE(box.selectedText(), QStringLiteral("00"));
}

void TestFieldInput::signOptions_data()
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

void TestFieldInput::signOptions()
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

QTEST_MAIN(TestFieldInput)
#include "tst_field_input.moc"
