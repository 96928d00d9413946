// The set-up wizard: the copies between the main window and its pages, the
// configuration list, the page buttons and "Terminer".

#include "dialogs/wizard.h"
#include "localisation/language_file.h"
#include "support/layout_checks.h"
#include "support/test_support.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

using namespace testing;

class TestWizard : public QObject {
    Q_OBJECT
private slots:
    void copyIn();
    void emptyCoefficientsCopiedAsEmpty();
    void signs_data();
    void signs();
    void configurationList_data();
    void configurationList();
    void choosingAConfiguration();
    void commaFixedOnlyInMainWindow();
    void terminerCopiesEverythingBack_data();
    void terminerCopiesEverythingBack();
    void longTextsPassWhole();
    void pagesAndEnter();
    void captions();
    void designSize_data();
    void designSize();
};

namespace {
const QString kFile = QStringLiteral("config.cfg");

// Distinct texts in every job field of the main window.
void fillMainWindow(Form1 &form)
{
    form.txt_calcul->setText(QStringLiteral("11"));
    form.txt_corrasd->setText(QStringLiteral("2599.43"));
    form.txt_corrdec->setText(QStringLiteral("2709.96"));
    form.txt_dec[0]->setText(QStringLiteral("22"));
    form.txt_dec[1]->setText(QStringLiteral("01"));
    form.txt_dec[2]->setText(QStringLiteral("11"));
    form.txt_distance->setText(QStringLiteral("25"));
    form.txt_epoch->setText(QStringLiteral("1950.0"));
    form.txt_mag->setText(QStringLiteral("15"));
    form.txt_ra[0]->setText(QStringLiteral("1"));
    form.txt_ra[1]->setText(QStringLiteral("34"));
    form.txt_ra[2]->setText(QStringLiteral("50"));
    form.txt_tolerance->setText(QStringLiteral("6"));
    form.txt_url->setText(QStringLiteral("m33.png"));
}

QStringList comboNames(const Wizard &wizard)
{
    QStringList names;
    for (int i = 0; i < wizard.Combo->count(); ++i)
        names << wizard.Combo->itemText(i);
    return names;
}

QByteArray records(int count)
{
    QByteArray bytes;
    for (int i = 1; i <= count; ++i)
        bytes += "N" + QByteArray::number(i) + "\r\n" + QByteArray::number(i) + "\r\n" + QByteArray::number(i) + "\r\n";
    return bytes;
}
} // namespace

void TestWizard::copyIn()
{
    FormFixture f;
    fillMainWindow(*f.form);
    f.form->WizardStatus = 1;
    Wizard wizard(*f.form);
    QCOMPARE(f.form->WizardStatus, 0);
    QCOMPARE(wizard.txt_calcul->text(), QStringLiteral("11"));
    QCOMPARE(wizard.txt_corrasd->text(), QStringLiteral("2599.43"));
    QCOMPARE(wizard.txt_corrdec->text(), QStringLiteral("2709.96"));
    QCOMPARE(wizard.txt_dec[1]->text(), QStringLiteral("01"));
    QCOMPARE(wizard.txt_distance->text(), QStringLiteral("25"));
    QCOMPARE(wizard.txt_epoch->text(), QStringLiteral("2000.0"));
    QVERIFY(!wizard.txt_epoch->isEnabled());
    QCOMPARE(wizard.txt_mag->text(), QStringLiteral("15"));
    QCOMPARE(wizard.txt_ra[2]->text(), QStringLiteral("50"));
    QCOMPARE(wizard.txt_tolerance->text(), QStringLiteral("6"));
    QCOMPARE(wizard.txt_url->text(), QStringLiteral("m33.png"));
    QVERIFY(!wizard.Frame1->isHidden());
    QVERIFY(wizard.Frame2->isHidden() && wizard.Frame3->isHidden());
    QVERIFY(wizard.step1->isDefault());
    QCOMPARE(wizard.windowTitle(), QStringLiteral("Assistant d'Sidelune"));
    QCOMPARE(wizard.step3->text(), QStringLiteral("Terminer"));
    QVERIFY(wizard.lbl[12]->isHidden() && wizard.lbl[13]->isHidden());
}

void TestWizard::emptyCoefficientsCopiedAsEmpty()
{
    FormFixture f;
    QCOMPARE(f.form->txt_corrasd->text(), QString());
    Wizard wizard(*f.form);
    QCOMPARE(wizard.txt_corrasd->text(), QString());
    QCOMPARE(wizard.txt_corrdec->text(), QString());
}

void TestWizard::signs_data()
{
    QTest::addColumn<int>("formButton");   // selected in the main window
    QTest::addColumn<QString>("formLabel"); // the main window's sign label
    QTest::addColumn<int>("clicked");      // wizard button the user selects, -1 none
    QTest::addColumn<QString>("wizardLabel");
    QTest::addColumn<int>("finalButton");
    QTest::addColumn<QString>("finalLabel");
    QTest::newRow("minus") << 0 << "-" << -1 << "-" << 0 << "-";
    QTest::newRow("plus") << 1 << "+" << -1 << "+" << 1 << "+";
    QTest::newRow("label disagrees, kept") << 1 << "-" << -1 << "-" << 1 << "-";
    QTest::newRow("label disagrees, user picks minus") << 1 << "+" << 0 << "-" << 0 << "-";
    QTest::newRow("user picks plus") << 0 << "-" << 1 << "+" << 1 << "+";
}

void TestWizard::signs()
{
    QFETCH(int, formButton);
    QFETCH(QString, formLabel);
    QFETCH(int, clicked);
    QFETCH(QString, wizardLabel);
    QFETCH(int, finalButton);
    QFETCH(QString, finalLabel);
    FormFixture f;
    f.form->txt_dec_sign[size_t(formButton)]->setChecked(true);
    f.form->txt_dec_sign_show[0]->setText(formLabel); // as a project opening can leave it
    Wizard wizard(*f.form);
    QVERIFY(wizard.txt_dec_sign[size_t(formButton)]->isChecked());
    QVERIFY(!wizard.txt_dec_sign[size_t(1 - formButton)]->isChecked());
    if (clicked >= 0)
        wizard.txt_dec_sign[size_t(clicked)]->click();
    QCOMPARE(wizard.txt_dec_sign_show->text(), clicked < 0 ? formLabel : wizardLabel);
    wizard.step3_Click();
    QVERIFY(f.form->txt_dec_sign[size_t(finalButton)]->isChecked());
    QVERIFY(!f.form->txt_dec_sign[size_t(1 - finalButton)]->isChecked());
    QCOMPARE(f.form->txt_dec_sign_show[0]->text(), finalLabel);
    // The calibration's sign never changes through the wizard.
    QVERIFY(f.form->txt_dec_sign[3]->isChecked());
    QCOMPARE(f.form->txt_dec_sign_show[1]->text(), QStringLiteral("+"));
}

void TestWizard::configurationList_data()
{
    QTest::addColumn<QByteArray>("file"); // null: no file
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<int>("boxes");
    QTest::newRow("no file") << QByteArray() << QStringList{} << 1;
    QTest::newRow("count 0") << QByteArray(" 0 \r\n") << QStringList{} << 0;
    QTest::newRow("count -1") << "-1 \r\n" + records(1) << QStringList{} << 0;
    QTest::newRow("two, as saved") << " 2 \r\n" + records(2) << QStringList{"N1", "N2"} << 0;
    QTest::newRow("short file") << " 3 \r\n" + records(2) + "N3\r\n4\r\n" << QStringList{"N1", "N2"} << 1;
    QStringList fifteen;
    for (int i = 1; i <= 15; ++i)
        fifteen << QStringLiteral("N%1").arg(i);
    QTest::newRow("count 16") << " 16 \r\n" + records(16) << fifteen << 1;
    QTest::newRow("bad count line") << "x\r\n" + records(1) << QStringList{} << 1;
}

void TestWizard::configurationList()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, names);
    QFETCH(int, boxes);
    FormFixture f;
    if (!file.isNull())
        writeFile(f.path(kFile), file);
    fillMainWindow(*f.form);
    Wizard wizard(*f.form);
    QCOMPARE(comboNames(wizard), names);
    QCOMPARE(wizard.Combo->currentIndex(), -1);
    QCOMPARE(f.dialogs.messageCount(), boxes);
    if (boxes)
        QCOMPARE(f.dialogs.shown[0].style, MsgBoxStyle::OkOnly);
    // The coefficients stay those of the main window until a choice.
    QCOMPARE(wizard.txt_corrasd->text(), QStringLiteral("2599.43"));
    // A failed list does not stop the wizard.
    wizard.step1_Click();
    wizard.step2_Click();
    wizard.step3_Click();
    QCOMPARE(f.form->WizardStatus, 1);
    QCOMPARE(f.form->txt_url->text(), QStringLiteral("m33.png"));
    if (!file.isNull())
        QVERIFY(QFile::remove(f.path(kFile)));
}

void TestWizard::choosingAConfiguration()
{
    FormFixture f({{kFile, QByteArray(" 2 \r\nA\r\n1000\r\n1001\r\nB\r\n2000\r\n2001\r\n")}});
    fillMainWindow(*f.form);
    Wizard wizard(*f.form);
    wizard.Combo->setCurrentIndex(1);
    wizard.Combo_Click();
    QCOMPARE(wizard.txt_corrasd->text(), QStringLiteral("2000"));
    QCOMPARE(wizard.txt_corrdec->text(), QStringLiteral("2001"));
    // The choice reaches the main window only through "Terminer".
    wizard.close();
    QCOMPARE(f.form->txt_corrasd->text(), QStringLiteral("2599.43"));
    QCOMPARE(f.form->txt_corrdec->text(), QStringLiteral("2709.96"));
    QCOMPARE(f.form->WizardStatus, 0);
}

void TestWizard::commaFixedOnlyInMainWindow()
{
    ScopedLocale locale(commaLocale());
    FormFixture f({{kFile, QByteArray("1\r\nLunette\r\n2599,43\r\n2709,96\r\n")}});
    Wizard wizard(*f.form);
    wizard.Combo->setCurrentIndex(0);
    wizard.Combo_Click();
    QCOMPARE(wizard.txt_corrasd->text(), QStringLiteral("2599,43"));
    wizard.step3_Click();
    QCOMPARE(f.form->txt_corrasd->text(), QStringLiteral("2599.43"));
    QCOMPARE(f.form->txt_corrdec->text(), QStringLiteral("2709.96"));
}

void TestWizard::terminerCopiesEverythingBack_data()
{
    QTest::addColumn<Qt::CheckState>("decideur");
    QTest::newRow("ticked") << Qt::Checked;
    QTest::newRow("clear") << Qt::Unchecked;
    QTest::newRow("greyed") << Qt::PartiallyChecked;
}

void TestWizard::terminerCopiesEverythingBack()
{
    QFETCH(Qt::CheckState, decideur);
    FormFixture f;
    fillMainWindow(*f.form);
    f.form->txt_mag2->setText(QStringLiteral("18"));
    f.form->CheckDecideur->setCheckState(decideur);
    Wizard wizard(*f.form);
    const std::vector<std::pair<QLineEdit *, QLineEdit *>> rows = {
        {wizard.txt_calcul, f.form->txt_calcul},     {wizard.txt_corrasd, f.form->txt_corrasd},
        {wizard.txt_corrdec, f.form->txt_corrdec},   {wizard.txt_dec[0], f.form->txt_dec[0]},
        {wizard.txt_dec[1], f.form->txt_dec[1]},     {wizard.txt_dec[2], f.form->txt_dec[2]},
        {wizard.txt_distance, f.form->txt_distance}, {wizard.txt_mag, f.form->txt_mag},
        {wizard.txt_ra[0], f.form->txt_ra[0]},       {wizard.txt_ra[1], f.form->txt_ra[1]},
        {wizard.txt_ra[2], f.form->txt_ra[2]},       {wizard.txt_tolerance, f.form->txt_tolerance},
        {wizard.txt_url, f.form->txt_url}};
    for (size_t i = 0; i < rows.size(); ++i)
        rows[i].first->setText(i == 12 ? QStringLiteral("new.jpg") : QString::number(i + 40));
    wizard.step3_Click();
    QCOMPARE(wizard.result(), int(QDialog::Accepted));
    QCOMPARE(f.form->WizardStatus, 1);
    for (size_t i = 0; i < rows.size(); ++i)
        QCOMPARE(rows[i].second->text(), rows[i].first->text());
    QCOMPARE(f.form->txt_epoch->text(), QStringLiteral("2000.0"));
    QCOMPARE(f.form->txt_mag2->text(), QStringLiteral("18"));
    QCOMPARE(f.form->CheckDecideur->checkState(), decideur);
}

void TestWizard::longTextsPassWhole()
{
    FormFixture f;
    f.form->txt_ra[0]->setMaxLength(10);
    f.form->txt_ra[0]->setText(QStringLiteral("123"));
    Wizard wizard(*f.form);
    QCOMPARE(wizard.txt_ra[0]->text(), QStringLiteral("123"));
    // Back into a main window whose box holds two characters at most.
    f.form->txt_ra[0]->setMaxLength(2);
    wizard.step3_Click();
    QCOMPARE(f.form->txt_ra[0]->text(), QStringLiteral("123"));

    // Typing still stops at two characters.
    Wizard typed(*f.form);
    typed.txt_dec[0]->clear();
    QTest::keyClicks(typed.txt_dec[0], QStringLiteral("456"));
    QCOMPARE(typed.txt_dec[0]->text(), QStringLiteral("45"));
}

void TestWizard::pagesAndEnter()
{
    FormFixture f;
    fillMainWindow(*f.form);
    Wizard wizard(*f.form);
    wizard.show();
    QVERIFY(QTest::qWaitForWindowExposed(&wizard));
    const QSize size = wizard.size();

    wizard.txt_mag->setFocus();
    QTest::keyClick(wizard.txt_mag, Qt::Key_Escape);
    QVERIFY(wizard.isVisible());
    QTest::keyClick(wizard.txt_mag, Qt::Key_Return);
    QVERIFY(wizard.Frame1->isHidden() && !wizard.Frame2->isHidden());
    QVERIFY(wizard.step2->isDefault());

    wizard.txt_corrasd->setFocus();
    QTest::keyClick(wizard.txt_corrasd, Qt::Key_Enter);
    QVERIFY(wizard.Frame2->isHidden() && !wizard.Frame3->isHidden());
    QVERIFY(wizard.step3->isDefault());
    QCOMPARE(wizard.size(), size);
    QCOMPARE(f.form->WizardStatus, 0);

    wizard.txt_tolerance->setFocus();
    QTest::keyClick(wizard.txt_tolerance, Qt::Key_Return);
    QVERIFY(!wizard.isVisible());
    QCOMPARE(f.form->WizardStatus, 1);
    QCOMPARE(f.form->txt_epoch->text(), QStringLiteral("2000.0"));
}

void TestWizard::captions()
{
    FormFixture f;
    for (int i = 1; i <= 19; ++i)
        f.tables.WizardTexts[size_t(i)] = QStringLiteral("W%1").arg(i);
    giveEveryEntry(f.tables);
    Wizard wizard(*f.form);
    QCOMPARE(wizard.windowTitle(), QStringLiteral("W1"));
    for (int i = 0; i < 16; ++i)
        QCOMPARE(wizard.lbl[size_t(i)]->text(), QStringLiteral("W%1").arg(i + 2));
    QCOMPARE(wizard.step1->text(), QStringLiteral("W18"));
    QCOMPARE(wizard.step2->text(), QStringLiteral("W18"));
    QCOMPARE(wizard.step3->text(), QStringLiteral("W19"));
    // Units, the sign and the option buttons keep their design texts.
    QCOMPARE(wizard.Label3[3]->text(), QStringLiteral("\u00b0"));
    QCOMPARE(wizard.Label6->text(), QStringLiteral("Arcmin"));
    QCOMPARE(wizard.txt_dec_sign[0]->text(), QStringLiteral("-"));

    // An empty line the file gave blanks its caption; an entry the file
    // never reached (a file cut short) keeps the design caption.
    f.tables.WizardTexts[19].clear();
    Wizard again(*f.form);
    QCOMPARE(again.step3->text(), QString());
    f.tables.WizardGiven[19] = false;
    Wizard cutShort(*f.form);
    QCOMPARE(cutShort.step3->text(), QStringLiteral("Terminer"));
    QCOMPARE(cutShort.step1->text(), QStringLiteral("W18"));
}

void TestWizard::designSize_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<bool>("shippedCaptions");
    for (int page = 1; page <= 3; ++page) {
        QTest::addRow("page %d, design captions", page) << page << false;
        QTest::addRow("page %d, language file", page) << page << true;
    }
}

void TestWizard::designSize()
{
    QFETCH(int, page);
    QFETCH(bool, shippedCaptions);
    FormFixture f(shippedLanguageFile(shippedCaptions));
    if (shippedCaptions)
        QVERIFY(LoadLanguage(f.folder.path(), f.tables).ok());
    fillMainWindow(*f.form);
    Wizard wizard(*f.form);
    wizard.show();
    QVERIFY(QTest::qWaitForWindowExposed(&wizard));
    if (page > 1)
        wizard.step1_Click();
    if (page > 2)
        wizard.step2_Click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    QCOMPARE(wizard.size(), QSize(271, 193));
    const QStringList cut = cutControls(wizard);
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join(u'\n')));
    if (page == 1)
        for (QLineEdit *box : {wizard.txt_ra[0], wizard.txt_ra[1], wizard.txt_ra[2], wizard.txt_dec[0],
                               wizard.txt_dec[1], wizard.txt_dec[2]})
            QVERIFY(showsWhole(*box, QStringLiteral("59")));
}

QTEST_MAIN(TestWizard)
#include "tst_wizard.moc"
