// Star picking: the snap onto the brightest patch, the magnifier, and the
// selection of five stars driven by real mouse events on the image and on the
// magnifier.

#include "astrometry/star_pick.h"
#include "support/pointer.h"
#include "support/test_support.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>
#include <map>

using namespace testing;

class TestPicking : public QObject {
    Q_OBJECT
private slots:
    void snapOnStarField_data();
    void snapOnStarField();
    void snapTies_data();
    void snapTies();
    void outsideCountsMinusOne_data();
    void outsideCountsMinusOne();
    void blueWeighsMost();

    void selectStartsSelection();
    void fivePicks_data();
    void fivePicks();
    void etaloRepeatsItsStep_data();
    void etaloRepeatsItsStep();
    void etaloThirdPickEnds();
    void noPickBeyondTheFifthMark();
    void magnifierShowsTheImage();
    void moveOverMagnifier_data();
    void moveOverMagnifier();
    void moveDispatchOutsidePicking_data();
    void moveDispatchOutsidePicking();
    void clickOutsidePickingPicksNothing();
    void selectWithWrongPath();
    void selectWithWrongPathHints();
};

namespace {

using Points = std::map<std::pair<int, int>, int>;

// A reader over a width x height picture that is 0 but at the given points.
starpick::PixelReader sparseReader(int width, int height, Points points)
{
    return [=](int x, int y) {
        if (x < 0 || y < 0 || x >= width || y >= height)
            return -1;
        const auto it = points.find({x, y});
        return it == points.end() ? 0 : it->second;
    };
}

const std::vector<SyntheticStar> kFiveStars = {
    {60, 50, 200, 1.5}, {300, 70, 180, 1.5}, {150, 200, 220, 1.8}, {340, 250, 160, 1.4}, {90, 270, 200, 1.5},
};

QPoint starCentre(int k)
{
    return QPoint(int(kFiveStars[size_t(k)].x), int(kFiveStars[size_t(k)].y));
}

// A form with a star field saved as "stars.png" in its program folder, shown
// so that real pointer moves reach the widget under them.
struct PickingForm : FormFixture {
    explicit PickingForm(const std::vector<SyntheticStar> &stars = kFiveStars)
    {
        drawStarField(400, 300, stars).save(path(QStringLiteral("stars.png")));
        form->Timer1->stop();
        form->txt_url->setText(QStringLiteral("stars.png"));
        form->show();
        if (!QTest::qWaitForWindowExposed(form.get()))
            qFatal("main window not exposed");
    }

    // The image loaded and the given mode set, with the magnifier standing.
    void enterMode(PickMode mode)
    {
        form->Loadimg_Click();
        form->pickMode = mode;
        form->zoom->show();
    }

    void moveTo(QPoint pixel) { movePointerTo(*form, pixel); }
    void clickAt(QPoint pixel) { QVERIFY(testing::clickAt(*form, pixel)); }
};

} // namespace

void TestPicking::snapOnStarField_data()
{
    QTest::addColumn<QPoint>("pointer");
    QTest::addColumn<QPoint>("expected");
    QTest::addColumn<bool>("snapped");
    // Stars at (60, 50) bright and (68, 50) brighter.
    QTest::newRow("2 px left of a star") << QPoint(58, 50) << QPoint(60, 50) << true;
    QTest::newRow("2 px left and down") << QPoint(58, 52) << QPoint(60, 50) << true;
    QTest::newRow("3 px off on both axes") << QPoint(57, 53) << QPoint(60, 50) << true;
    // A star centre 4 px from the pointer is not a candidate: the pick stops
    // at the last candidate towards it.
    QTest::newRow("brighter star 4 px right") << QPoint(64, 50) << QPoint(67, 50) << true;
    QTest::newRow("brighter star 4 px up") << QPoint(68, 54) << QPoint(68, 51) << true;
    QTest::newRow("brighter star 4 px left") << QPoint(72, 50) << QPoint(69, 50) << true;
    QTest::newRow("on the brighter star") << QPoint(67, 51) << QPoint(68, 50) << true;
}

void TestPicking::snapOnStarField()
{
    QFETCH(QPoint, pointer);
    QFETCH(QPoint, expected);
    QFETCH(bool, snapped);
    ImageBox box;
    box.setPicture(drawStarField(200, 120, {{60, 50, 120, 1.5}, {68, 50, 250, 1.5}}, 0));
    const starpick::Pick pick =
        starpick::snapToStar(pointer.x(), pointer.y(), [&](int x, int y) { return box.Point(x, y); });
    QCOMPARE(QPoint(pick.x, pick.y), expected);
    QCOMPARE(pick.snapped, snapped);
}

void TestPicking::snapTies_data()
{
    QTest::addColumn<Points>("points");
    QTest::addColumn<QPoint>("expected");
    // Pointer at (50, 50): a point at (44, 56) lies only in the patch of the
    // candidate (47, 53), one at (56, 44) only in that of (53, 47), and so on.
    QTest::newRow("smaller x wins before smaller y") << Points{{{44, 56}, 100}, {{56, 44}, 100}} << QPoint(47, 53);
    QTest::newRow("same x: smaller y wins") << Points{{{44, 56}, 100}, {{44, 44}, 100}} << QPoint(47, 47);
    QTest::newRow("one point seen by every candidate") << Points{{{50, 50}, 7}} << QPoint(47, 47);
    QTest::newRow("a larger score wins whatever its place") << Points{{{44, 44}, 100}, {{56, 56}, 101}}
                                                            << QPoint(53, 53);
    // Nothing above 0 round the pointer: the pointer stays where it was.
    QTest::newRow("black area") << Points{} << QPoint(50, 50);
    QTest::newRow("light 4 px beyond every patch") << Points{{{40, 50}, 100}} << QPoint(50, 50);
}

void TestPicking::snapTies()
{
    QFETCH(Points, points);
    QFETCH(QPoint, expected);
    const starpick::Pick pick = starpick::snapToStar(50, 50, sparseReader(100, 100, points));
    QCOMPARE(QPoint(pick.x, pick.y), expected);
}

void TestPicking::outsideCountsMinusOne_data()
{
    QTest::addColumn<QPoint>("centre");
    QTest::addColumn<double>("expected");
    // A 10 x 10 picture with value 1 everywhere.
    QTest::newRow("inside") << QPoint(5, 5) << 49.0;
    QTest::newRow("one column out") << QPoint(2, 5) << 49.0 - 2 * 7;
    QTest::newRow("corner: 24 pixels out") << QPoint(1, 1) << 25.0 - 24;
    QTest::newRow("far off the picture") << QPoint(-20, 40) << -49.0;
}

void TestPicking::outsideCountsMinusOne()
{
    QFETCH(QPoint, centre);
    QFETCH(double, expected);
    const auto ones = [](int x, int y) { return (x < 0 || y < 0 || x >= 10 || y >= 10) ? -1 : 1; };
    QCOMPARE(starpick::patchScore(ones, centre.x(), centre.y()), expected);

    // Near the edge the -1s decide: a faint star on the edge column is taken
    // by the first candidate whose patch holds no outside pixel.
    const starpick::Pick pick = starpick::snapToStar(2, 5, sparseReader(10, 10, {{{0, 5}, 30}}));
    QCOMPARE(QPoint(pick.x, pick.y), QPoint(3, 3));
}

void TestPicking::blueWeighsMost()
{
    // A full red pixel 6 px left of the pointer and a faint blue one 6 px right.
    QImage image(100, 100, QImage::Format_RGB32);
    image.fill(Qt::black);
    image.setPixel(44, 50, qRgb(255, 0, 0));
    image.setPixel(56, 50, qRgb(0, 0, 1));
    image.setPixel(50, 40, qRgb(0, 255, 0)); // green 255 = 65280 < blue 1 = 65536
    ImageBox box;
    box.setPicture(image);
    QCOMPARE(box.Point(56, 50), 65536);
    const starpick::Pick pick = starpick::snapToStar(50, 50, [&](int x, int y) { return box.Point(x, y); });
    QCOMPARE(QPoint(pick.x, pick.y), QPoint(53, 47));
    QCOMPARE(pick.score, 65536.0);
}

void TestPicking::selectStartsSelection()
{
    PickingForm f;
    Form1 &form = *f.form;
    form.clickCount = 3;
    for (int k = 1; k <= 5; ++k)
        form.clicpic[size_t(k)] = {10, 10, 16, true};
    form.Picture1->move(-40, -30);

    form.SelectStar_Click();
    QVERIFY(form.imageLoaded);
    QCOMPARE(form.pickMode, PickMode::Select);
    QCOMPARE(form.clickCount, 0);
    for (int k = 1; k <= 5; ++k)
        QVERIFY(!form.clicpic[size_t(k)].Visible);
    QVERIFY(form.zoom->isVisible());
    QCOMPARE(form.Picture1->pos(), QPoint(0, 0));
    QCOMPARE(form.Picture1->size(), QSize(400, 300));
    QVERIFY(f.dialogs.shown.empty());
}

void TestPicking::fivePicks_data()
{
    QTest::addColumn<int>("wizardStatus");
    QTest::addColumn<bool>("throughMagnifier");
    QTest::newRow("by hand, clicks on the image") << 0 << false;
    QTest::newRow("by hand, clicks on the magnifier") << 0 << true;
    QTest::newRow("after the wizard") << 1 << true;
}

void TestPicking::fivePicks()
{
    QFETCH(int, wizardStatus);
    QFETCH(bool, throughMagnifier);
    PickingForm f;
    Form1 &form = *f.form;
    form.WizardStatus = wizardStatus;
    form.SelectStar_Click();

    const QPoint offsets[5] = {{2, 0}, {-2, 1}, {0, -3}, {3, 3}, {-1, 2}};
    for (int k = 0; k < 5; ++k) {
        const QPoint star = starCentre(k);
        const QPoint pointer = star + offsets[k];
        if (throughMagnifier) {
            f.moveTo(pointer + QPoint(20, 0)); // the magnifier comes under the pointer,
            f.moveTo(pointer);                 // so this move arrives at the magnifier
            QCOMPARE(form.zoom->pos(), pointer - QPoint(50, 50));
            f.clickAt(pointer);
        } else {
            form.Picture1_MouseMove(Qt::NoButton, {}, float(pointer.x()), float(pointer.y()));
            QTest::mouseClick(form.Picture1, Qt::LeftButton, {}, pointer);
        }
        if (QTest::currentTestFailed())
            return;
        const int n = k + 1;
        QCOMPARE(form.clickCount, n);
        QCOMPARE(QPoint(int(form.selX[size_t(n)]), int(form.selY[size_t(n)])), star);
        QCOMPARE(QPoint(form.mouseX, form.mouseY), star);
        QCOMPARE(form.Etalo[0]->text(), QString::number(star.x()));
        QCOMPARE(form.Etalo[1]->text(), QString::number(star.y()));
        const Mark &mark = form.clicpic[size_t(n)];
        QVERIFY(mark.Visible);
        QCOMPARE(QPointF(mark.Left, mark.Top), QPointF(star - QPoint(8, 8)));
        QCOMPARE(form.zoom->isVisible(), n < 5);
        QCOMPARE(form.pickMode, n < 5 ? PickMode::Select : PickMode::Zero);
        QCOMPARE(form.selectionDone, n == 5);
    }
    QCOMPARE(form.WizardStatus, 0);
}

void TestPicking::etaloRepeatsItsStep_data()
{
    QTest::addColumn<int>("step");
    QTest::newRow("step 1") << 1;
    QTest::newRow("step 2") << 2;
}

void TestPicking::etaloRepeatsItsStep()
{
    QFETCH(int, step);
    PickingForm f;
    Form1 &form = *f.form;
    f.enterMode(PickMode::Etalo);
    form.etaloStep = step;
    form.clickCount = 4;

    // Three clicks, each near another star; only the last one stays.
    for (int k = 0; k < 3; ++k) {
        const QPoint star = starCentre(k);
        f.moveTo(star + QPoint(1, -2));
        if (k == 0)
            f.moveTo(star + QPoint(2, -2)); // now over the magnifier
        f.clickAt(star + QPoint(2, -2));
    }
    const QPoint last = starCentre(2);
    QCOMPARE(form.clickCount, step);
    QCOMPARE(form.pickMode, PickMode::Etalo);
    QCOMPARE(QPoint(int(form.selX[size_t(step)]), int(form.selY[size_t(step)])), last);
    QCOMPARE(form.Etalo[0]->text(), QString::number(last.x()));
    QCOMPARE(form.Etalo[1]->text(), QString::number(last.y()));
    for (int k = 1; k <= 5; ++k)
        QCOMPARE(form.clicpic[size_t(k)].Visible, k == step);
    QCOMPARE(QPointF(form.clicpic[size_t(step)].Left, form.clicpic[size_t(step)].Top),
             QPointF(last - QPoint(8, 8)));
    QVERIFY(!form.selectionDone);
}

void TestPicking::etaloThirdPickEnds()
{
    PickingForm f;
    Form1 &form = *f.form;
    f.enterMode(PickMode::Etalo);
    form.etaloStep = 3;
    const QPoint star = starCentre(1);
    f.moveTo(star + QPoint(-2, 2));
    f.clickAt(star + QPoint(-2, 2));
    QCOMPARE(form.pickMode, PickMode::Done);
    QCOMPARE(form.clickCount, 3);
    QVERIFY(form.clicpic[3].Visible);
    QCOMPARE(form.Etalo[0]->text(), QString::number(star.x()));

    // The image no longer picks; the magnifier, while it stands, still does.
    QVERIFY(form.zoom->isVisible());
    f.clickAt(QPoint(form.mouseX, form.mouseY));
    QCOMPARE(form.clickCount, 4);
    QVERIFY(form.clicpic[4].Visible);
    const QPoint elsewhere = starCentre(3);
    f.moveTo(elsewhere);
    QVERIFY(!form.zoom->isVisible());
    f.clickAt(elsewhere);
    QCOMPARE(form.clickCount, 4);
    QVERIFY(!form.clicpic[5].Visible);
}

void TestPicking::noPickBeyondTheFifthMark()
{
    // A magnifier left standing after five marks: a further click changes nothing.
    PickingForm f;
    Form1 &form = *f.form;
    f.enterMode(PickMode::Done);
    form.clickCount = 5;
    form.mouseX = 58;
    form.mouseY = 50;
    form.zoom_Click();
    QCOMPARE(form.clickCount, 5);
    QCOMPARE(QPoint(form.mouseX, form.mouseY), QPoint(58, 50));
    QCOMPARE(form.Etalo[0]->text(), QString());
    QCOMPARE(form.pickMode, PickMode::Done);
}

void TestPicking::magnifierShowsTheImage()
{
    // A colour gradient, so each source pixel is recognisable.
    QImage image(60, 40, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb(4 * x, 6 * y, 100));
    FormFixture f;
    Form1 &form = *f.form;
    image.save(f.path(QStringLiteral("g.png")));
    form.txt_url->setText(QStringLiteral("g.png"));
    form.Loadimg_Click();
    form.zoom->show();
    form.mouseX = 5;
    form.mouseY = 30;
    form.dozoom();
    QCOMPARE(form.zoom->pos(), QPoint(-45, -20));

    const QImage shown = form.zoom->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(shown.size(), QSize(102, 102));
    // Source pixel (mouseX + i, mouseY + j) is the dot round (4i + 50, 4j + 50).
    auto dot = [&](int i, int j) { return shown.pixel(4 * i + 50 - 1, 4 * j + 50 - 1); };
    QCOMPARE(dot(3, -4), image.pixel(8, 26));
    QCOMPARE(dot(-5, 5), image.pixel(0, 35));
    QCOMPARE(dot(12, 9), image.pixel(17, 39));
    // Outside the picture: black.
    QCOMPARE(dot(-6, 0), qRgb(0, 0, 0));
    QCOMPARE(dot(4, 10), qRgb(0, 0, 0));
    // The yellow cross-hair lies over the dots.
    QCOMPARE(shown.pixel(50, 30), qRgb(255, 255, 0));
    QCOMPARE(shown.pixel(70, 50), qRgb(255, 255, 0));
}

void TestPicking::moveOverMagnifier_data()
{
    QTest::addColumn<QPointF>("at"); // in the magnifier's pixels
    QTest::addColumn<QPoint>("mouse");
    // The magnifier lies at (70, 60) for a pointer at (120, 110).
    QTest::newRow("its centre") << QPointF(50, 50) << QPoint(120, 110);
    QTest::newRow("halves to even") << QPointF(50.5, 51.5) << QPoint(120, 112);
    QTest::newRow("halves to even, odd side") << QPointF(51.5, 52.5) << QPoint(122, 112);
    QTest::newRow("a corner") << QPointF(0, 101) << QPoint(70, 161);
}

void TestPicking::moveOverMagnifier()
{
    QFETCH(QPointF, at);
    QFETCH(QPoint, mouse);
    PickingForm f;
    Form1 &form = *f.form;
    f.enterMode(PickMode::Zero); // the magnifier follows whatever the mode
    form.mouseX = 120;
    form.mouseY = 110;
    form.dozoom();
    const QImage before = form.zoom->grab().toImage();

    QMouseEvent move(QEvent::MouseMove, at, form.zoom->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(form.zoom, &move);
    QCOMPARE(QPoint(form.mouseX, form.mouseY), mouse);
    QCOMPARE(form.zoom->pos(), mouse - QPoint(50, 50));
    if (mouse == QPoint(120, 110))
        QCOMPARE(form.zoom->grab().toImage(), before);
}

void TestPicking::moveDispatchOutsidePicking_data()
{
    QTest::addColumn<PickMode>("mode");
    QTest::addColumn<QString>("map");
    QTest::addColumn<bool>("zoomShown");
    QTest::addColumn<bool>("zoomMoved");
    QTest::newRow("select") << PickMode::Select << QString() << true << true;
    QTest::newRow("etalo") << PickMode::Etalo << QStringLiteral("done") << true << true;
    QTest::newRow("idle before an overlay") << PickMode::Empty << QString() << false << false;
    QTest::newRow("0 before an overlay") << PickMode::Zero << QStringLiteral("loading") << false << false;
    QTest::newRow("done before an overlay") << PickMode::Done << QString() << false << false;
    QTest::newRow("coor before an overlay") << PickMode::Coor << QString() << false << false;
    QTest::newRow("after an overlay") << PickMode::Zero << QStringLiteral("done") << true << false;
    QTest::newRow("superetalo") << PickMode::SuperEtalo << QString() << true << false;
}

void TestPicking::moveDispatchOutsidePicking()
{
    QFETCH(PickMode, mode);
    QFETCH(QString, map);
    QFETCH(bool, zoomShown);
    QFETCH(bool, zoomMoved);
    PickingForm f;
    Form1 &form = *f.form;
    form.Loadimg_Click();
    form.zoom->move(0, 0);
    form.zoom->show();
    form.pickMode = mode;
    form.mapState = map;
    f.moveTo(QPoint(250, 200));
    QCOMPARE(QPoint(form.mouseX, form.mouseY), QPoint(250, 200));
    QCOMPARE(form.zoom->isVisible(), zoomShown);
    QCOMPARE(form.zoom->pos(), zoomMoved ? QPoint(200, 150) : QPoint(0, 0));
    QCOMPARE(form.pickMode, mode);

    // The image box rounds half to even too.
    form.Picture1_MouseMove(Qt::NoButton, {}, 10.5f, 11.5f);
    QCOMPARE(QPoint(form.mouseX, form.mouseY), QPoint(10, 12));
}

void TestPicking::clickOutsidePickingPicksNothing()
{
    PickingForm f;
    Form1 &form = *f.form;
    form.Loadimg_Click();
    form.pickMode = PickMode::Zero;
    f.moveTo(QPoint(58, 50));
    QTest::mouseClick(form.Picture1, Qt::LeftButton, {}, QPoint(58, 50));
    QCOMPARE(form.clickCount, 0);
    QCOMPARE(QPoint(form.mouseX, form.mouseY), QPoint(58, 50));
    QVERIFY(!form.clicpic[1].Visible);
}

void TestPicking::selectWithWrongPath()
{
    PickingForm f;
    Form1 &form = *f.form;
    form.SelectStar_Click();
    form.Picture1->move(-20, -10);
    form.pickMode = PickMode::Coor;
    form.clickCount = 2;
    form.clicpic[1].Visible = true;
    form.clicpic[2].Visible = true;
    form.zoom->hide();

    form.txt_url->setText(QStringLiteral("missing.png"));
    form.SelectStar_Click();
    QCOMPARE(f.dialogs.messageCount(), 1);
    QVERIFY2(f.dialogs.messages().front().startsWith(QStringLiteral("missing.png: ")),
             qPrintable(f.dialogs.messages().front()));
    QVERIFY(!form.imageLoaded);
    QCOMPARE(form.pickMode, PickMode::Coor);
    QCOMPARE(form.clickCount, 2);
    QVERIFY(form.clicpic[1].Visible && form.clicpic[2].Visible);
    QVERIFY(!form.zoom->isVisible());
    QCOMPARE(form.Picture1->pos(), QPoint(-20, -10));
    QCOMPARE(form.Picture1->size(), QSize(400, 300));
}

void TestPicking::selectWithWrongPathHints()
{
    FormFixture f;
    Form1 &form = *f.form;
    for (int k = 0; k < int(f.tables.SuggestionTexts.size()); ++k)
        f.tables.SuggestionTexts[size_t(k)] = QStringLiteral("hint %1").arg(k);
    drawStarField(50, 50, {}).save(f.path(QStringLiteral("ok.png")));
    form.txt_url->setText(QStringLiteral("ok.png"));
    form.SelectStar_Click();
    QCOMPARE(form.sugestion->text(), QStringLiteral("hint 10"));
    form.txt_url->setText(QStringLiteral("nope.png"));
    form.SelectStar_Click();
    QCOMPARE(form.sugestion->text(), QStringLiteral("hint 11"));
}

QTEST_MAIN(TestPicking)
#include "tst_picking.moc"
