// The splash window in its two roles, and the start routine around it: the
// bar's ticks, the version line, clicks, and the order of start-up.

#include "dialogs/frm_splash.h"
#include "main_window/startup.h"
#include "support/modal_answers.h"
#include "support/test_support.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QProgressBar>
#include <QTimer>
#include <QtTest>

using namespace testing;

class TestSplash : public QObject {
    Q_OBJECT
private slots:
    void design();
    void barTicks_data();
    void barTicks();
    void firstTickShowsTheBar();
    void clickDuringStartUpChangesNothing_data();
    void clickDuringStartUpChangesNothing();
    void aboutBoxClosesOnOneClick();
    void startUpOrder();
    void clickOnTheSplashWhileStarting();
    void toolkitTextsInFrench();
};

namespace {
// Watches the main window during start-up: what the splash showed when the
// window appeared, and whether the splash was gone when it took the focus.
class StartUpWatcher : public QObject {
public:
    explicit StartUpWatcher(Program &program) : program_(program) {}

    int barWhenShown = -1;
    bool splashVisibleWhenShown = false;
    size_t markersWhenShown = 0;
    int focusEvents = 0;
    bool splashPresentAtFocus = false;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        Form1 *form = program_.form1();
        if (form && watched == form) {
            if (event->type() == QEvent::Show && barWhenShown < 0) {
                frmSplash *splash = program_.splash();
                barWhenShown = splash ? splash->Bar->value() : -2;
                splashVisibleWhenShown = splash && splash->isVisible();
                markersWhenShown = form->star.size();
            } else if (event->type() == QEvent::WindowActivate || event->type() == QEvent::FocusIn) {
                ++focusEvents;
                splashPresentAtFocus = splashPresentAtFocus || program_.splash() != nullptr;
            }
        }
        return false;
    }

private:
    Program &program_;
};

void clickOn(QWidget *widget)
{
    QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(200, 200));
}
} // namespace

void TestSplash::design()
{
    frmSplash splash;
    QCOMPARE(splash.size(), QSize(690, 490));
    QVERIFY(splash.windowFlags().testFlag(Qt::FramelessWindowHint));
    QCOMPARE(splash.windowType(), Qt::SplashScreen); // no title bar, not in the task bar
    QCOMPARE(splash.Label1->text(), QStringLiteral("TESMIR Sidelune"));
    QCOMPARE(splash.lblVersion->text(), QStringLiteral("Version 1.2.16"));
    QCOMPARE(programVersionLine(), QStringLiteral("Version 1.2.16"));
    QCOMPARE(splash.BarT->text(), QStringLiteral("LOADING..."));
    QVERIFY(splash.BarT->isHidden());
    QVERIFY(splash.Bar->isHidden());
    QCOMPARE(splash.Bar->maximum(), 100);
    QCOMPARE(splash.Bar->value(), splash.Bar->minimum());
    QVERIFY(!splash.Timer1->isActive());
    QCOMPARE(splash.Timer1->interval(), 1);
    QVERIFY(splash.isAboutBox());
}

void TestSplash::barTicks_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<QList<int>>("values"); // after each tick

    QList<int> fromZero, fromOne;
    for (int v = 4; v <= 96; v += 4)
        fromZero << v;
    fromZero << 100 << 100;
    for (int v = 5; v <= 97; v += 4)
        fromOne << v;
    fromOne << 100 << 100;
    QTest::newRow("from 0: 25 ticks to 100") << 0 << fromZero;
    QTest::newRow("from 1: 25 ticks to 100") << 1 << fromOne;
    QTest::newRow("96 steps to 100") << 96 << QList<int>{100, 100};
    QTest::newRow("97 jumps to 100") << 97 << QList<int>{100};
    QTest::newRow("98 jumps to 100") << 98 << QList<int>{100};
    QTest::newRow("93 steps to 97, then jumps") << 93 << QList<int>{97, 100};
}

void TestSplash::barTicks()
{
    QFETCH(int, start);
    QFETCH(QList<int>, values);
    frmSplash splash;
    splash.Bar->setMinimum(std::min(start, 1));
    splash.Bar->setValue(start);
    for (qsizetype tick = 0; tick < values.size(); ++tick) {
        splash.Timer1_Timer();
        QCOMPARE(splash.Bar->value(), values[tick]);
        // The timer slows down only once the bar is full.
        QCOMPARE(splash.Timer1->interval(), values[tick] == 100 ? 500 : 1);
    }
    if (start <= 1)
        QCOMPARE(values.indexOf(100) + 1, 25);
}

void TestSplash::firstTickShowsTheBar()
{
    frmSplash splash;
    splash.show();
    splash.Timer1->start();
    QTRY_VERIFY(splash.Bar->isVisible());
    QVERIFY(splash.BarT->isVisible());
    QTRY_COMPARE(splash.Bar->value(), 100);
    QVERIFY(splash.Timer1->isActive()); // never disabled: it goes on ticking
    QCOMPARE(splash.Timer1->interval(), 500);
    QVERIFY(!splash.isAboutBox());
}

void TestSplash::clickDuringStartUpChangesNothing_data()
{
    QTest::addColumn<bool>("beforeFirstTick");
    QTest::newRow("before the first tick") << true;
    QTest::newRow("with the bar shown") << false;
}

void TestSplash::clickDuringStartUpChangesNothing()
{
    QFETCH(bool, beforeFirstTick);
    frmSplash splash;
    splash.show();
    splash.Timer1->start();
    if (!beforeFirstTick)
        splash.Timer1_Timer();
    const int value = splash.Bar->value();
    clickOn(&splash);
    QTest::keyClick(&splash, Qt::Key_Escape);
    QVERIFY(splash.isVisible());
    QCOMPARE(splash.result(), 0);
    QCOMPARE(splash.Bar->value(), value);
    QVERIFY(splash.Timer1->isActive());
}

void TestSplash::aboutBoxClosesOnOneClick()
{
    FormFixture f;
    f.form->show();
    QString version;
    bool barHidden = false, timerOff = false, wasModal = false;
    int clicks = 0;
    QPointer<frmSplash> shown;
    ModalAnswers answers;
    answers.then<frmSplash>([&](frmSplash &splash) {
        shown = &splash;
        version = splash.lblVersion->text();
        barHidden = splash.Bar->isHidden() && splash.BarT->isHidden();
        timerOff = !splash.Timer1->isActive();
        wasModal = splash.isModal();
        clickOn(&splash);
        ++clicks;
    });
    f.form->mnu_about->trigger(); // returns once the box is closed
    QVERIFY2(answers.done(), qPrintable(answers.failures()));
    QCOMPARE(clicks, 1);
    QCOMPARE(version, QStringLiteral("Version 1.2.16"));
    QVERIFY(barHidden);
    QVERIFY(timerOff);
    QVERIFY(wasModal);
    QVERIFY(shown.isNull()); // unloaded
    QVERIFY(!QApplication::activeModalWidget());
}

void TestSplash::startUpOrder()
{
    QTemporaryDir folder;
    ScriptedDialogs dialogs;
    Program program({folder.path(), &dialogs, {}});
    StartUpWatcher watcher(program);
    qApp->installEventFilter(&watcher);
    program.Main();
    Form1 *form = program.form1();
    form->endProgram = [] {};
    QTRY_VERIFY(form->isActiveWindow());
    qApp->removeEventFilter(&watcher);

    QVERIFY2(watcher.barWhenShown >= 99, qPrintable(QString::number(watcher.barWhenShown)));
    QVERIFY(watcher.splashVisibleWhenShown);
    QCOMPARE(watcher.markersWhenShown, size_t(1)); // the markers come after the window is shown
    QCOMPARE(form->star.size(), size_t(4001));
    QVERIFY(watcher.focusEvents > 0);
    QVERIFY(!watcher.splashPresentAtFocus);
    QVERIFY(program.splash() == nullptr);
    QVERIFY(form->isVisible());
}

void TestSplash::clickOnTheSplashWhileStarting()
{
    QTemporaryDir folder;
    ScriptedDialogs dialogs;
    Program program({folder.path(), &dialogs, {}});
    int clicks = 0;
    bool stayed = false;
    // Runs inside the start routine's wait, once the bar moves.
    QTimer poll;
    poll.setInterval(0);
    connect(&poll, &QTimer::timeout, [&] {
        frmSplash *splash = program.splash();
        if (!splash || !splash->Bar->isVisible())
            return;
        poll.stop();
        clickOn(splash);
        ++clicks;
        stayed = splash->isVisible() && program.splash() == splash && splash->Timer1->isActive();
    });
    poll.start();
    program.Main();
    program.form1()->endProgram = [] {};
    QCOMPARE(clicks, 1);
    QVERIFY(stayed);
    QVERIFY(program.form1()->isVisible());
    QCOMPARE(program.form1()->star.size(), size_t(4001));
}

void TestSplash::toolkitTextsInFrench()
{
    // Qt's own buttons speak the window's language whatever the system's,
    // while numbers keep the locale's rules.
    ScopedLocale locale(QLocale(QLocale::English, QLocale::UnitedStates));
    QTemporaryDir folder;
    ScriptedDialogs scripted;
    Program program({folder.path(), &scripted, {}});
    program.Main();
    program.form1()->endProgram = [] {};

    QStringList buttons;
    ModalAnswers answers;
    answers.then<QMessageBox>([&buttons](QMessageBox &box) {
        buttons << box.button(QMessageBox::Yes)->text() << box.button(QMessageBox::No)->text();
        box.button(QMessageBox::No)->click();
    });
    QtDialogs real;
    QCOMPARE(real.MsgBox(QStringLiteral("Continuer ?"), MsgBoxStyle::YesNo), MsgBoxResult::No);
    QVERIFY2(answers.done(), qPrintable(answers.failures()));
    QCOMPARE(buttons, (QStringList{QStringLiteral("&Oui"), QStringLiteral("&Non")}));
    QCOMPARE(QLocale().decimalPoint(), QStringLiteral("."));
}

QTEST_MAIN(TestSplash)
#include "tst_splash.moc"
