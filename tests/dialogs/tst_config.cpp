// The optical configuration manager: opening on every kind of file, the
// edits, "Nouveau", "Supprimer", "Enregistrer" and "Utiliser", and the ways
// the window closes.

#include "dialogs/config.h"
#include "localisation/captions.h"
#include "support/layout_checks.h"
#include "support/modal_answers.h"
#include "support/test_support.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

using namespace testing;

class TestConfig : public QObject {
    Q_OBJECT
private slots:
    void opening_data();
    void opening();
    void modes();
    void clicksReachEveryControl();
    void saveAfterOpening_data();
    void saveAfterOpening();
    void saveThreeEntriesWritesTenLines();
    void newEntry();
    void newEntryWhenFull();
    void removal_data();
    void removal();
    void nameEditShownAfterSave();
    void editsWithNothingSelectedGoNowhere();
    void commaKeptInFileFixedInMainWindow();
    void useModeCopiesUnsavedEdits();
    void useWithEmptyBoxesKeepsCoefficients();
    void closeBoxDiscardsEdits();
    void enterThroughTheRealBoxesKeepsADamagedLibrary();
    void enterSavesAndEscDoesNothing();
    void failedSaveKeepsDialogOpen();
    void twoWindowsKeepEachOthersEntries();
    void entriesOutliveTheDialog();
    void captions_data();
    void captions();
};

namespace {
const QString kFile = QStringLiteral("config.cfg");

QByteArray library(const QStringList &flat)
{
    QByteArray bytes = " " + QByteArray::number(flat.size() / 3) + " \r\n";
    for (const QString &line : flat)
        bytes += line.toUtf8() + "\r\n";
    return bytes;
}

QStringList listNames(const Config &dialog)
{
    QStringList names;
    for (int i = 0; i < dialog.List1->count(); ++i)
        names << dialog.List1->item(i)->text();
    return names;
}

QStringList boxes(const Config &dialog)
{
    return {dialog.txt_coor[0]->text(), dialog.txt_coor[1]->text(), dialog.txt_coor[2]->text()};
}

const QStringList kThree{"A", "1", "2", "B", "3", "4", "C", "5", "6"};
} // namespace

void TestConfig::opening_data()
{
    QTest::addColumn<bool>("comma");
    QTest::addColumn<QByteArray>("file"); // null: no file
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<int>("selected");
    QTest::addColumn<int>("boxesShown");
    QTest::newRow("no file") << false << QByteArray() << QStringList{} << -1 << 0;
    QTest::newRow("two with blanks") << false << library({"A", "1", "2", "B", "3", "4"}) << QStringList{"A", "B"}
                                     << 0 << 0;
    QTest::newRow("2 without blanks") << false << QByteArray("2\r\nA\r\n1\r\n2\r\nB\r\n3\r\n4\r\n")
                                      << QStringList{"A", "B"} << 0 << 0;
    QTest::newRow("comma locale") << true << library({"A", "1,5", "2,5"}) << QStringList{"A"} << 0 << 0;
    QTest::newRow("count 0") << false << QByteArray(" 0 \r\n") << QStringList{} << -1 << 0;
    QTest::newRow("negative count") << false << QByteArray("-2 \r\n") << QStringList{} << -1 << 0;
    QTest::newRow("short file") << false << QByteArray(" 3 \r\nA\r\n1\r\n2\r\nB\r\n3\r\n") << QStringList{"A"} << -1
                                << 0;
    QByteArray sixteen(" 16 \r\n");
    QStringList fifteen;
    for (int i = 1; i <= 16; ++i) {
        sixteen += "N" + QByteArray::number(i) + "\r\n1\r\n2\r\n";
        if (i <= 15)
            fifteen << QStringLiteral("N%1").arg(i);
    }
    QTest::newRow("count 16") << false << sixteen << fifteen << -1 << 0;
    QTest::newRow("not a number") << false << QByteArray("trois\r\nA\r\n1\r\n2\r\n") << QStringList{} << -1 << 0;
}

void TestConfig::opening()
{
    QFETCH(bool, comma);
    QFETCH(QByteArray, file);
    QFETCH(QStringList, names);
    QFETCH(int, selected);
    ScopedLocale locale(comma ? commaLocale() : pointLocale());
    FormFixture f;
    if (!file.isNull())
        writeFile(f.path(kFile), file);
    const bool fails = file.isNull() || file.startsWith("trois") || names.size() == 15 || file.startsWith(" 3 ");

    Config dialog(*f.form, f.form->opticalConfigs);
    QCOMPARE(listNames(dialog), names);
    QCOMPARE(dialog.List1->currentRow(), selected);
    // The count always agrees with the list.
    QCOMPARE(int(f.form->opticalConfigs.entries.size()), int(names.size()));
    QCOMPARE(f.dialogs.messageCount(), fails ? 1 : 0);
    if (fails) {
        QCOMPARE(f.dialogs.shown[0].style, MsgBoxStyle::OkOnly);
        QVERIFY2(f.dialogs.messages()[0].startsWith(f.path(kFile) + ": "), qPrintable(f.dialogs.messages()[0]));
    }
    // The list takes the focus as the window opens: that picks no entry.
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    dialog.List1->setFocus(Qt::TabFocusReason);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(dialog.List1));
    QCOMPARE(dialog.List1->currentRow(), selected);
    if (selected == 0)
        QCOMPARE(boxes(dialog).first(), names.first());
    else
        QCOMPARE(boxes(dialog), QStringList({"", "", ""}));
    // With nothing current, "Supprimer" removes nothing.
    dialog.cmd1_Click();
    QCOMPARE(listNames(dialog).size(), selected < 0 ? names.size() : names.size() - 1);
    if (!file.isNull())
        QVERIFY(QFile::remove(f.path(kFile))); // closed on every path
}

void TestConfig::saveAfterOpening_data()
{
    QTest::addColumn<QByteArray>("file"); // null: no file
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("answerYes");
    QTest::addColumn<QByteArray>("after");
    QByteArray sixteen(" 16 \r\n");
    for (int i = 1; i <= 16; ++i)
        sixteen += "N" + QByteArray::number(i) + "\r\n1\r\n2\r\n";
    const QByteArray damaged = "tr0is\r\n" + library(kThree).mid(5);
    const QByteArray shortFile(" 3 \r\nA\r\n1\r\n2\r\nB\r\n3\r\n");
    QTest::newRow("whole file") << library(kThree) << false << false << library(kThree);
    QTest::newRow("no file") << QByteArray() << false << false << QByteArray(" 0 \r\n");
    QTest::newRow("damaged count, Enter") << damaged << true << false << damaged;
    QTest::newRow("damaged count, Yes") << damaged << true << true << QByteArray(" 0 \r\n");
    QTest::newRow("sixteen entries, Enter") << sixteen << true << false << sixteen;
    QTest::newRow("short file, Enter") << shortFile << true << false << shortFile;
}

void TestConfig::saveAfterOpening()
{
    QFETCH(QByteArray, file);
    QFETCH(bool, asked);
    QFETCH(bool, answerYes);
    QFETCH(QByteArray, after);
    FormFixture f;
    if (!file.isNull())
        writeFile(f.path(kFile), file);
    Config dialog(*f.form, f.form->opticalConfigs);
    const int openingBoxes = f.dialogs.messageCount();
    if (answerYes)
        f.dialogs.questionAnswers = {MsgBoxResult::Yes};
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    // Enter presses the default "Enregistrer".
    QTest::keyClick(dialog.List1, Qt::Key_Return);

    QCOMPARE(f.dialogs.messageCount(), openingBoxes + (asked ? 1 : 0));
    if (asked) {
        QCOMPARE(f.dialogs.shown.back().style, MsgBoxStyle::YesNoDefaultNo);
        QCOMPARE(f.dialogs.shown.back().text, Config::partialSaveQuestion(f.path(kFile)));
    }
    const bool saved = !asked || answerYes;
    QCOMPARE(dialog.isVisible(), !saved);
    QCOMPARE(readFile(f.path(kFile)), after);
}

void TestConfig::modes()
{
    FormFixture f({{kFile, library(kThree)}});
    QSize editSize;
    {
        Config edit(*f.form, f.form->opticalConfigs);
        QCOMPARE(edit.mode(), Config::Mode::EditMode);
        QVERIFY(!edit.Frame1->isHidden());
        QVERIFY(edit.cmd3->isHidden());
        QVERIFY(edit.cmd4->isDefault());
        edit.show();
        QVERIFY(QTest::qWaitForWindowExposed(&edit));
        editSize = edit.size();
        const QStringList cut = cutControls(edit);
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(u'\n')));
    }
    f.form->ConfigStatus = 2;
    Config use(*f.form, f.form->opticalConfigs);
    QCOMPARE(use.mode(), Config::Mode::UseMode);
    QVERIFY(use.Frame1->isHidden());
    QVERIFY(!use.cmd3->isHidden());
    QCOMPARE(use.windowTitle(), QStringLiteral("Coefficient optique"));
    // One window, one size: hiding the editing frame moves nothing.
    use.show();
    QVERIFY(QTest::qWaitForWindowExposed(&use));
    QCOMPARE(use.size(), editSize);
    const QStringList cut = cutControls(use);
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join(u'\n')));
}

void TestConfig::clicksReachEveryControl()
{
    // The frame of the editing buttons lies over the boxes' area: a click on
    // a box must still land on the box.
    FormFixture f({{kFile, library(kThree)}});
    Config dialog(*f.form, f.form->opticalConfigs);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    const QList<QWidget *> controls{dialog.List1, dialog.txt_coor[0], dialog.txt_coor[1], dialog.txt_coor[2],
                                    dialog.cmd1, dialog.cmd2, dialog.cmd4};
    for (QWidget *control : controls) {
        const QPoint centre = control->mapTo(&dialog, control->rect().center());
        QWidget *hit = dialog.childAt(centre);
        QVERIFY2(hit == control || control->isAncestorOf(hit), qPrintable(control->metaObject()->className()));
    }
    QTest::mouseClick(dialog.window()->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                      dialog.txt_coor[2]->mapTo(&dialog, dialog.txt_coor[2]->rect().center()));
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(dialog.txt_coor[2]));
}

void TestConfig::saveThreeEntriesWritesTenLines()
{
    FormFixture f;
    Config dialog(*f.form, f.form->opticalConfigs);
    QCOMPARE(f.dialogs.messageCount(), 1); // no file yet
    for (int i = 0; i < 3; ++i)
        dialog.cmd2_Click();
    for (int i = 0; i < 3; ++i) {
        dialog.List1->setCurrentRow(i);
        for (int b = 0; b < 3; ++b)
            dialog.txt_coor[size_t(b)]->setText(kThree[i * 3 + b]);
    }
    dialog.cmd4_Click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    const QByteArray bytes = readFile(f.path(kFile));
    QCOMPARE(bytes, QByteArray(" 3 \r\nA\r\n1\r\n2\r\nB\r\n3\r\n4\r\nC\r\n5\r\n6\r\n"));
    QCOMPARE(bytes.count("\r\n"), 10);
}

void TestConfig::newEntry()
{
    FormFixture f({{kFile, library({"A", "1", "2", "B", "3", "4"})}});
    Config dialog(*f.form, f.form->opticalConfigs);
    dialog.List1->setCurrentRow(1);
    dialog.cmd2_Click();
    QCOMPARE(listNames(dialog), QStringList({"A", "B", "Config#"}));
    QCOMPARE(dialog.List1->currentRow(), 1);
    QCOMPARE(boxes(dialog), QStringList({"B", "3", "4"}));
    QCOMPARE(f.form->opticalConfigs.entries.back(),
             (OpticalConfig{QStringLiteral("Config#"), QStringLiteral("0"), QStringLiteral("0")}));
    QCOMPARE(readFile(f.path(kFile)), library({"A", "1", "2", "B", "3", "4"}));

    // On an empty library nothing becomes current either.
    FormFixture empty;
    Config first(*empty.form, empty.form->opticalConfigs);
    first.cmd2_Click();
    QCOMPARE(listNames(first), QStringList{"Config#"});
    QCOMPARE(first.List1->currentRow(), -1);
    QCOMPARE(boxes(first), QStringList({"", "", ""}));
}

void TestConfig::newEntryWhenFull()
{
    QStringList fifteen;
    for (int i = 1; i <= 15; ++i)
        fifteen << QStringLiteral("N%1").arg(i) << "1" << "2";
    FormFixture f({{kFile, library(fifteen)}});
    Config dialog(*f.form, f.form->opticalConfigs);
    QCOMPARE(dialog.List1->count(), 15);
    dialog.cmd2_Click();
    QCOMPARE(dialog.List1->count(), 15);
    QCOMPARE(int(f.form->opticalConfigs.entries.size()), 15);
    QCOMPARE(f.dialogs.messages(), QStringList{Config::libraryFullText()});
    QCOMPARE(f.dialogs.shown[0].style, MsgBoxStyle::OkOnly);
}

void TestConfig::removal_data()
{
    QTest::addColumn<int>("entries"); // taken from kThree
    QTest::addColumn<int>("row");     // selected before "Supprimer"
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<int>("selected");
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("middle of three") << 3 << 1 << QStringList{"A", "C"} << 1 << QStringList{"C", "5", "6"};
    QTest::newRow("last of three") << 3 << 2 << QStringList{"A", "B"} << 1 << QStringList{"B", "3", "4"};
    QTest::newRow("first of three") << 3 << 0 << QStringList{"B", "C"} << 0 << QStringList{"B", "3", "4"};
    QTest::newRow("only entry") << 1 << 0 << QStringList{} << -1 << QStringList{"", "", ""};
    QTest::newRow("nothing selected") << 3 << -1 << QStringList{"A", "B", "C"} << -1 << QStringList{"", "", ""};
}

void TestConfig::removal()
{
    QFETCH(int, entries);
    QFETCH(int, row);
    QFETCH(QStringList, names);
    QFETCH(int, selected);
    QFETCH(QStringList, shown);
    FormFixture f({{kFile, library(kThree.mid(0, entries * 3))}});
    const QByteArray before = readFile(f.path(kFile));
    Config dialog(*f.form, f.form->opticalConfigs);
    dialog.List1->setCurrentRow(row);
    dialog.cmd1_Click();
    QCOMPARE(listNames(dialog), names);
    QCOMPARE(int(f.form->opticalConfigs.entries.size()), int(names.size()));
    QCOMPARE(dialog.List1->currentRow(), selected);
    QCOMPARE(boxes(dialog), shown);
    QCOMPARE(readFile(f.path(kFile)), before);
    // With nothing current, edits land nowhere; otherwise in the current entry.
    dialog.txt_coor[0]->setText(QStringLiteral("edited"));
    int edited = 0;
    for (const OpticalConfig &entry : f.form->opticalConfigs.entries)
        edited += entry.name == QStringLiteral("edited");
    QCOMPARE(edited, selected < 0 ? 0 : 1);
}

void TestConfig::nameEditShownAfterSave()
{
    FormFixture f({{kFile, library(kThree)}});
    Config dialog(*f.form, f.form->opticalConfigs);
    dialog.List1->setCurrentRow(1);
    dialog.txt_coor[0]->setText(QStringLiteral("Newton 200"));
    QCOMPARE(f.form->opticalConfigs.entries[1].name, QStringLiteral("Newton 200"));
    QCOMPARE(dialog.List1->item(1)->text(), QStringLiteral("B"));
    dialog.cmd4_Click();
    QCOMPARE(dialog.List1->item(1)->text(), QStringLiteral("Newton 200"));
    QCOMPARE(readFile(f.path(kFile)), library({"A", "1", "2", "Newton 200", "3", "4", "C", "5", "6"}));
}

void TestConfig::editsWithNothingSelectedGoNowhere()
{
    FormFixture f({{kFile, library(kThree)}});
    Config dialog(*f.form, f.form->opticalConfigs);
    dialog.List1->setCurrentRow(-1);
    QCOMPARE(boxes(dialog), QStringList({"", "", ""}));
    dialog.txt_coor[1]->setText(QStringLiteral("999"));
    dialog.cmd4_Click();
    QCOMPARE(readFile(f.path(kFile)), library(kThree));
}

void TestConfig::commaKeptInFileFixedInMainWindow()
{
    ScopedLocale locale(commaLocale());
    FormFixture f({{kFile, library(kThree)}});
    {
        Config dialog(*f.form, f.form->opticalConfigs);
        dialog.txt_coor[1]->setText(QStringLiteral("2599,43"));
        dialog.txt_coor[2]->setText(QStringLiteral("2709,9,6"));
        QCOMPARE(dialog.txt_coor[1]->text(), QStringLiteral("2599,43"));
        dialog.cmd4_Click();
    }
    QCOMPARE(readFile(f.path(kFile)), library({"A", "2599,43", "2709,9,6", "B", "3", "4", "C", "5", "6"}));
    f.form->ConfigStatus = 2;
    Config use(*f.form, f.form->opticalConfigs);
    use.cmd3_Click();
    QCOMPARE(f.form->txt_corrasd->text(), QStringLiteral("2599.43"));
    QCOMPARE(f.form->txt_corrdec->text(), QStringLiteral("2709.9.6"));
}

void TestConfig::useModeCopiesUnsavedEdits()
{
    FormFixture f({{kFile, library(kThree)}});
    f.form->txt_url->setText(QStringLiteral("sky.png"));
    f.form->ConfigStatus = 2;
    Config dialog(*f.form, f.form->opticalConfigs);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    dialog.List1->setCurrentRow(2);
    dialog.txt_coor[0]->setText(QStringLiteral("renamed"));
    dialog.txt_coor[2]->setText(QStringLiteral("6.5"));
    // The hidden "Enregistrer" is no default here: Enter saves nothing.
    dialog.txt_coor[2]->setFocus();
    QTest::keyClick(dialog.txt_coor[2], Qt::Key_Return);
    QVERIFY(dialog.isVisible());
    QCOMPARE(readFile(f.path(kFile)), library(kThree));
    dialog.cmd3->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(f.form->txt_corrasd->text(), QStringLiteral("5"));
    QCOMPARE(f.form->txt_corrdec->text(), QStringLiteral("6.5"));
    QCOMPARE(f.form->txt_url->text(), QStringLiteral("sky.png"));
    QCOMPARE(readFile(f.path(kFile)), library(kThree));
}

void TestConfig::useWithEmptyBoxesKeepsCoefficients()
{
    FormFixture f; // no library file: nothing to choose
    f.form->txt_corrasd->setText(QStringLiteral("1854.1"));
    f.form->txt_corrdec->setText(QStringLiteral("2000"));
    f.form->ConfigStatus = 2;
    f.dialogs.shown.clear();
    Config dialog(*f.form, f.form->opticalConfigs);
    dialog.cmd3_Click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(f.form->txt_corrasd->text(), QStringLiteral("1854.1"));
    QCOMPARE(f.form->txt_corrdec->text(), QStringLiteral("2000"));
}

void TestConfig::closeBoxDiscardsEdits()
{
    FormFixture f({{kFile, library(kThree)}});
    ModalAnswers answers;
    answers.then<Config>([](Config &config) {
        config.txt_coor[0]->setText(QStringLiteral("edited"));
        config.cmd2_Click();
        config.close();
    });
    f.form->mnu_config_Click();
    QVERIFY2(answers.done(), qPrintable(answers.failures()));
    QCOMPARE(readFile(f.path(kFile)), library(kThree));
    Config again(*f.form, f.form->opticalConfigs);
    QCOMPARE(listNames(again), QStringList({"A", "B", "C"}));
    QCOMPARE(boxes(again), QStringList({"A", "1", "2"}));
}

void TestConfig::enterThroughTheRealBoxesKeepsADamagedLibrary()
{
    // The real boxes, not the scripted ones (which answer No to any question
    // left unqueued): only the question's own default keeps the entries that
    // were not read.
    const QByteArray damaged = "tr0is\r\n" + library(kThree).mid(5);
    FormFixture f({{kFile, damaged}});
    QtDialogs real;
    f.form->dialogs = &real;
    f.form->show();
    QVERIFY(QTest::qWaitForWindowActive(f.form.get()));

    QString failureBox, question;
    bool stillOpen = false;
    ModalAnswers answers;
    answers.then<QMessageBox>([&](QMessageBox &box) {
        failureBox = box.text();
        pressKey(box, Qt::Key_Return);
    });
    answers.then<Config>([](Config &config) { pressKey(config, Qt::Key_Return); }); // "Enregistrer"
    answers.then<QMessageBox>([&](QMessageBox &box) {
        question = box.text();
        pressKey(box, Qt::Key_Return);
    });
    answers.then<Config>([&](Config &config) {
        stillOpen = config.isVisible();
        config.close();
    });
    f.form->mnu_config->trigger();

    QVERIFY2(answers.done(), qPrintable(answers.failures()));
    QVERIFY2(failureBox.startsWith(f.path(kFile) + ": "), qPrintable(failureBox));
    QCOMPARE(question, Config::partialSaveQuestion(f.path(kFile)));
    QVERIFY(stillOpen);
    QCOMPARE(readFile(f.path(kFile)), damaged);
}

void TestConfig::enterSavesAndEscDoesNothing()
{
    FormFixture f({{kFile, library(kThree)}});
    Config dialog(*f.form, f.form->opticalConfigs);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    dialog.txt_coor[1]->setFocus();
    dialog.txt_coor[1]->setText(QStringLiteral("7"));
    QTest::keyClick(dialog.txt_coor[1], Qt::Key_Escape);
    QVERIFY(dialog.isVisible());
    QTest::keyClick(dialog.txt_coor[1], Qt::Key_Return);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(readFile(f.path(kFile)), library({"A", "7", "2", "B", "3", "4", "C", "5", "6"}));
}

void TestConfig::failedSaveKeepsDialogOpen()
{
    FormFixture f;
    Config dialog(*f.form, f.form->opticalConfigs);
    dialog.cmd2_Click();
    dialog.cmd2_Click();
    dialog.List1->setCurrentRow(1);
    QVERIFY(QDir(f.folder.path()).mkdir(kFile)); // a folder where the file should go
    dialog.show();
    dialog.cmd4_Click();
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(f.dialogs.messageCount(), 2); // no file at opening, then the failed save
    QCOMPARE(f.dialogs.messages().back(), f.path(kFile) + " : Erreur d'accès au chemin/fichier");
    QCOMPARE(listNames(dialog), QStringList({"Config#", "Config#"}));
    QCOMPARE(dialog.List1->currentRow(), -1);
    QCOMPARE(int(f.form->opticalConfigs.entries.size()), 2);

    // Once the way is clear, the same entries save.
    QVERIFY(QDir(f.folder.path()).rmdir(kFile));
    dialog.cmd4_Click();
    QCOMPARE(readFile(f.path(kFile)), library({"Config#", "0", "0", "Config#", "0", "0"}));
}

void TestConfig::twoWindowsKeepEachOthersEntries()
{
    // Two instances of the program on one folder, each with its own window
    // and entries, both opened on the same file.
    FormFixture f({{kFile, library({"A", "1", "2"})}});
    OpticalConfigLibrary otherInstance;
    Config first(*f.form, f.form->opticalConfigs);
    Config second(*f.form, otherInstance);
    second.cmd2_Click();
    second.cmd4_Click();
    const QByteArray savedBySecond = library({"A", "1", "2", "Config#", "0", "0"});
    QCOMPARE(readFile(f.path(kFile)), savedBySecond);

    // The first window's save would write its list over the entry the
    // second saved: it writes nothing, says so and shows the file.
    first.List1->setCurrentRow(0);
    first.txt_coor[1]->setText("7");
    first.cmd4_Click();
    QCOMPARE(readFile(f.path(kFile)), savedBySecond);
    QCOMPARE(f.dialogs.messages(), QStringList{Config::changedElsewhereText(f.path(kFile))});
    QCOMPARE(f.dialogs.shown.back().style, MsgBoxStyle::OkOnly);
    QCOMPARE(first.result(), int(QDialog::Rejected));
    QCOMPARE(listNames(first), QStringList({"A", "Config#"}));
    QCOMPARE(boxes(first), QStringList({"A", "1", "2"}));

    // Its edit made again, it saves over the file it now knows.
    first.txt_coor[1]->setText("7");
    first.cmd4_Click();
    QCOMPARE(readFile(f.path(kFile)), library({"A", "7", "2", "Config#", "0", "0"}));
    QCOMPARE(first.result(), int(QDialog::Accepted));
}

void TestConfig::entriesOutliveTheDialog()
{
    FormFixture f({{kFile, library(kThree)}});
    {
        Config dialog(*f.form, f.form->opticalConfigs);
    }
    QCOMPARE(int(f.form->opticalConfigs.entries.size()), 3);
    QCOMPARE(f.form->opticalConfigs.entries[2].name, QStringLiteral("C"));
}

void TestConfig::captions_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("applied");
    QTest::newRow("Config") << "Config" << true;
    QTest::newRow("other case") << "config" << false;
    QTest::newRow("Config2 block") << "Config2" << false;
    QTest::newRow("Wizard block") << "Wizard" << false;
}

void TestConfig::captions()
{
    QFETCH(QString, key);
    QFETCH(bool, applied);
    FormFixture f;
    Config dialog(*f.form, f.form->opticalConfigs); // empty tables: design captions
    QCOMPARE(dialog.cmd4->text(), QStringLiteral("Enregistrer"));
    for (int i = 1; i <= 8; ++i)
        f.tables.ConfigTexts[size_t(i)] = QStringLiteral("K%1").arg(i);
    giveEveryEntry(f.tables);
    CaptionTargets targets;
    targets.config = &dialog;
    ApplyCaptions(key, f.tables, targets);
    const QStringList expected = applied ? QStringList{"K1", "K2", "K3", "K4", "K5", "K6", "K7", "K8"}
                                         : QStringList{"Coefficient optique", "Configuration optique de l'instrument:",
                                                       "Nom:", "Modification:", "Supprimer", "Nouveau", "Utiliser",
                                                       "Enregistrer"};
    const QStringList shown{dialog.windowTitle(), dialog.lbl[0]->text(), dialog.lbl[1]->text(),
                            dialog.lbl[2]->text(), dialog.cmd1->text(),   dialog.cmd2->text(),
                            dialog.cmd3->text(),   dialog.cmd4->text()};
    QCOMPARE(shown, expected);
    QCOMPARE(dialog.Label4[1]->text(), QStringLiteral("Corr Asd:"));
}

QTEST_MAIN(TestConfig)
#include "tst_config.moc"
