// Captions of the main window and the message table from the language
// tables, the shipped French language file, and start-up with and without it.

#include "dialogs/config.h"
#include "dialogs/config2.h"
#include "dialogs/frm_tip.h"
#include "dialogs/wizard.h"
#include "localisation/captions.h"
#include "localisation/language_file.h"
#include "main_window/startup.h"
#include "support/test_support.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStringEncoder>
#include <QtTest>

using namespace testing;

class TestCaptions : public QObject {
    Q_OBJECT
private slots:
    void formKey();
    void otherKeysChangeNothing_data();
    void otherKeysChangeNothing();
    void formBlockStoppingAtEntry45();
    void blockWithoutUsableCaption_data();
    void blockWithoutUsableCaption();
    void shippedLanguageFile();
    void startupWithLanguageFile();
    void startupWithoutUsableLanguageFile_data();
    void startupWithoutUsableLanguageFile();
};

namespace {
// The captions that the key "Form" sets, in the order of FormTexts 1 to 45.
QStringList formCaptions(const Form1 &form)
{
    QStringList c;
    c << form.windowTitle() << form.mnu_fichier->title() << form.mnu_wizard->text() << form.mnu_open->text()
      << form.mnu_save->text() << form.mnu_savedefaut->text() << form.mnu_quit->text()
      << form.mnu_option->title() << form.mnu_config->text() << form.mnu_etalonage->text()
      << form.mnu_etalonage2->text() << form.mnu_superetalonage->text() << form.mnu_help->text()
      << form.mnu_about->text() << form.DownloadData->text() << form.SelectStar->text()
      << form.startCalcul->text() << form.FullMap->text();
    for (const QGroupBox *frame : form.Frm)
        c << frame->title();
    for (const QLabel *label : form.lbl)
        c << label->text();
    c << form.Loadimg->text() << form.LoadCorr->text() << form.BoutonEtalo->text();
    return c;
}

LanguageTables numberedTables()
{
    LanguageTables t;
    for (size_t i = 1; i < t.FormTexts.size(); ++i)
        t.FormTexts[i] = QStringLiteral("F%1").arg(i);
    for (size_t i = 0; i < t.SuggestionTexts.size(); ++i)
        t.SuggestionTexts[i] = QStringLiteral("S%1").arg(i);
    for (size_t i = 1; i < t.ConfigTexts.size(); ++i)
        t.ConfigTexts[i] = t.Config2Texts[i] = QStringLiteral("C%1").arg(i);
    return t;
}

CaptionTargets targetsFor(Form1 *form, int *factoryCalls)
{
    CaptionTargets targets;
    targets.form = [form, factoryCalls] {
        ++*factoryCalls;
        return form;
    };
    return targets;
}

// Runs start-up; the main window it leaves, kept from ending the test.
Form1 *startProgram(Program &program)
{
    program.Main();
    Form1 *form = program.form1();
    if (form)
        form->endProgram = [] {};
    return form;
}

// Start-up went to its end: the window is shown with all its markers.
bool isUp(const Form1 *form)
{
    return form && form->isVisible() && form->star.size() == 4001 && form->clicpic.size() == 6;
}

QString shippedFilePath()
{
    return QFINDTESTDATA("../../resources/lang.cfg");
}
} // namespace

void TestCaptions::formKey()
{
    FormFixture f;
    f.tables = numberedTables();
    int calls = 0;
    ApplyCaptions(QStringLiteral("Form"), f.tables, targetsFor(f.form.get(), &calls));
    QCOMPARE(calls, 1);

    QStringList expected;
    for (int i = 1; i <= 45; ++i)
        expected << QStringLiteral("F%1").arg(i);
    QCOMPARE(formCaptions(*f.form), expected);
    // Entry 10 is the image calibration, entry 11 the classic one above it.
    QCOMPARE(f.form->mnu_option->actions()[2]->text(), QStringLiteral("F11"));
    QCOMPARE(f.form->mnu_option->actions()[3]->text(), QStringLiteral("F10"));

    for (int i = 0; i <= 20; ++i)
        QCOMPARE(f.tables.MessageTexts[size_t(i)], QStringLiteral("F%1").arg(45 + i));
    for (int i = 21; i <= 30; ++i)
        QVERIFY(f.tables.MessageTexts[size_t(i)].isEmpty());
    QCOMPARE(f.form->CheckDecideur->text(), f.form->Frm[6]->title());
    QCOMPARE(f.form->sugestion->text(), QStringLiteral("S0"));
    // Not captioned by any key.
    QCOMPARE(f.form->mnu_aide->title(), QStringLiteral("&?"));
}

void TestCaptions::otherKeysChangeNothing_data()
{
    QTest::addColumn<QString>("key");
    QTest::newRow("form") << "form";
    QTest::newRow("FORM") << "FORM";
    QTest::newRow("Form with a blank") << "Form ";
    QTest::newRow("empty") << "";
    QTest::newRow("unknown") << "Form1";
    // The dialogs' keys touch no main window caption and no message.
    QTest::newRow("Config") << "Config";
    QTest::newRow("Config2") << "Config2";
    QTest::newRow("config") << "config";
    QTest::newRow("Wizard") << "Wizard";
    QTest::newRow("aide") << "aide";
}

void TestCaptions::otherKeysChangeNothing()
{
    QFETCH(QString, key);
    FormFixture f;
    const QStringList design = formCaptions(*f.form);
    const QString designHint = f.form->sugestion->text();
    f.tables = numberedTables();
    int calls = 0;
    ApplyCaptions(key, f.tables, targetsFor(f.form.get(), &calls));
    QCOMPARE(calls, 0); // the main window is not even touched
    QCOMPARE(formCaptions(*f.form), design);
    QCOMPARE(f.form->sugestion->text(), designHint);
    for (const QString &message : f.tables.MessageTexts)
        QVERIFY(message.isEmpty());
}

void TestCaptions::formBlockStoppingAtEntry45()
{
    QStringList lines = {"T", "[CONFIG2]", "[FORM]"};
    for (int i = 1; i <= 45; ++i)
        lines << QStringLiteral("f%1").arg(i);
    lines << "[WIZARD]" << "[SUGESTIONS]" << "[END]";
    FormFixture f({{QStringLiteral("lang.cfg"), lines.join(QStringLiteral("\r\n")).toUtf8()}});
    QVERIFY(LoadLanguage(f.folder.path(), f.tables).ok());
    int calls = 0;
    ApplyCaptions(QStringLiteral("Form"), f.tables, targetsFor(f.form.get(), &calls));
    QCOMPARE(f.form->BoutonEtalo->text(), QStringLiteral("f45"));
    QCOMPARE(f.tables.MessageTexts[0], QStringLiteral("f45"));
    QCOMPARE(f.tables.MessageTexts[1], QStringLiteral("[WIZARD]"));
    for (int i = 2; i <= 20; ++i)
        QVERIFY(f.tables.MessageTexts[size_t(i)].isEmpty());
    // No hint was given: the hints' marker is entry 0.
    QCOMPARE(f.form->sugestion->text(), QStringLiteral("[END]"));
}

void TestCaptions::blockWithoutUsableCaption_data()
{
    // The text of every caption entry a window's first caption uses (entry 1,
    // and entry 13 for the help window); all the others stay empty.
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("applied");
    QTest::newRow("nothing read") << QString() << false;
    QTest::newRow("blanks") << QStringLiteral(" \t ") << false;
    QTest::newRow("UTF-16 read as bytes") << QString::fromUtf8("\0T\0i\0t\0r\0e", 10) << false;
    QTest::newRow("control characters") << QStringLiteral("\x01\x1b[0m\x7f") << false;
    QTest::newRow("replacement characters") << QStringLiteral("\ufffd\ufffd") << false;
    // A file cut short still gives what it has: the rest is blank.
    QTest::newRow("one usable caption") << QStringLiteral("Titre") << true;
}

void TestCaptions::blockWithoutUsableCaption()
{
    QFETCH(QString, text);
    QFETCH(bool, applied);
    FormFixture design;
    const QStringList designCaptions = formCaptions(*design.form);
    FormFixture f({{QStringLiteral("aide.rtf"), QByteArray("{\\rtf1 Aide}")}});
    f.tables.ConfigTexts[1] = f.tables.Config2Texts[1] = f.tables.WizardTexts[1] = text;
    f.tables.FormTexts[1] = f.tables.FormTexts[13] = text;

    // One rule for every window, each captioned the way the program does it.
    int calls = 0;
    ApplyCaptions(QStringLiteral("Form"), f.tables, targetsFor(f.form.get(), &calls));
    Config config(*f.form, f.form->opticalConfigs);
    Config2 config2(*f.form);
    Wizard wizard(*f.form);
    frmTip tip(f.folder.path(), &f.dialogs, &f.tables);
    tip.Form_Load();

    const QStringList titles{f.form->windowTitle(), config.windowTitle(), config2.windowTitle(),
                             wizard.windowTitle(), tip.windowTitle()};
    if (applied) {
        QCOMPARE(titles, QStringList(5, text));
        QCOMPARE(f.form->DownloadData->text(), QString());
        QCOMPARE(config.cmd4->text(), QString());
        QCOMPARE(config2.cmd1->text(), QString());
        QCOMPARE(wizard.step3->text(), QString());
    } else {
        QCOMPARE(titles, QStringList({"Tesmir Sidelune", "Coefficient optique", "Etalonage classique",
                                      "Assistant d'Sidelune", "Aide"}));
        QCOMPARE(formCaptions(*f.form), designCaptions);
        QCOMPARE(f.form->CheckDecideur->text(), design.form->CheckDecideur->text());
        QCOMPARE(f.form->sugestion->text(), design.form->sugestion->text());
        QCOMPARE(config.cmd4->text(), QStringLiteral("Enregistrer"));
        QCOMPARE(config2.cmd1->text(), QStringLiteral("Calculer"));
        QCOMPARE(wizard.step3->text(), QStringLiteral("Terminer"));
    }
}

void TestCaptions::shippedLanguageFile()
{
    const QString shipped = shippedFilePath();
    QVERIFY2(!shipped.isEmpty(), "resources/lang.cfg not found");
    const QByteArray bytes = readFile(shipped);
    QCOMPARE(bytes.count("\r\n"), 121);
    QVERIFY(bytes.endsWith("[END]\r\n"));

    FormFixture f({{QStringLiteral("lang.cfg"), bytes}});
    const LanguageLoadResult result = LoadLanguage(f.folder.path(), f.tables);
    QVERIFY2(result.ok(), qPrintable(result.problem));

    // Every entry the program uses is filled; the markers sit right after.
    const LanguageTables &t = f.tables;
    for (size_t i = 1; i <= 8; ++i) {
        QVERIFY2(!t.ConfigTexts[i].isEmpty(), qPrintable(QString::number(i)));
        QVERIFY2(!t.Config2Texts[i].isEmpty(), qPrintable(QString::number(i)));
    }
    QCOMPARE(t.ConfigTexts[9], QStringLiteral("[CONFIG2]"));
    QCOMPARE(t.Config2Texts[9], QStringLiteral("[FORM]"));
    QCOMPARE(t.FormTexts[66], QStringLiteral("[WIZARD]"));
    for (size_t i = 1; i <= 19; ++i)
        QVERIFY2(!t.WizardTexts[i].isEmpty(), qPrintable(QString::number(i)));
    QCOMPARE(t.WizardTexts[20], QStringLiteral("[SUGESTIONS]"));
    for (size_t i = 0; i <= 14; ++i)
        QVERIFY2(!t.SuggestionTexts[i].isEmpty(), qPrintable(QString::number(i)));
    QCOMPARE(t.SuggestionTexts[15], QStringLiteral("[END]"));

    // The caption entries carry the design captions, so applying them leaves
    // every caption of the main window as designed, none empty.
    FormFixture design;
    int calls = 0;
    ApplyCaptions(QStringLiteral("Form"), f.tables, targetsFor(f.form.get(), &calls));
    const QStringList captions = formCaptions(*f.form);
    QCOMPARE(captions, formCaptions(*design.form));
    for (const QString &caption : captions)
        QVERIFY(!caption.isEmpty());
    QCOMPARE(f.form->CheckDecideur->text(), design.form->CheckDecideur->text());
    QCOMPARE(f.form->sugestion->text(), design.form->sugestion->text()); // the start-up hint

    for (size_t i = 0; i <= 20; ++i)
        QVERIFY2(!f.tables.MessageTexts[i].isEmpty(), qPrintable(QString::number(i)));
    // The project dialogs' filter is usable.
    QCOMPARE(qtFileFilter(f.tables.MessageTexts[13]), QStringLiteral("Projet (*.pam)"));
    // The parse line follows "497/812" directly: its words need their own blank.
    QVERIFY(f.tables.MessageTexts[19].startsWith(u' '));
}

void TestCaptions::startupWithLanguageFile()
{
    QTemporaryDir folder;
    writeFile(languageFilePath(folder.path()), readFile(shippedFilePath()));
    writeFile(folder.path() + QStringLiteral("/defaut.cfg"), "12\r\n2599.4\r\n2601\r\n30\r\n14\r\n17\r\n5\r\n\r\n0\r\n");
    ScriptedDialogs dialogs;
    Program program({folder.path(), &dialogs, {}});
    Form1 *form = startProgram(program);
    QVERIFY(isUp(form));
    QVERIFY(dialogs.shown.empty());
    QCOMPARE(form->windowTitle(), QStringLiteral("Tesmir Sidelune"));
    QCOMPARE(form->Frm[6]->title(), QStringLiteral("Décideur"));
    QVERIFY(form->sugestion->text().startsWith(QStringLiteral("Utilisez l'assistant")));
    QCOMPARE(program.tables().MessageTexts[0], QStringLiteral("Suivant"));
    // The load handler ran inside the first caption call: the defaults are in.
    QCOMPARE(form->txt_calcul->text(), QStringLiteral("12"));
    QCOMPARE(form->CheckDecideur->checkState(), Qt::Unchecked);
}

void TestCaptions::startupWithoutUsableLanguageFile_data()
{
    QTest::addColumn<QByteArray>("file"); // null: no file
    QTest::addColumn<QString>("problem");
    const QString shipped = QString::fromUtf8(readFile(shippedFilePath()));
    QStringEncoder utf16(QStringEncoder::Utf16LE, QStringEncoder::Flag::WriteBom);
    QByteArray garbage;
    for (int i = 0; i < 1024; ++i)
        garbage += char(i % 256);
    QTest::newRow("missing") << QByteArray() << QStringLiteral("Fichier introuvable");
    QTest::newRow("saved as UTF-16") << QByteArray(utf16(shipped)) << QStringLiteral("[CONFIG2]");
    QTest::newRow("garbage") << garbage << QStringLiteral("[CONFIG2]");
}

void TestCaptions::startupWithoutUsableLanguageFile()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, problem);
    QTemporaryDir folder;
    if (!file.isNull())
        writeFile(languageFilePath(folder.path()), file);
    ScriptedDialogs dialogs;
    Program program({folder.path(), &dialogs, {}});
    Form1 *form = startProgram(program);
    QVERIFY(isUp(form));
    // Said once, in an OK-only box naming the file and the failure; then on.
    QCOMPARE(dialogs.messageCount(), 1);
    QCOMPARE(dialogs.shown[0].style, MsgBoxStyle::OkOnly);
    QVERIFY(dialogs.shown[0].text.contains(languageFilePath(folder.path())));
    QVERIFY(dialogs.shown[0].text.contains(problem));
    // Nothing usable was read: the design captions stay (a window of blank
    // captions could not be used), in the main window and in the dialogs.
    QCOMPARE(form->DownloadData->text(), QStringLiteral("1-Download"));
    QCOMPARE(form->mnu_fichier->title(), QStringLiteral("Fichier"));
    Config config(*form, form->opticalConfigs);
    QCOMPARE(config.cmd4->text(), QStringLiteral("Enregistrer"));
    for (const QString &message : program.tables().MessageTexts)
        QVERIFY(message.isEmpty());
    QCOMPARE(form->txt_mag->text(), QStringLiteral("13"));
}

QTEST_MAIN(TestCaptions)
#include "tst_captions.moc"
