// The help window opened by "Aide" (F1): the manual of the program's folder,
// a missing or broken manual, how it closes, one window however often it is
// asked for, and its caption from the language tables.

#include "dialogs/frm_tip.h"
#include "localisation/captions.h"
#include "platform/rtf_reader.h"
#include "support/test_support.h"

#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QtTest>

#include <optional>

using namespace testing;

class TestHelpWindow : public QObject {
    Q_OBJECT
private slots:
    void showsTheManual();
    void unreadableManual_data();
    void unreadableManual();
    void closingKeys_data();
    void closingKeys();
    void helpTwiceIsOneWindow();
    void reopeningReadsTheManualAgain();
    void captionKey_data();
    void captionKey();
    void captionWithoutLanguageFile();
    void shippedManual();
};

namespace {
const QByteArray kManual("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 {\\b Sidelune}\\par Le ciel \\'e9toil\\'e9.\\par}");

QByteArray longManual(const QByteArray &firstWords)
{
    QByteArray rtf("{\\rtf1 " + firstWords + "\\par ");
    for (int i = 0; i < 400; ++i)
        rtf += "Ligne " + QByteArray::number(i) + "\\par ";
    return rtf + "}";
}

// Opens help as the menu does; the window it shows.
frmTip *openHelp(FormFixture &f)
{
    f.form->mnu_help->trigger();
    return f.form->helpWindow;
}

void processDeletions()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
} // namespace

void TestHelpWindow::showsTheManual()
{
    FormFixture f({{QStringLiteral("aide.rtf"), kManual}});
    f.tables.FormTexts[13] = QStringLiteral("Aide de Sidelune");
    giveEveryEntry(f.tables);
    f.form->show();
    frmTip *tip = openHelp(f);
    QVERIFY(tip);
    QVERIFY(tip->isVisible());
    QVERIFY(!tip->isModal()); // the main window stays usable
    QVERIFY(!QApplication::activeModalWidget());
    QVERIFY(f.dialogs.shown.empty());
    QCOMPARE(tip->textbox->toPlainText(), QStringLiteral("Sidelune\nLe ciel étoilé.\n"));
    QVERIFY(tip->textbox->isReadOnly());
    QCOMPARE(tip->windowTitle(), QStringLiteral("Aide de Sidelune")); // after the document
    QCOMPARE(tip->helpFilePath(), f.folder.path() + QStringLiteral("/aide.rtf"));
    QVERIFY(tip->cmdOK->isDefault());
    QCOMPARE(tip->cmdOK->text(), QStringLiteral("OK"));
    QVERIFY(tip->windowFlags().testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(!tip->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!tip->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
}

void TestHelpWindow::unreadableManual_data()
{
    QTest::addColumn<bool>("present");
    QTest::addColumn<QByteArray>("content"); // with present false, "pipe": a named pipe in its place
    QTest::addColumn<QString>("message");
    QTest::newRow("missing") << false << QByteArray() << QStringLiteral("Fichier introuvable");
    QTest::newRow("not RTF") << true << QByteArray("Aide en texte simple")
                             << QStringLiteral("Format de fichier non valide");
    // Opening a named pipe would freeze the program until a writer came.
    QTest::newRow("a named pipe") << false << QByteArray("pipe") << QStringLiteral("Fichier introuvable");
}

void TestHelpWindow::unreadableManual()
{
    QFETCH(bool, present);
    QFETCH(QByteArray, content);
    QFETCH(QString, message);
    std::vector<std::pair<QString, QByteArray>> files;
    if (present)
        files.emplace_back(QStringLiteral("aide.rtf"), content);
    FormFixture f(files);
    std::optional<UnwrittenPipe> pipe;
    if (!present && content == "pipe")
        QVERIFY(pipe.emplace(f.path(QStringLiteral("aide.rtf"))).created());
    f.tables.FormTexts[13] = QStringLiteral("never used");
    giveEveryEntry(f.tables);
    QPointer<frmTip> tip = openHelp(f);

    QVERIFY(!pipe || !pipe->released());
    QCOMPARE(f.dialogs.messages(), QStringList{message});
    QCOMPARE(f.dialogs.shown[0].style, MsgBoxStyle::OkOnly);
    QVERIFY(f.dialogs.shown[0].title.isEmpty());
    QVERIFY(tip && tip->isVisible());
    QVERIFY(tip->textbox->document()->isEmpty());
    // The load ended at the failure: the caption was not taken.
    QCOMPARE(tip->windowTitle(), QStringLiteral("Aide"));

    QTest::mouseClick(tip->cmdOK, Qt::LeftButton);
    processDeletions();
    QVERIFY(tip.isNull());
    QCOMPARE(f.dialogs.messageCount(), 1);
}

void TestHelpWindow::closingKeys_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("Enter") << int(Qt::Key_Return);
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter);
    QTest::newRow("Esc") << int(Qt::Key_Escape);
}

void TestHelpWindow::closingKeys()
{
    QFETCH(int, key);
    FormFixture f({{QStringLiteral("aide.rtf"), kManual}});
    QPointer<frmTip> tip = openHelp(f);
    tip->textbox->setFocus();
    // The reader holds the focus; the key must still reach the window's button.
    QTest::keyClick(tip->textbox->viewport(), Qt::Key(key));
    processDeletions();
    QVERIFY(tip.isNull());
    QVERIFY(f.form->helpWindow.isNull());
}

void TestHelpWindow::helpTwiceIsOneWindow()
{
    FormFixture f({{QStringLiteral("aide.rtf"), longManual("Premier")}});
    f.form->show();
    frmTip *tip = openHelp(f);
    QScrollBar *scroll = tip->textbox->verticalScrollBar();
    QTRY_VERIFY(scroll->maximum() > 0);
    scroll->setValue(scroll->maximum() / 2);
    const int position = scroll->value();

    writeFile(f.path(QStringLiteral("aide.rtf")), longManual("Second"));
    QCOMPARE(openHelp(f), tip);
    QCOMPARE(f.form->findChildren<frmTip *>().size(), 1);
    QCOMPARE(scroll->value(), position);
    QVERIFY(tip->textbox->toPlainText().startsWith(QStringLiteral("Premier"))); // not read again
    QVERIFY(tip->isVisible());
    QVERIFY(f.dialogs.shown.empty());
}

void TestHelpWindow::reopeningReadsTheManualAgain()
{
    FormFixture f({{QStringLiteral("aide.rtf"), longManual("Premier")}});
    QPointer<frmTip> first = openHelp(f);
    first->close();
    processDeletions();
    QVERIFY(first.isNull());

    writeFile(f.path(QStringLiteral("aide.rtf")), longManual("Second"));
    frmTip *second = openHelp(f);
    QVERIFY(second);
    QVERIFY(second->textbox->toPlainText().startsWith(QStringLiteral("Second")));
    QCOMPARE(second->textbox->verticalScrollBar()->value(), 0);
}

void TestHelpWindow::captionKey_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("caption");
    QTest::newRow("aide") << "aide" << "F13";
    QTest::newRow("Aide") << "Aide" << "design";
    QTest::newRow("Form") << "Form" << "design"; // no main window to caption either
    QTest::newRow("Config") << "Config" << "design";
}

void TestHelpWindow::captionKey()
{
    QFETCH(QString, key);
    QFETCH(QString, caption);
    QTemporaryDir folder;
    LanguageTables tables;
    for (size_t i = 1; i < tables.FormTexts.size(); ++i)
        tables.FormTexts[i] = QStringLiteral("F%1").arg(i);
    giveEveryEntry(tables);
    frmTip tip(folder.path(), nullptr, &tables);
    tip.setWindowTitle(QStringLiteral("design"));
    CaptionTargets targets;
    targets.tip = &tip;
    ApplyCaptions(key, tables, targets);
    QCOMPARE(tip.windowTitle(), caption);
    for (const QString &message : tables.MessageTexts)
        QVERIFY(message.isEmpty());
}

void TestHelpWindow::captionWithoutLanguageFile()
{
    // Not a line of the language file could be read: the help window keeps
    // its own caption, as the main window and the other dialogs do.
    FormFixture f({{QStringLiteral("aide.rtf"), kManual}});
    frmTip *tip = openHelp(f);
    QVERIFY(tip);
    QVERIFY(f.dialogs.shown.empty());
    QCOMPARE(tip->textbox->toPlainText(), QStringLiteral("Sidelune\nLe ciel étoilé.\n"));
    QCOMPARE(tip->windowTitle(), QStringLiteral("Aide"));
}

void TestHelpWindow::shippedManual()
{
    const QString path = QFINDTESTDATA("../../resources/aide.rtf");
    QVERIFY2(!path.isEmpty(), "resources/aide.rtf not found");
    QTextDocument document;
    loadRtfFile(path, document);
    const QString text = document.toPlainText();
    QVERIFY(text.startsWith(QStringLiteral("Sidelune\n")));
    // Accents written as \'hh in the document's code page come out right.
    for (const QString &heading : {QStringLiteral("Ce que fait Sidelune"), QStringLiteral("Le déroulement d'un travail"),
                                   QStringLiteral("Les étalonnages"), QStringLiteral("Les fichiers")})
        QVERIFY2(text.contains(heading), qPrintable(heading));
    QVERIFY(!text.contains(u'\\'));
    QVERIFY(!text.contains(u'{'));
    QVERIFY(!text.contains(QChar(QChar::ReplacementCharacter)));
    const QTextCursor title = document.find(QStringLiteral("Sidelune"));
    QVERIFY(title.charFormat().fontWeight() >= QFont::Bold);
    QCOMPARE(int(title.block().blockFormat().alignment() & Qt::AlignHorizontal_Mask), int(Qt::AlignHCenter));
}

QTEST_MAIN(TestHelpWindow)
#include "tst_help_window.moc"
