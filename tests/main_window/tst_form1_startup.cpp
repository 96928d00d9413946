// The main window at start-up: design defaults, the defaults file, markers,
// the status list, the ways to end the program, the design size, and the
// captions of every window shown as typed.

#include "dialogs/config.h"
#include "dialogs/config2.h"
#include "dialogs/frm_splash.h"
#include "dialogs/frm_tip.h"
#include "dialogs/wizard.h"
#include "localisation/captions.h"
#include "localisation/language_file.h"
#include "main_window/startup.h"
#include "platform/check_value.h"
#include "support/layout_checks.h"
#include "support/modal_answers.h"
#include "support/test_support.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>
#include <QWindow>
#include <QtTest>

using namespace testing;

class TestForm1Startup : public QObject {
    Q_OBJECT
private slots:
    void designDefaults();
    void defaultsFile_data();
    void defaultsFile();
    void defaultsFileIsClosed();
    void decisionBoxClicks_data();
    void decisionBoxClicks();
    void markersAfterStartup();
    void logStatusOrder();
    void endingTheProgram();
    void menusAndShortcuts();
    void shortcutsFromATextBox_data();
    void shortcutsFromATextBox();
    void designSize_data();
    void designSize();
    void infoLineKeepsItsPlace_data();
    void infoLineKeepsItsPlace();
    void longStatusLineReadWhole();
    void captionsArePlainText_data();
    void captionsArePlainText();
    void realMessageBoxes_data();
    void realMessageBoxes();
};

namespace {
struct Fields {
    QString calcul, corrasd, corrdec, distance, mag, mag2, tolerance, url;
    Qt::CheckState check;
};

Fields fieldsOf(const Form1 &form)
{
    return {form.txt_calcul->text(), form.txt_corrasd->text(), form.txt_corrdec->text(),
            form.txt_distance->text(), form.txt_mag->text(),   form.txt_mag2->text(),
            form.txt_tolerance->text(), form.txt_url->text(),  form.CheckDecideur->checkState()};
}

// A text box claims some keys before any shortcut sees them: under X11's key
// scheme Ctrl+E (end of line), under the offscreen platform's none of the
// menu's. Claiming every key makes the box the worst case of any scheme.
class ClaimsEveryKey : public QObject {
protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::ShortcutOverride)
            event->accept();
        return false;
    }
};
} // namespace

void TestForm1Startup::designDefaults()
{
    FormFixture f;
    Form1 &form = *f.form;
    const Fields v = fieldsOf(form);
    QCOMPARE(v.calcul, QStringLiteral("10"));
    QCOMPARE(v.corrasd, QString());
    QCOMPARE(v.corrdec, QString());
    QCOMPARE(v.distance, QStringLiteral("20"));
    QCOMPARE(v.mag, QStringLiteral("13"));
    QCOMPARE(v.mag2, QStringLiteral("16"));
    QCOMPARE(v.tolerance, QStringLiteral("7"));
    QCOMPARE(v.url, QString());
    QCOMPARE(v.check, Qt::Checked);
    QVERIFY(form.CheckDecideur->isTristate());
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(form.txt_ra[i]->text(), QString());
        QCOMPARE(form.txt_dec[i]->text(), QString());
        QCOMPARE(form.txt_ra[i]->maxLength(), 2);
        QCOMPARE(form.txt_dec[i]->maxLength(), 2);
    }
    QCOMPARE(form.txt_dec_sign_show[0]->text(), QStringLiteral("+"));
    QCOMPARE(form.txt_dec_sign_show[1]->text(), QStringLiteral("+"));
    QVERIFY(form.txt_dec_sign[1]->isChecked());
    QVERIFY(!form.txt_dec_sign[0]->isChecked());
    QVERIFY(form.txt_dec_sign[3]->isChecked());
    QCOMPARE(form.txt_epoch->text(), QStringLiteral("2000.0"));
    QVERIFY(!form.txt_epoch->isEnabled());
    QVERIFY(form.Frm[4]->isHidden());
    QVERIFY(form.zoom->isHidden());
    QVERIFY(!form.centerpic.Visible);
    QCOMPARE(form.pickMode, PickMode::Empty);
    QCOMPARE(form.mapState, QString());
    QVERIFY(!form.imageLoaded && !form.selectionDone && !form.solutionValid);
    QCOMPARE(form.Timer1->interval(), 50);
    QVERIFY(form.mainHwnd != 0);
    QVERIFY(!form.Picture1->hasPicture()); // the image path is not loaded at start-up
    QCOMPARE(form.windowTitle(), QStringLiteral("Tesmir Sidelune"));
    QCOMPARE(form.DownloadData->text(), QStringLiteral("1-Download"));
    QCOMPARE(form.Frm[1]->title(), QStringLiteral("Catalogue d'étoile"));
    QCOMPARE(form.lbl[14]->text(),
             QStringLiteral("Veuillez selectioner une étoile puis fournir ses coordonnées ci-dessous:"));
}

void TestForm1Startup::defaultsFile_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("expected"); // calcul..url, then the check state
    QTest::newRow("complete") << QByteArray("12\r\n2599.4\r\n2601\r\n30\r\n14\r\n17\r\n5\r\nsky.jpg\r\n0\r\n")
                              << QStringList{"12", "2599.4", "2601", "30", "14", "17", "5", "sky.jpg", "0"};
    QTest::newRow("greyed") << QByteArray("1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n2\r\n")
                            << QStringList{"1", "2", "3", "4", "5", "6", "7", "8", "2"};
    QTest::newRow("five lines") << QByteArray("12\r\n1\r\n2\r\n30\r\n14\r\n")
                                << QStringList{"12", "1", "2", "30", "14", "16", "7", "", "1"};
    QTest::newRow("letters on line 9") << QByteArray("1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\nabc\r\n")
                                       << QStringList{"1", "2", "3", "4", "5", "6", "7", "8", "1"};
    QTest::newRow("3 on line 9") << QByteArray("1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n3\r\n")
                                 << QStringList{"1", "2", "3", "4", "5", "6", "7", "8", "1"};
    QTest::newRow("comma coefficients") << QByteArray("10\r\n2599,43\r\n1,5,2\r\n")
                                        << QStringList{"10", "2599.43", "1.5.2", "20", "13", "16", "7", "", "1"};
    QTest::newRow("lf line ends") << QByteArray("9\n8\n7\n6\n5\n4\n3\nimg.png\n1\n")
                                  << QStringList{"9", "8", "7", "6", "5", "4", "3", "img.png", "1"};
    QTest::newRow("empty file") << QByteArray() << QStringList{"10", "", "", "20", "13", "16", "7", "", "1"};
    QTest::newRow("binary noise") << QByteArray("\x00\xff\xfe\x01\r\n\x80", 7)
                                  << QStringList{};
}

void TestForm1Startup::defaultsFile()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, expected);
    FormFixture f({{QStringLiteral("defaut.cfg"), file}});
    const Fields v = fieldsOf(*f.form);
    if (expected.isEmpty())
        return; // only: nothing crashed
    QCOMPARE(QStringList({v.calcul, v.corrasd, v.corrdec, v.distance, v.mag, v.mag2, v.tolerance, v.url,
                          QString::number(checkValueOf(v.check))}),
             expected);
}

void TestForm1Startup::defaultsFileIsClosed()
{
    FormFixture f({{QStringLiteral("defaut.cfg"), QByteArray("1\r\n2\r\n")}});
    QFile file(f.path(QStringLiteral("defaut.cfg")));
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(QFile::remove(f.path(QStringLiteral("defaut.cfg"))));
}

void TestForm1Startup::decisionBoxClicks_data()
{
    QTest::addColumn<int>("start"); // as the files store it
    QTest::addColumn<int>("clicks");
    QTest::addColumn<int>("expected");
    QTest::newRow("ticked, one click") << 1 << 1 << 0;
    QTest::newRow("ticked, two clicks") << 1 << 2 << 1;
    QTest::newRow("ticked, three clicks") << 1 << 3 << 0;
    QTest::newRow("cleared, one click") << 0 << 1 << 1;
    QTest::newRow("greyed by a file, one click") << 2 << 1 << 1;
    QTest::newRow("greyed by a file, three clicks") << 2 << 3 << 1;
}

void TestForm1Startup::decisionBoxClicks()
{
    // The greyed state comes only from a file: the user's clicks tick and
    // clear the box, never grey it.
    QFETCH(int, start);
    QFETCH(int, clicks);
    QFETCH(int, expected);
    FormFixture f;
    f.form->CheckDecideur->setCheckState(checkStateOf(start));
    for (int i = 0; i < clicks; ++i)
        f.form->CheckDecideur->click();
    QCOMPARE(checkValueOf(f.form->CheckDecideur->checkState()), expected);
}

void TestForm1Startup::markersAfterStartup()
{
    FormFixture f({}, false);
    QCOMPARE(int(f.form->star.size()), 1);
    QCOMPARE(int(f.form->clicpic.size()), 1);
    f.form->createMarkers();
    QCOMPARE(int(f.form->star.size()), 4001);
    QCOMPARE(int(f.form->clicpic.size()), 6);
    for (const Mark &m : f.form->star) {
        QVERIFY(!m.Visible);
        QCOMPARE(m.Height, 8.0f);
    }
    for (const Mark &m : f.form->clicpic) {
        QVERIFY(!m.Visible);
        QCOMPARE(m.Height, 16.0f);
    }
    QCOMPARE(f.form->centerpic.Height, 17.0f);
}

void TestForm1Startup::logStatusOrder()
{
    FormFixture f;
    f.form->LogStatus(QStringLiteral("a"));
    f.form->LogStatus(QStringLiteral("b"));
    f.form->LogStatus(QStringLiteral("c"));
    QCOMPARE(f.form->status->count(), 3);
    QCOMPARE(f.form->status->item(0)->text(), QStringLiteral("c"));
    QCOMPARE(f.form->status->item(1)->text(), QStringLiteral("b"));
    QCOMPARE(f.form->status->item(2)->text(), QStringLiteral("a"));
    QVERIFY(f.form->status->selectedItems().isEmpty());
}

void TestForm1Startup::endingTheProgram()
{
    FormFixture f;
    int ends = 0;
    f.form->endProgram = [&] { ++ends; };
    f.form->pickMode = PickMode::Etalo;
    f.form->txt_mag->setText(QStringLiteral("unsaved"));
    f.form->mnu_quit->trigger();
    QCOMPARE(ends, 1);
    f.form->show();
    f.form->close();
    QCOMPARE(ends, 2);
    QVERIFY(f.dialogs.shown.empty()); // no question asked
}

void TestForm1Startup::menusAndShortcuts()
{
    FormFixture f;
    Form1 &form = *f.form;
    QCOMPARE(form.mnu_wizard->shortcut(), QKeySequence(Qt::Key_F2));
    QCOMPARE(form.mnu_open->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
    QCOMPARE(form.mnu_save->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_E));
    QCOMPARE(form.mnu_savedefaut->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
    QCOMPARE(form.mnu_help->shortcut(), QKeySequence(Qt::Key_F1));
    QCOMPARE(form.mnu_fichier->actions().size(), 7);
    QVERIFY(form.mnu_fichier->actions()[3]->isSeparator());
    QCOMPARE(form.mnu_option->actions()[2]->text(), QStringLiteral("Etalonage classique"));
    QCOMPARE(form.mnu_option->actions()[3]->text(), QStringLiteral("Etalonage par image"));
    QCOMPARE(form.mnu_aide->title(), QStringLiteral("&?"));
}

void TestForm1Startup::shortcutsFromATextBox_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("positionBox"); // a two-character position box, else the image path
    QTest::addColumn<QString>("item");     // the menu item run; empty: the box keeps the keys
    QTest::newRow("Ctrl+E, the box's end of line") << int(Qt::Key_E) << int(Qt::ControlModifier) << false
                                                   << QStringLiteral("Enregistrer Projet");
    QTest::newRow("Ctrl+E in a position box") << int(Qt::Key_E) << int(Qt::ControlModifier) << true
                                              << QStringLiteral("Enregistrer Projet");
    QTest::newRow("Ctrl+O") << int(Qt::Key_O) << int(Qt::ControlModifier) << false << QStringLiteral("Ouvrir Projet");
    QTest::newRow("Ctrl+S") << int(Qt::Key_S) << int(Qt::ControlModifier) << false << QStringLiteral("Save defaut");
    QTest::newRow("F2") << int(Qt::Key_F2) << int(Qt::NoModifier) << false << QStringLiteral("Assistant");
    QTest::newRow("F1") << int(Qt::Key_F1) << int(Qt::NoModifier) << false << QStringLiteral("Aide");
    QTest::newRow("Ctrl+A stays the box's") << int(Qt::Key_A) << int(Qt::ControlModifier) << false << QString();
}

void TestForm1Startup::shortcutsFromATextBox()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(bool, positionBox);
    QFETCH(QString, item);
    FormFixture f;
    Form1 &form = *f.form;
    // Only which item runs is looked at here, not what it then does.
    QStringList ran;
    for (QAction *action : {form.mnu_wizard, form.mnu_open, form.mnu_save, form.mnu_savedefaut, form.mnu_help}) {
        action->disconnect(&form);
        connect(action, &QAction::triggered, [&ran, action] { ran << action->text(); });
    }
    QLineEdit *box = positionBox ? form.txt_ra[0] : form.txt_url;
    ClaimsEveryKey claims;
    box->installEventFilter(&claims);
    box->setText(QStringLiteral("12"));
    box->setCursorPosition(0);
    form.show();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    box->setFocus();
    QTRY_VERIFY(box->hasFocus());

    QTest::keyClick(box, Qt::Key(key), Qt::KeyboardModifiers(modifiers));

    QCOMPARE(box->text(), QStringLiteral("12"));
    if (item.isEmpty()) {
        QVERIFY(ran.isEmpty());
        QCOMPARE(box->selectedText(), QStringLiteral("12"));
    } else {
        QCOMPARE(ran, QStringList{item});
        QCOMPARE(box->cursorPosition(), 0);
    }
}

void TestForm1Startup::designSize_data()
{
    QTest::addColumn<bool>("shippedCaptions");
    QTest::newRow("design captions") << false;
    QTest::newRow("language file") << true;
}

void TestForm1Startup::designSize()
{
    QFETCH(bool, shippedCaptions);
    FormFixture f(shippedLanguageFile(shippedCaptions));
    Form1 &form = *f.form;
    if (shippedCaptions) {
        QVERIFY(LoadLanguage(f.folder.path(), f.tables).ok());
        CaptionTargets targets;
        targets.form = [&] { return &form; };
        ApplyCaptions(QStringLiteral("Form"), f.tables, targets);
        QCOMPARE(form.lbl[14]->text(), f.tables.FormTexts[40]);
    }
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    // The client area below the menu bar, centred on the screen at that size.
    QCOMPARE(form.centralWidget()->geometry().top(), form.menuBar()->geometry().bottom() + 1);
    QCOMPARE(form.centralWidget()->size(), QSize(1257, 631));
    // Centred to within the window's frame, which is only known once shown.
    const QPoint offCentre = form.geometry().center() - form.screen()->availableGeometry().center();
    const QMargins frame = form.windowHandle()->frameMargins();
    QVERIFY2(std::abs(offCentre.x()) <= std::max(frame.left(), frame.right())
                 && std::abs(offCentre.y()) <= std::max(frame.top(), frame.bottom()),
             qPrintable(QStringLiteral("%1, %2").arg(offCentre.x()).arg(offCentre.y())));
    const QStringList cut = cutControls(form);
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join(u'\n')));
    // The log shows a useful number of lines at the design size.
    form.LogStatus(QStringLiteral("a"));
    QVERIFY2(form.status->viewport()->height() >= 7 * form.status->sizeHintForRow(0),
             qPrintable(QString::number(form.status->viewport()->height())));
}

void TestForm1Startup::infoLineKeepsItsPlace_data()
{
    QTest::addColumn<QString>("caption");
    QTest::newRow("hover caption") << QStringLiteral("U0975_01234567 - Mag=13.4 1h34m50.1234s  22\u00b001'11.5678''");
    QTest::newRow("long words") << QStringLiteral("U0975_01234567 - Mag=13.4 ").repeated(8);
    QTest::newRow("one long word") << QString(300, u'W');
    QTest::newRow("line break") << QStringLiteral("first\nsecond\nthird");
}

void TestForm1Startup::infoLineKeepsItsPlace()
{
    QFETCH(QString, caption);
    FormFixture f;
    Form1 &form = *f.form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const QSize window = form.size();
    const QRect list = form.status->geometry();
    const QRect line = form.info->geometry();
    form.info->setText(caption);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    QCOMPARE(form.size(), window);
    QCOMPARE(form.status->geometry(), list);
    QCOMPARE(form.info->geometry(), line);
}

void TestForm1Startup::longStatusLineReadWhole()
{
    FormFixture f;
    Form1 &form = *f.form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.LogStatus(QStringLiteral("Clic: 1h34m50.1234s 22\u00b001'11.5678'' ").repeated(4));
    QScrollBar *bar = form.status->horizontalScrollBar();
    QVERIFY(QTest::qWaitFor([&] { return bar->maximum() > 0; }));
    bar->setValue(bar->maximum());
    const QRect item = form.status->visualItemRect(form.status->item(0));
    QVERIFY2(item.right() < form.status->viewport()->width(),
             qPrintable(QStringLiteral("%1 of %2").arg(item.right()).arg(form.status->viewport()->width())));
}

void TestForm1Startup::captionsArePlainText_data()
{
    QTest::addColumn<QString>("window");
    for (const char *name : {"Form1", "Wizard", "Config", "Config2", "frmSplash", "frmTip"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void TestForm1Startup::captionsArePlainText()
{
    // A caption from the language file or a star identifier such as "<b>"
    // shows as typed.
    QFETCH(QString, window);
    FormFixture f;
    Form1 &form = *f.form;
    std::unique_ptr<QWidget> other;
    if (window == "Wizard")
        other = std::make_unique<Wizard>(form);
    else if (window == "Config")
        other = std::make_unique<Config>(form, form.opticalConfigs);
    else if (window == "Config2")
        other = std::make_unique<Config2>(form);
    else if (window == "frmSplash")
        other = std::make_unique<frmSplash>();
    else if (window == "frmTip")
        other = std::make_unique<frmTip>(f.folder.path(), &f.dialogs, &f.tables);
    QWidget &shown = other ? *other : static_cast<QWidget &>(form);
    const QList<QLabel *> labels = shown.findChildren<QLabel *>();
    QVERIFY(!labels.isEmpty());
    const QString typed = QStringLiteral("<b>x</b>");
    for (QLabel *label : labels) {
        label->setText(typed);
        QVERIFY2(label->textFormat() == Qt::PlainText, qPrintable(label->objectName()));
        // The marks take their room on screen: they are shown, not obeyed.
        QVERIFY(label->sizeHint().width() >= label->fontMetrics().horizontalAdvance(typed));
    }
}

void TestForm1Startup::realMessageBoxes_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<int>("enterGives");
    QTest::newRow("result") << int(MsgBoxStyle::OkOnly) << int(MsgBoxResult::Ok);
    QTest::newRow("warning") << int(MsgBoxStyle::OkOnlyWarning) << int(MsgBoxResult::Ok);
    QTest::newRow("question") << int(MsgBoxStyle::YesNo) << int(MsgBoxResult::Yes);
    QTest::newRow("question whose safe answer is No") << int(MsgBoxStyle::YesNoDefaultNo) << int(MsgBoxResult::No);
}

void TestForm1Startup::realMessageBoxes()
{
    QFETCH(int, style);
    QFETCH(int, enterGives);
    // A failure's text shows as typed, and Enter gives the box's default.
    const QString text = QStringLiteral("<b>Fichier introuvable</b> : <i>c:\\ciel.png</i>");
    QString shownText;
    Qt::TextFormat format = Qt::AutoText;
    ModalAnswers answers;
    answers.then<QMessageBox>([&](QMessageBox &box) {
        shownText = box.text();
        format = box.textFormat();
        pressKey(box, Qt::Key_Return);
    });
    QtDialogs dialogs;
    const MsgBoxResult answer = dialogs.MsgBox(text, MsgBoxStyle(style));
    QVERIFY2(answers.done(), qPrintable(answers.failures()));
    QCOMPARE(int(answer), enterGives);
    QCOMPARE(shownText, text);
    QCOMPARE(format, Qt::PlainText);
}

QTEST_MAIN(TestForm1Startup)
#include "tst_form1_startup.moc"
