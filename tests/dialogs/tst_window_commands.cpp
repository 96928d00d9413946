// The main window's commands that open the wizard, the configuration manager
// and the classic calibration: modality, ConfigStatus, and the wizard protocol.

#include "dialogs/config.h"
#include "dialogs/config2.h"
#include "dialogs/wizard.h"
#include "support/catalogue_fixture.h"
#include "support/modal_answers.h"
#include "support/test_support.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
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

void TestWindowCommands::wizardClosedByCloseBoxStartsNothing()
{
    FormFixture f;
    f.form->WizardStatus = 1; // a pending automatic solve is cancelled too
    f.form->pickMode = PickMode::Done;
    f.form->txt_url->setText(QStringLiteral("before.png"));
    ModalAnswers answers;
    answers.then<Wizard>([](Wizard &wizard) {
        QVERIFY(wizard.isModal());
        wizard.txt_url->setText(QStringLiteral("after.png"));
        wizard.step1_Click();
        wizard.close();
    });
    f.form->mnu_wizard_Click();
    QVERIFY2(answers.done(), qPrintable(answers.failures()));
    QCOMPARE(f.form->WizardStatus, 0);
    QCOMPARE(f.form->txt_url->text(), QStringLiteral("before.png"));
    QCOMPARE(f.form->pickMode, PickMode::Done);
    QCOMPARE(f.form->status->count(), 0);
    QVERIFY(!QFile::exists(f.path(QStringLiteral("data.txt"))));
}

void TestWindowCommands::wizardTerminer()
{
    FormFixture f;
    CatalogueFixture catalogue({{QStringLiteral("U1125-00000001"), 23.70833, -22.01972, 11.2}});
    catalogue.pointAt(*f.form);
    f.tables.MessageTexts[8] = QStringLiteral("before download");
    f.tables.MessageTexts[9] = QStringLiteral("after download");
    const std::vector<SyntheticStar> field{{60, 50}, {240, 40}, {150, 100}, {70, 160}, {230, 170}};
    QVERIFY(drawStarField(300, 200, field).save(f.path(QStringLiteral("field.png"))));
    ModalAnswers answers;
    answers.then<Wizard>([](Wizard &wizard) {
        wizard.txt_ra[0]->setText(QStringLiteral("1"));
        wizard.txt_ra[1]->setText(QStringLiteral("34"));
        wizard.txt_ra[2]->setText(QStringLiteral("50"));
        wizard.txt_dec[0]->setText(QStringLiteral("22"));
        wizard.txt_dec[1]->setText(QStringLiteral("01"));
        wizard.txt_dec[2]->setText(QStringLiteral("11"));
        wizard.txt_dec_sign[0]->click();
        wizard.txt_url->setText(QStringLiteral("field.png"));
        wizard.step1_Click();
        wizard.step2_Click();
        wizard.step3_Click();
    });
    f.form->mnu_wizard->trigger();
    QVERIFY2(answers.done(), qPrintable(answers.failures()));
    QCOMPARE(f.form->txt_url->text(), QStringLiteral("field.png"));
    // The download ran on the wizard's field centre, logged before and after.
    QCOMPARE(catalogue.receivedTargets().size(), 1);
    QVERIFY(catalogue.receivedTargets()[0].contains("dec=-22+01+11"));
    QVERIFY(readFile(f.path(QStringLiteral("data.txt"))).contains("U1125-00000001"));
    QCOMPARE(f.form->status->count(), 2);
    QCOMPARE(f.form->status->item(1)->text(), QStringLiteral("before download"));
    QCOMPARE(f.form->status->item(0)->text(), QStringLiteral("after download"));
    // Then star picking started on the wizard's image.
    QVERIFY(f.form->imageLoaded);
    QCOMPARE(f.form->pickMode, PickMode::Select);
    QVERIFY(!f.form->zoom->isHidden());

    // WizardStatus stays 1 through the picks; the fifth starts the solve and clears it.
    for (size_t k = 0; k < field.size(); ++k) {
        QCOMPARE(f.form->WizardStatus, 1);
        f.form->mouseX = int(field[k].x) + 1;
        f.form->mouseY = int(field[k].y) - 1;
        f.form->zoom_Click();
    }
    QCOMPARE(f.form->clickCount, 5);
    QCOMPARE(f.form->WizardStatus, 0);
}

void TestWindowCommands::loadThenCorrecteurs()
{
    FormFixture f({{QStringLiteral("config.cfg"), QByteArray(" 1 \r\nLunette\r\n2599,5\r\n2700\r\n")}});
    int statusWhileOpen = -1;
    ModalAnswers answers;
    answers.then<Config>([&statusWhileOpen, &f](Config &config) {
        statusWhileOpen = f.form->ConfigStatus;
        QCOMPARE(config.mode(), Config::Mode::UseMode);
        QVERIFY(config.parentWidget() == f.form.get());
        config.cmd3_Click();
    });
    f.form->LoadCorr->click();
    QVERIFY2(answers.done(), qPrintable(answers.failures()));
    QCOMPARE(statusWhileOpen, 2);
    QCOMPARE(f.form->ConfigStatus, 0);
    QCOMPARE(f.form->txt_corrasd->text(), QStringLiteral("2599.5"));
    QCOMPARE(f.form->txt_corrdec->text(), QStringLiteral("2700"));

    // Closed by its close box: ConfigStatus goes back to 0 as well.
    ModalAnswers answers2;
    answers2.then<Config>([](Config &config) { config.close(); });
    f.form->LoadCorr_Click();
    QVERIFY2(answers2.done(), qPrintable(answers2.failures()));
    QCOMPARE(f.form->ConfigStatus, 0);

    Config::Mode mode = Config::Mode::UseMode;
    ModalAnswers answers3;
    answers3.then<Config>([&mode](Config &config) {
        mode = config.mode();
        config.close();
    });
    f.form->mnu_config->trigger();
    QVERIFY2(answers3.done(), qPrintable(answers3.failures()));
    QCOMPARE(mode, Config::Mode::EditMode);
}

void TestWindowCommands::savedConfigurationOfferedEverywhere()
{
    FormFixture f;
    ModalAnswers answers;
    answers.then<Config>([](Config &config) {
        config.cmd2_Click();
        config.List1->setCurrentRow(0);
        config.txt_coor[0]->setText(QStringLiteral("C14 f/10"));
        config.txt_coor[1]->setText(QStringLiteral("3100.5"));
        config.txt_coor[2]->setText(QStringLiteral("3102.25"));
        config.cmd4_Click();
    });
    f.form->mnu_config_Click();
    QVERIFY2(answers.done(), qPrintable(answers.failures()));

    QStringList offered;
    ModalAnswers answers2;
    answers2.then<Wizard>([&offered](Wizard &wizard) {
        for (int i = 0; i < wizard.Combo->count(); ++i)
            offered << wizard.Combo->itemText(i);
        wizard.close();
    });
    f.form->mnu_wizard_Click();
    QVERIFY2(answers2.done(), qPrintable(answers2.failures()));
    QCOMPARE(offered, QStringList{"C14 f/10"});

    ModalAnswers answers3;
    answers3.then<Config>([](Config &config) {
        QCOMPARE(config.List1->count(), 1);
        QCOMPARE(config.List1->currentRow(), 0);
        config.cmd3_Click();
    });
    f.form->LoadCorr_Click();
    QVERIFY2(answers3.done(), qPrintable(answers3.failures()));
    QCOMPARE(f.form->txt_corrasd->text(), QStringLiteral("3100.5"));
    QCOMPARE(f.form->txt_corrdec->text(), QStringLiteral("3102.25"));
}

void TestWindowCommands::classicCalibrationFromMenu()
{
    ScopedLocale locale(pointLocale());
    FormFixture f;
    ModalAnswers answers;
    answers.then<Config2>([](Config2 &dialog) {
        QVERIFY(dialog.isModal());
        const QStringList values{"10", "8", "1000", "800", "1000"};
        for (int i = 1; i <= 5; ++i)
            dialog.txt[size_t(i)]->setText(values[i - 1]);
        dialog.cmd1->click();
        QVERIFY(dialog.isVisible());
        dialog.close();
    });
    f.form->mnu_etalonage2->trigger();
    QVERIFY2(answers.done(), qPrintable(answers.failures()));
    QCOMPARE(f.form->txt_corrasd->text(), QStringLiteral("1745.20069808028"));
    QCOMPARE(f.dialogs.messageCount(), 1);
}

QTEST_MAIN(TestWindowCommands)
#include "tst_window_commands.moc"
