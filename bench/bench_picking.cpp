// How long one magnifier redraw and one pick take on a 4096 x 4096 image.
// The magnifier must follow the pointer without lag: a redraw, painted, should
// stay well under 2 ms.
//
//   bench_picking [iterations]

#include "bench_support.h"
#include "main_window/form1.h"
#include "astrometry/star_pick.h"
#include "localisation/language_tables.h"
#include "platform/dialogs.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

constexpr int kSide = 4096;

QImage starField()
{
    QImage image(kSide, kSide, QImage::Format_RGB32);
    image.fill(qRgb(10, 10, 10));
    QRandomGenerator random(7);
    for (int s = 0; s < 3000; ++s) {
        const int cx = random.bounded(8, kSide - 8), cy = random.bounded(8, kSide - 8);
        const double peak = 60 + random.bounded(190);
        for (int y = cy - 5; y <= cy + 5; ++y)
            for (int x = cx - 5; x <= cx + 5; ++x) {
                const double r2 = double((x - cx) * (x - cx) + (y - cy) * (y - cy));
                const int g = std::min(255, qGray(image.pixel(x, y)) + int(peak * std::exp(-r2 / 4.5)));
                image.setPixel(x, y, qRgb(g, g, g));
            }
    }
    return image;
}

// Counts the paints of the widgets it watches, to show that the timings
// below include real painting.
class PaintCounter : public QObject {
public:
    int count = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++count;
        return false;
    }
};

PaintCounter *paintCounter = nullptr;

void report(const char *what, const bench::Timing &t)
{
    std::printf("%-40s median %8.1f us   worst %8.1f us   paints %d\n", what, t.medianMs * 1000, t.worstMs * 1000,
                paintCounter ? paintCounter->count : 0);
    if (paintCounter)
        paintCounter->count = 0;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int iterations = argc > 1 ? std::max(1, std::atoi(argv[1])) : 500;

    QTemporaryDir folder;
    if (!starField().save(folder.path() + QStringLiteral("/sky.bmp"))) {
        std::fprintf(stderr, "cannot write the test image\n");
        return 1;
    }
    ScriptedDialogs dialogs;
    LanguageTables tables;
    Form1 form({folder.path(), &dialogs, &tables, {}});
    form.endProgram = [] {};
    form.createMarkers();
    form.Timer1->stop();
    form.show();
    QElapsedTimer exposure;
    exposure.start();
    while (!(form.windowHandle() && form.windowHandle()->isExposed()) && exposure.elapsed() < 5000)
        app.processEvents(QEventLoop::AllEvents, 50);
    PaintCounter paints;
    form.Picture1->installEventFilter(&paints);
    form.zoom->installEventFilter(&paints);
    paintCounter = &paints;

    QElapsedTimer load;
    load.start();
    form.txt_url->setText(QStringLiteral("sky.bmp"));
    form.SelectStar_Click();
    std::printf("load of a %d x %d image: %.1f ms\n", kSide, kSide, double(load.nsecsElapsed()) / 1e6);
    if (!form.imageLoaded)
        return 1;
    // Work deep inside the image, as after panning.
    form.Picture1->move(-2000, -2000);
    app.processEvents();
    paints.count = 0;

    QRandomGenerator random(11);
    auto pointer = [&] {
        form.mouseX = 2000 + random.bounded(form.PicOrange->width() - 100) + 50;
        form.mouseY = 2000 + random.bounded(form.PicOrange->height() - 100) + 50;
    };

    report("magnifier redraw (plot only)", bench::medianOf(iterations, [&](int) {
               pointer();
               form.dozoom();
           }));
    report("magnifier redraw, painted", bench::medianOf(iterations, [&](int) {
               pointer();
               form.dozoom();
               app.processEvents(); // the pending repaint: old and new place of the magnifier
           }));
    report("pick (snap only)", bench::medianOf(iterations, [&](int) {
               pointer();
               starpick::snapToStar(form.mouseX, form.mouseY,
                                    [&](int x, int y) { return form.Picture1->Point(x, y); });
           }));
    form.zoom->hide();
    report("pan step, painted", bench::medianOf(iterations, [&](int i) {
               form.Picture1->move(form.Picture1->pos() + QPoint(i % 2 ? 10 : -10, 0));
               app.processEvents();
           }));
    form.zoom->show();
    report("pick (whole click, painted)", bench::medianOf(iterations, [&](int) {
               pointer();
               form.pickMode = PickMode::Select;
               form.clickCount = 0;
               form.doselect();
               app.processEvents();
           }));
    return 0;
}
