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
    void languageFileCutShort_data();
    void languageFileCutShort();
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
    giveEveryEntry(t);
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

// The captions every window shows, each window's list in the order of its
// entries (from entry 1; the hint label's is entry 0 of the hints).
struct ShownCaptions {
    QStringList form, config, config2, wizard, tip, hint;
};

// Captions the main window as start-up does and opens each dialog and the
// help window, which take their captions as they load.
ShownCaptions captionsShown(FormFixture &f)
{
    int calls = 0;
    ApplyCaptions(QStringLiteral("Form"), f.tables, targetsFor(f.form.get(), &calls));
    Config config(*f.form, f.form->opticalConfigs);
    Config2 config2(*f.form);
    Wizard wizard(*f.form);
    frmTip tip(f.folder.path(), &f.dialogs, &f.tables);
    tip.Form_Load();

    ShownCaptions shown;
    shown.form = formCaptions(*f.form);
    shown.config << config.windowTitle();
    for (const QLabel *label : config.lbl)
        shown.config << label->text();
    shown.config << config.cmd1->text() << config.cmd2->text() << config.cmd3->text() << config.cmd4->text();
    shown.config2 << config2.windowTitle();
    for (const QLabel *label : config2.lbl)
        shown.config2 << label->text();
    shown.config2 << config2.cmd1->text();
    shown.wizard << wizard.windowTitle();
    for (const QLabel *label : wizard.lbl)
        shown.wizard << label->text();
    shown.wizard << wizard.step1->text() << wizard.step3->text(); // step2 has step1's entry
    if (wizard.step2->text() != wizard.step1->text())
        shown.wizard << QStringLiteral("step2: ") + wizard.step2->text();
    if (f.form->CheckDecideur->text() != f.form->Frm[6]->title())
        shown.form << QStringLiteral("CheckDecideur: ") + f.form->CheckDecideur->text();
    shown.tip << tip.windowTitle();
    shown.hint << f.form->sugestion->text();
    return shown;
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
    QTest::newRow("zero-width spaces and byte order marks") << QStringLiteral("\u200b\ufeff\u200b") << false;
    QTest::newRow("format characters and blanks")
        << QStringLiteral(" \u00ad\u200e\u2060 \U000E0001") << false;
    QTest::newRow("a letter among invisible characters") << QStringLiteral("\ufeffA\u200b") << true;
    // One usable caption is enough; the other entries are given empty lines.
    QTest::newRow("one usable caption") << QStringLiteral("Titre") << true;
}

void TestCaptions::blockWithoutUsableCaption()
{
    QFETCH(QString, text);
    QFETCH(bool, applied);
    const QByteArray help("{\\rtf1 Aide}");
    FormFixture design({{QStringLiteral("aide.rtf"), help}});
    const ShownCaptions designCaptions = captionsShown(design);
    FormFixture f({{QStringLiteral("aide.rtf"), help}});
    f.tables.ConfigTexts[1] = f.tables.Config2Texts[1] = f.tables.WizardTexts[1] = text;
    f.tables.FormTexts[1] = f.tables.FormTexts[13] = text;
    giveEveryEntry(f.tables); // the other lines are empty ones

    // One rule for every window, each captioned the way the program does it.
    const ShownCaptions shown = captionsShown(f);
    const QStringList titles{shown.form[0], shown.config[0], shown.config2[0], shown.wizard[0], shown.tip[0]};
    if (applied) {
        QCOMPARE(titles, QStringList(5, text));
        QCOMPARE(shown.form[14], QString());       // DownloadData
        QCOMPARE(shown.config.last(), QString());  // cmd4
        QCOMPARE(shown.config2.last(), QString()); // cmd1
        QCOMPARE(shown.wizard.last(), QString());  // step3
    } else {
        QCOMPARE(titles, QStringList({"Tesmir Sidelune", "Coefficient optique", "Etalonage classique",
                                      "Assistant d'Sidelune", "Aide"}));
        QCOMPARE(shown.form, designCaptions.form);
        QCOMPARE(shown.hint, designCaptions.hint);
        QCOMPARE(shown.config, designCaptions.config);
        QCOMPARE(shown.config2, designCaptions.config2);
        QCOMPARE(shown.wizard, designCaptions.wizard);
        QCOMPARE(shown.config.last(), QStringLiteral("Enregistrer"));
        QCOMPARE(shown.config2.last(), QStringLiteral("Calculer"));
        QCOMPARE(shown.wizard.last(), QStringLiteral("Terminer"));
    }
}

void TestCaptions::languageFileCutShort_data()
{
    // The shipped file, its content lines marked so that a caption taken from
    // the file shows apart from the design caption it carries, kept up to
    // `lines` lines; `emptyLine` (0 for none) is made an empty line.
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("emptyLine");
    QTest::newRow("whole file") << 121 << 0;
    QTest::newRow("first 25 lines, in the main window's block") << 25 << 0;
    QTest::newRow("first 25 lines, the wizard menu item empty") << 25 << 22;
    QTest::newRow("in the optical configuration block, a label empty") << 5 << 3;
    QTest::newRow("in the classic calibration block") << 14 << 0;
    QTest::newRow("in the message entries") << 70 << 0;
    QTest::newRow("in the wizard block") << 95 << 0;
    QTest::newRow("in the hints") << 110 << 0;
}

void TestCaptions::languageFileCutShort()
{
    QFETCH(int, lines);
    QFETCH(int, emptyLine);
    QStringList file = QString::fromUtf8(readFile(shippedFilePath())).split(QStringLiteral("\r\n"));
    file.removeLast(); // after the last line end
    QCOMPARE(file.size(), 121);
    for (qsizetype i = 1; i < file.size(); ++i)
        if (!std::any_of(std::begin(kLanguageMarkers), std::end(kLanguageMarkers),
                         [&](const char *marker) { return file[i] == QLatin1StringView(marker); }))
            file[i].prepend(u'~');
    if (emptyLine > 0)
        file[emptyLine - 1].clear();
    const QByteArray help("{\\rtf1 Aide}");
    FormFixture design({{QStringLiteral("aide.rtf"), help}});
    const ShownCaptions designCaptions = captionsShown(design);

    const QByteArray kept = (file.mid(0, lines).join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8();
    FormFixture f({{QStringLiteral("aide.rtf"), help}, {QStringLiteral("lang.cfg"), kept}});
    const LanguageLoadResult result = LoadLanguage(f.folder.path(), f.tables);
    QCOMPARE(result.ok(), lines == 121);
    const ShownCaptions shown = captionsShown(f);

    // Caption k of a list is the entry on line firstLine + k of the file:
    // that line's text when the file reached it, else the design caption.
    auto expected = [&](const QStringList &designList, int firstLine) {
        QStringList out;
        for (qsizetype k = 0; k < designList.size(); ++k) {
            const int line = firstLine + int(k);
            out << (line > lines ? designList[k] : file[line - 1]);
        }
        return out;
    };
    QCOMPARE(shown.config, expected(designCaptions.config, 2));
    QCOMPARE(shown.config2, expected(designCaptions.config2, 11));
    QCOMPARE(shown.form, expected(designCaptions.form, 20));
    QCOMPARE(shown.tip, expected(designCaptions.tip, 32)); // the help command's entry
    QCOMPARE(shown.wizard, expected(designCaptions.wizard, 86));
    QCOMPARE(shown.hint, expected(designCaptions.hint, 106));
    // The messages exist only in the file: those never reached stay empty.
    for (int i = 0; i <= 20; ++i)
        QCOMPARE(f.tables.MessageTexts[size_t(i)].isEmpty(), 64 + i > lines);
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
    // Cut inside the main window's block: its first six captions only.
    QTest::newRow("first 25 lines") << shipped.section(QStringLiteral("\r\n"), 0, 24).toUtf8() + "\r\n"
                                    << QStringLiteral("[WIZARD]");
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
    // No caption that the file did not give is blanked (a window of blank
    // captions could not be used): the design captions stay, in the main
    // window and in the dialogs.
    QCOMPARE(form->DownloadData->text(), QStringLiteral("1-Download"));
    QCOMPARE(form->mnu_fichier->title(), QStringLiteral("Fichier"));
    QCOMPARE(form->mnu_option->title(), QStringLiteral("Option"));
    QCOMPARE(form->Frm[1]->title(), QStringLiteral("Catalogue d'étoile"));
    QCOMPARE(form->lbl[0]->text(), QStringLiteral("RA:"));
    Config config(*form, form->opticalConfigs);
    QCOMPARE(config.cmd4->text(), QStringLiteral("Enregistrer"));
    for (const QString &message : program.tables().MessageTexts)
        QVERIFY(message.isEmpty());
    QCOMPARE(form->txt_mag->text(), QStringLiteral("13"));
}

QTEST_MAIN(TestCaptions)
#include "tst_captions.moc"
