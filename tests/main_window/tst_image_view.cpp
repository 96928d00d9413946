// Loading the image into the image box and panning it inside the viewport.

#include "main_window/panning.h"
#include "platform/failure.h"
#include "support/test_support.h"

#include <QApplication>
#include <QDir>
#include <QImageReader>
#include <QImageWriter>
#include <QLineEdit>
#include <QPushButton>
#include <QtEndian>
#include <QtTest>

using namespace testing;

class TestImageView : public QObject {
    Q_OBJECT
private slots:
    void loadPlacesImage_data();
    void loadPlacesImage();
    void loadFailureKeepsOldPicture_data();
    void loadFailureKeepsOldPicture();
    void namedPipeRefusedByEveryLoad_data();
    void namedPipeRefusedByEveryLoad();

    void panStepOrder_data();
    void panStepOrder();
    void smallImageNeverPans();
    void stepIsNotClamped();
    void tickOnlyWhenActiveOrButtonHeld_data();
    void tickOnlyWhenActiveOrButtonHeld();
    void panBarsSetDirection();
    void arrowKeyPansFromTextField();
};

Q_DECLARE_METATYPE(HeldArrowKeys)

namespace {

HeldArrowKeys keys(const char *which)
{
    const QByteArray w(which);
    HeldArrowKeys k;
    k.left = w.contains('L');
    k.up = w.contains('U');
    k.right = w.contains('R');
    k.down = w.contains('D');
    return k;
}

// A shown main window whose image box holds a picture of the given size.
struct ViewForm : FormFixture {
    explicit ViewForm(QSize imageSize)
    {
        drawStarField(imageSize.width(), imageSize.height(), {{20, 20, 200, 1.5}})
            .save(path(QStringLiteral("sky.png")));
        form->Timer1->stop(); // ticks are made by hand
        form->txt_url->setText(QStringLiteral("sky.png"));
        form->show();
        if (!QTest::qWaitForWindowExposed(form.get()))
            qFatal("main window not exposed");
        form->Loadimg_Click();
    }
    QSize viewport() const { return form->PicOrange->size(); }
};

// A PNG signature, an RGB header of the given size, the start of its data and
// the end chunk: what a reader sees of a forged picture before it decodes.
QByteArray pngHeaderOnly(quint32 width, quint32 height)
{
    const auto crc32 = [](const QByteArray &bytes) {
        quint32 crc = 0xFFFFFFFFu;
        for (const char c : bytes) {
            crc ^= quint8(c);
            for (int bit = 0; bit < 8; ++bit)
                crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
        return ~crc;
    };
    const auto bigEndian = [](quint32 v) {
        QByteArray b(4, '\0');
        qToBigEndian(v, b.data());
        return b;
    };
    const auto chunk = [&](const char *type, const QByteArray &data) {
        const QByteArray typed = QByteArray(type) + data;
        return bigEndian(quint32(data.size())) + typed + bigEndian(crc32(typed));
    };
    QByteArray header = bigEndian(width) + bigEndian(height);
    header += QByteArray("\x08\x02\x00\x00\x00", 5); // 8 bits, RGB, deflate, no interlace
    const QByteArray firstRow = qCompress(QByteArray(1, '\0')).mid(4); // zlib stream, without Qt's length
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + chunk("IHDR", header) + chunk("IDAT", firstRow)
        + chunk("IEND", {});
}

PanInput active(const HeldArrowKeys &k = {})
{
    PanInput input;
    input.mainWindowActive = true;
    input.keys = k;
    return input;
}

} // namespace

void TestImageView::loadPlacesImage_data()
{
    QTest::addColumn<bool>("absolute");
    QTest::addColumn<QString>("name"); // its suffix chooses the format written
    QTest::addColumn<QSize>("size");
    QTest::newRow("relative to the program's folder") << false << QStringLiteral("near.png") << QSize(321, 123);
    QTest::newRow("absolute path") << true << QStringLiteral("far.png") << QSize(321, 123);
    QTest::newRow("TIFF frame, as camera software writes") << false << QStringLiteral("frame.tif") << QSize(321, 123);
    // 140 MB once decoded at 32 bits, past Qt's default limit of 128 MB.
    QTest::newRow("7000 x 5000 CCD frame") << false << QStringLiteral("big.png") << QSize(7000, 5000);
}

void TestImageView::loadPlacesImage()
{
    QFETCH(bool, absolute);
    QFETCH(QString, name);
    QFETCH(QSize, size);
    FormFixture f;
    Form1 &form = *f.form;
    QTemporaryDir elsewhere;
    const QString file = absolute ? elsewhere.path() + QLatin1Char('/') + name : f.path(name);
    QImageWriter writer(file);
    if (size.width() * size.height() > 1000000) {
        // A uniform frame with one bright pixel: small on disk, drawn cheaply.
        QImage frame(size, QImage::Format_RGB888);
        frame.fill(qRgb(8, 8, 8));
        frame.setPixel(30, 40, qRgb(208, 208, 208));
        QVERIFY2(writer.write(frame), qPrintable(writer.errorString()));
        QImageReader probe(file);
        QCOMPARE(QImage::toPixelFormat(probe.imageFormat()).bitsPerPixel(), 32u);
    } else {
        QVERIFY2(writer.write(drawStarField(size.width(), size.height(), {{30, 40, 200, 1.5}})),
                 qPrintable(writer.errorString()));
    }
    form.txt_url->setText(absolute ? file : name);

    form.Picture1->move(-30, -40);
    form.clicpic[2] = {12.5f, 20, 16, true};
    form.star[7] = {100, 50, 8, true};
    form.zoom->move(5, 6);

    form.Loadimg_Click();
    QVERIFY2(f.dialogs.shown.empty(), qPrintable(f.dialogs.messages().join("|")));
    QVERIFY(form.imageLoaded);
    QCOMPARE(form.Picture1->size(), size);
    QCOMPARE(form.Picture1->pos(), QPoint(0, 0));
    QCOMPARE(form.Picture1->Point(30, 40), 208 * 65793);
    // The marks inside the image box stay where they were.
    QCOMPARE(form.clicpic[2].Left, 12.5f);
    QVERIFY(form.clicpic[2].Visible);
    QCOMPARE(form.star[7].Top, 50.0f);
    QVERIFY(form.star[7].Visible);
    QCOMPARE(form.zoom->pos(), QPoint(5, 6));
}

void TestImageView::loadFailureKeepsOldPicture_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QByteArray>("content"); // written under the typed name when not empty
    QTest::addColumn<QString>("description"); // the failure's text, when it is known
    const QString missing = failureDescription(FailureCode::FileNotFound);
    QTest::newRow("missing file") << QStringLiteral("absent.png") << QByteArray() << missing;
    // Opening it would wait for a writer, and the window with it.
    QTest::newRow("a named pipe") << QStringLiteral("pipe.png") << QByteArray() << missing;
    QTest::newRow("not an image") << QStringLiteral("notes.png") << QByteArray("not a picture\r\n") << QString();
    QTest::newRow("empty path: the folder itself") << QString() << QByteArray() << QString();
    QTest::newRow("a folder") << QStringLiteral("sub") << QByteArray() << QString();
    QTest::newRow("60000 x 60000 header") << QStringLiteral("bomb.png") << pngHeaderOnly(60000, 60000)
                                          << failureDescription(FailureCode::ImageTooLarge);
}

void TestImageView::loadFailureKeepsOldPicture()
{
    QFETCH(QString, typed);
    QFETCH(QByteArray, content);
    QFETCH(QString, description);
    FormFixture f;
    Form1 &form = *f.form;
    drawStarField(200, 150, {{30, 40, 200, 1.5}}).save(f.path(QStringLiteral("good.png")));
    if (!content.isEmpty())
        writeFile(f.path(typed), content);
    QDir(f.folder.path()).mkdir(QStringLiteral("sub"));
    const UnwrittenPipe pipe(f.path(QStringLiteral("pipe.png")));
    QVERIFY(pipe.created());

    form.txt_url->setText(QStringLiteral("good.png"));
    form.Loadimg_Click();
    QVERIFY(form.imageLoaded);
    form.Picture1->move(-10, -20);

    form.txt_url->setText(typed);
    form.Loadimg_Click();
    QVERIFY(!form.imageLoaded);
    QCOMPARE(f.dialogs.messageCount(), 1);
    const ScriptedDialogs::Shown &box = f.dialogs.shown.front();
    QCOMPARE(box.style, MsgBoxStyle::OkOnly);
    QCOMPARE(box.title, QString());
    // The path as typed, without the folder, then the reader's description.
    const QString prefix = typed + QStringLiteral(": ");
    QVERIFY2(box.text.startsWith(prefix) && box.text.size() > prefix.size(), qPrintable(box.text));
    QVERIFY2(!box.text.contains(f.folder.path()), qPrintable(box.text));
    if (!description.isEmpty())
        QCOMPARE(box.text, prefix + description);
    // The old picture stays, with its size and place.
    QCOMPARE(form.Picture1->size(), QSize(200, 150));
    QCOMPARE(form.Picture1->pos(), QPoint(-10, -20));
    QCOMPARE(form.Picture1->Point(30, 40), 208 * 65793);
    QVERIFY(!pipe.released());
}

void TestImageView::namedPipeRefusedByEveryLoad_data()
{
    QTest::addColumn<QString>("command");
    QTest::newRow("Load beside Img:") << QStringLiteral("load");
    QTest::newRow("opening a project that names it") << QStringLiteral("open");
    QTest::newRow("2-Etoiles") << QStringLiteral("select");
    QTest::newRow("3-Calcul") << QStringLiteral("solve");
}

void TestImageView::namedPipeRefusedByEveryLoad()
{
    QFETCH(QString, command);
    FormFixture f;
    Form1 &form = *f.form;
    const UnwrittenPipe pipe(f.path(QStringLiteral("pipe.png")));
    QVERIFY(pipe.created());
    form.txt_url->setText(QStringLiteral("pipe.png"));
    if (command == "load") {
        form.Loadimg->click();
    } else if (command == "open") {
        f.dialogs.fileAnswers = {f.path(QStringLiteral("job.pam")), f.path(QStringLiteral("job.pam"))};
        form.mnu_save_Click();
        form.txt_url->clear();
        form.mnu_open_Click();
        QCOMPARE(form.txt_url->text(), QStringLiteral("pipe.png"));
    } else if (command == "select") {
        form.SelectStar->click();
    } else {
        form.startCalcul->click();
    }
    QVERIFY(!pipe.released());
    QVERIFY(!form.imageLoaded);
    const QString refused = QStringLiteral("pipe.png: ") + failureDescription(FailureCode::FileNotFound);
    QVERIFY2(f.dialogs.messages().contains(refused), qPrintable(f.dialogs.messages().join(u'|')));
}

void TestImageView::panStepOrder_data()
{
    QTest::addColumn<QPoint>("from");
    QTest::addColumn<int>("panDir");
    QTest::addColumn<HeldArrowKeys>("held");
    QTest::addColumn<QPoint>("to");
    // A 1000 x 800 image in a 600 x 500 viewport.
    const QPoint middle(-200, -150);
    QTest::newRow("right bar") << middle << int(PanRight) << keys("") << QPoint(-210, -150);
    QTest::newRow("top bar") << middle << int(PanTop) << keys("") << QPoint(-200, -140);
    QTest::newRow("left bar") << middle << int(PanLeft) << keys("") << QPoint(-190, -150);
    QTest::newRow("bottom bar") << middle << int(PanBottom) << keys("") << QPoint(-200, -160);
    QTest::newRow("right key") << middle << 0 << keys("R") << QPoint(-210, -150);
    QTest::newRow("down key") << middle << 0 << keys("D") << QPoint(-200, -160);
    QTest::newRow("nothing held") << middle << 0 << keys("") << middle;
    // Two directions at once: the first of right, up, left, down wins.
    QTest::newRow("right bar and up key") << middle << int(PanRight) << keys("U") << QPoint(-210, -150);
    QTest::newRow("up and left keys") << middle << 0 << keys("UL") << QPoint(-200, -140);
    QTest::newRow("left bar and down key") << middle << int(PanLeft) << keys("D") << QPoint(-190, -150);
    QTest::newRow("all four keys") << middle << 0 << keys("LURD") << QPoint(-210, -150);
    // A wanted direction with no image beyond the edge gives way to the next.
    QTest::newRow("right at the right edge, up wanted") << QPoint(-400, -150) << int(PanRight) << keys("U")
                                                        << QPoint(-400, -140);
    QTest::newRow("up at the top, left wanted") << QPoint(-200, 0) << 0 << keys("UL") << QPoint(-190, 0);
    QTest::newRow("left at the left edge") << QPoint(0, -150) << int(PanLeft) << keys("") << QPoint(0, -150);
    QTest::newRow("down at the bottom") << QPoint(0, -300) << 0 << keys("D") << QPoint(0, -300);
    // Strict tests: an edge exactly on the viewport's edge does not pan.
    QTest::newRow("right edge exactly on the viewport's") << QPoint(-400, 0) << 0 << keys("R") << QPoint(-400, 0);
    QTest::newRow("one pixel more to the right") << QPoint(-399, 0) << 0 << keys("R") << QPoint(-409, 0);
}

void TestImageView::panStepOrder()
{
    QFETCH(QPoint, from);
    QFETCH(int, panDir);
    QFETCH(HeldArrowKeys, held);
    QFETCH(QPoint, to);
    QCOMPARE(panStep(from, QSize(1000, 800), QSize(600, 500), panDir, held), to);
}

void TestImageView::smallImageNeverPans()
{
    ViewForm v(QSize(120, 90));
    Form1 &form = *v.form;
    QVERIFY(form.PicOrange->width() > 120 && form.PicOrange->height() > 90);
    for (int dir = 1; dir <= 4; ++dir) {
        form.panDir = dir;
        for (int tick = 0; tick < 3; ++tick)
            form.panTick(active(keys("LURD")));
    }
    QCOMPARE(form.Picture1->pos(), QPoint(0, 0));
}

void TestImageView::stepIsNotClamped()
{
    ViewForm v(QSize(3000, 2500));
    Form1 &form = *v.form;
    form.Picture1->move(-5, 0);
    form.panDir = PanLeft;
    form.panTick(active());
    QCOMPARE(form.Picture1->pos(), QPoint(5, 0));
    form.panTick(active());
    QCOMPARE(form.Picture1->pos(), QPoint(5, 0));

    // Toward the bottom: ends up to 9 pixels past the viewport's edge.
    const int height = v.viewport().height();
    form.panDir = PanBottom;
    for (int tick = 0; tick < 1000; ++tick)
        form.panTick(active());
    const int bottom = form.Picture1->y() + 2500;
    QVERIFY2(bottom <= height && bottom > height - 10, qPrintable(QString::number(bottom - height)));
}

void TestImageView::tickOnlyWhenActiveOrButtonHeld_data()
{
    QTest::addColumn<bool>("windowActive");
    QTest::addColumn<bool>("buttonHeld");
    QTest::addColumn<bool>("moves");
    QTest::newRow("inactive, no button") << false << false << false;
    QTest::newRow("active") << true << false << true;
    QTest::newRow("inactive, left button held") << false << true << true;
}

void TestImageView::tickOnlyWhenActiveOrButtonHeld()
{
    QFETCH(bool, windowActive);
    QFETCH(bool, buttonHeld);
    QFETCH(bool, moves);
    ViewForm v(QSize(3000, 2500));
    Form1 &form = *v.form;
    PanInput input;
    input.mainWindowActive = windowActive;
    input.leftButtonHeld = buttonHeld;
    input.keys = keys("R");
    form.panTick(input);
    QCOMPARE(form.Picture1->pos(), moves ? QPoint(-10, 0) : QPoint(0, 0));
}

void TestImageView::panBarsSetDirection()
{
    ViewForm v(QSize(3000, 2500));
    Form1 &form = *v.form;
    for (int bar = 1; bar <= 4; ++bar) {
        QTest::mousePress(form.PicMove[size_t(bar)], bar == 2 ? Qt::RightButton : Qt::LeftButton);
        QCOMPARE(form.panDir, bar);
        QTest::mouseRelease(form.PicMove[size_t(bar)], bar == 2 ? Qt::RightButton : Qt::LeftButton);
        QCOMPARE(form.panDir, 0);
    }
    // Holding the right bar pans through the timer's own tick.
    QTest::mousePress(form.PicMove[PanRight], Qt::LeftButton);
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    form.Timer1_Timer();
    QCOMPARE(form.Picture1->pos(), QPoint(-10, 0));
    QTest::mouseRelease(form.PicMove[PanRight], Qt::LeftButton);
    form.Timer1_Timer();
    QCOMPARE(form.Picture1->pos(), QPoint(-10, 0));
}

void TestImageView::arrowKeyPansFromTextField()
{
    ViewForm v(QSize(3000, 2500));
    Form1 &form = *v.form;
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    form.txt_mag->setFocus();
    form.txt_mag->setCursorPosition(1);
    QTRY_VERIFY(form.txt_mag->hasFocus());

    QTest::keyPress(form.txt_mag, Qt::Key_Down);
    QVERIFY(form.arrowKeys->held().down);
    form.Timer1_Timer();
    form.Timer1_Timer();
    QCOMPARE(form.Picture1->pos(), QPoint(0, -20));
    QTest::keyRelease(form.txt_mag, Qt::Key_Down);
    form.Timer1_Timer();
    QCOMPARE(form.Picture1->pos(), QPoint(0, -20));

    // The text field still gets its caret moves.
    QTest::keyPress(form.txt_mag, Qt::Key_Left);
    QCOMPARE(form.txt_mag->cursorPosition(), 0);
    form.Timer1_Timer();
    QCOMPARE(form.Picture1->pos(), QPoint(0, -20)); // already at the left edge
    QTest::keyRelease(form.txt_mag, Qt::Key_Left);
    QVERIFY(!form.arrowKeys->held().left);

    // An auto-repeated release is no release.
    QTest::keyPress(form.txt_mag, Qt::Key_Right);
    QKeyEvent repeatRelease(QEvent::KeyRelease, Qt::Key_Right, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(form.txt_mag, &repeatRelease);
    QVERIFY(form.arrowKeys->held().right);
    QTest::keyRelease(form.txt_mag, Qt::Key_Right);
    QVERIFY(!form.arrowKeys->held().right);
}

QTEST_MAIN(TestImageView)
#include "tst_image_view.moc"
