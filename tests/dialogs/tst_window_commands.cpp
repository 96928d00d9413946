// The main window's commands that open the wizard, the configuration manager
// and the classic calibration: modality, ConfigStatus, and the wizard protocol.

#include "dialogs/config.h"
#include "dialogs/config2.h"
#include "dialogs/wizard.h"
#include "support/test_support.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <functional>

using namespace testing;

class TestWindowCommands : public QObject {
    Q_OBJECT
private slots:
    void wizardClosedByCloseBoxStartsNothing();
    void wizardTerminer();
    void loadThenCorrecteurs();
    void savedConfigurationOfferedEverywhere();
    void classicCalibrationFromMenu();
};

namespace {
// Runs `act` on the modal dialog of type T once the command has opened it.
template <typename T>
void whenOpen(std::function<void(T &)> act, bool *ran)
{
    QTimer::singleShot(0, [act, ran] {
        auto *dialog = dynamic_cast<T *>(QApplication::activeModalWidget());
        if (!dialog) {
            // Not the expected window: close whatever is modal so the command returns.
            if (QWidget *other = QApplication::activeModalWidget())
                other->close();
            return;
        }
        *ran = true;
        act(*dialog);
    });
}
} // namespace

void TestWindowCommands::wizardClosedByCloseBoxStartsNothing()
{
    FormFixture f;
    f.form->WizardStatus = 1; // a pending automatic solve is cancelled too
    f.form->pickMode = QStringLiteral("done");
    f.form->txt_url->setText(QStringLiteral("before.png"));
    bool ran = false;
    whenOpen<Wizard>([](Wizard &wizard) {
        QVERIFY(wizard.isModal());
        wizard.txt_url->setText(QStringLiteral("after.png"));
        wizard.step1_Click();
        wizard.close();
    }, &ran);
    f.form->mnu_wizard_Click();
    QVERIFY(ran);
    QCOMPARE(f.form->WizardStatus, 0);
    QCOMPARE(f.form->txt_url->text(), QStringLiteral("before.png"));
    QCOMPARE(f.form->pickMode, QStringLiteral("done"));
    QCOMPARE(f.form->status->count(), 0);
    QVERIFY(!QFile::exists(f.path(QStringLiteral("data.txt"))));
}

void TestWindowCommands::wizardTerminer()
{
    FormFixture f;
    QVERIFY(drawStarField(300, 200, {{100, 80}, {200, 120}}).save(f.path(QStringLiteral("field.png"))));
    bool ran = false;
    whenOpen<Wizard>([](Wizard &wizard) {
        wizard.txt_url->setText(QStringLiteral("field.png"));
        wizard.step1_Click();
        wizard.step2_Click();
        wizard.step3_Click();
    }, &ran);
    f.form->mnu_wizard->trigger();
    QVERIFY(ran);
    QCOMPARE(f.form->txt_url->text(), QStringLiteral("field.png"));
    // Star picking has started on the wizard's image.
    QVERIFY(f.form->imageLoaded);
    QCOMPARE(f.form->pickMode, QStringLiteral("select"));
    QVERIFY(!f.form->zoom->isHidden());
    // Stays 1 until the solve started by the fifth pick.
    QCOMPARE(f.form->WizardStatus, 1);
}

void TestWindowCommands::loadThenCorrecteurs()
{
    FormFixture f({{QStringLiteral("config.cfg"), QByteArray(" 1 \r\nLunette\r\n2599,5\r\n2700\r\n")}});
    bool ran = false;
    int statusWhileOpen = -1;
    whenOpen<Config>([&statusWhileOpen, &f](Config &config) {
        statusWhileOpen = f.form->ConfigStatus;
        QCOMPARE(config.mode(), Config::Mode::UseMode);
        QVERIFY(config.parentWidget() == f.form.get());
        config.cmd3_Click();
    }, &ran);
    f.form->LoadCorr->click();
    QVERIFY(ran);
    QCOMPARE(statusWhileOpen, 2);
    QCOMPARE(f.form->ConfigStatus, 0);
    QCOMPARE(f.form->txt_corrasd->text(), QStringLiteral("2599.5"));
    QCOMPARE(f.form->txt_corrdec->text(), QStringLiteral("2700"));

    // Closed by its close box: ConfigStatus goes back to 0 as well.
    ran = false;
    whenOpen<Config>([](Config &config) { config.close(); }, &ran);
    f.form->LoadCorr_Click();
    QVERIFY(ran);
    QCOMPARE(f.form->ConfigStatus, 0);

    ran = false;
    Config::Mode mode = Config::Mode::UseMode;
    whenOpen<Config>([&mode](Config &config) {
        mode = config.mode();
        config.close();
    }, &ran);
    f.form->mnu_config->trigger();
    QVERIFY(ran);
    QCOMPARE(mode, Config::Mode::EditMode);
}

void TestWindowCommands::savedConfigurationOfferedEverywhere()
{
    FormFixture f;
    bool ran = false;
    whenOpen<Config>([](Config &config) {
        config.cmd2_Click();
        config.List1->setCurrentRow(0);
        config.txt_coor[0]->setText(QStringLiteral("C14 f/10"));
        config.txt_coor[1]->setText(QStringLiteral("3100.5"));
        config.txt_coor[2]->setText(QStringLiteral("3102.25"));
        config.cmd4_Click();
    }, &ran);
    f.form->mnu_config_Click();
    QVERIFY(ran);

    ran = false;
    QStringList offered;
    whenOpen<Wizard>([&offered](Wizard &wizard) {
        for (int i = 0; i < wizard.Combo->count(); ++i)
            offered << wizard.Combo->itemText(i);
        wizard.close();
    }, &ran);
    f.form->mnu_wizard_Click();
    QVERIFY(ran);
    QCOMPARE(offered, QStringList{"C14 f/10"});

    ran = false;
    whenOpen<Config>([](Config &config) {
        QCOMPARE(config.List1->count(), 1);
        QCOMPARE(config.List1->currentRow(), 0);
        config.cmd3_Click();
    }, &ran);
    f.form->LoadCorr_Click();
    QVERIFY(ran);
    QCOMPARE(f.form->txt_corrasd->text(), QStringLiteral("3100.5"));
    QCOMPARE(f.form->txt_corrdec->text(), QStringLiteral("3102.25"));
}

void TestWindowCommands::classicCalibrationFromMenu()
{
    ScopedLocale locale(pointLocale());
    FormFixture f;
    bool ran = false;
    whenOpen<Config2>([](Config2 &dialog) {
        QVERIFY(dialog.isModal());
        const QStringList values{"10", "8", "1000", "800", "1000"};
        for (int i = 1; i <= 5; ++i)
            dialog.txt[size_t(i)]->setText(values[i - 1]);
        dialog.cmd1->click();
        QVERIFY(dialog.isVisible());
        dialog.close();
    }, &ran);
    f.form->mnu_etalonage2->trigger();
    QVERIFY(ran);
    QCOMPARE(f.form->txt_corrasd->text(), QStringLiteral("1745.20069808028"));
    QCOMPARE(f.dialogs.messageCount(), 1);
}

QTEST_MAIN(TestWindowCommands)
#include "tst_window_commands.moc"
