// One table of the times that matter to a user, each beside its target:
// the catalogue parse, the star pattern search, the load of a FITS frame, the
// whole solve command on the sample sky, a magnifier redraw, a hover test,
// start-up, and peak memory.
// Times are medians of repeated runs after one warm-up run; nothing is
// asserted, a missed target is only reported.
//
//   bench_table
//
// Start-up and peak memory are measured in fresh processes (this program run
// again with --startup FOLDER or --memory FOLDER), so that nothing measured
// before weighs on them.

#include "bench_support.h"
#include "localisation/language_tables.h"
#include "main_window/form1.h"
#include "astrometry/pattern_search.h"
#include "astrometry/readouts.h"
#include "main_window/startup.h"
#include "platform/dialogs.h"
#include "support/catalogue_fixture.h"
#include "support/fits_frames.h"
#include "support/sample_job.h"
#include "support/test_support.h"
#include "tools/sample_sky/sample_sky.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>
#include <cstdio>
#include <optional>

namespace {

constexpr double kSolveTargetMs = 50;
constexpr double kSearchTargetMs = 20;
constexpr double kRedrawTargetMs = 1;
constexpr double kHoverTargetMs = 1;
constexpr double kStartupTargetMs = 1000;
constexpr double kMemoryTargetMb = 150;

struct Row {
    QString operation;
    int runs = 0;
    QString measure;            // with its unit
    QString target;             // empty: none
    std::optional<bool> met;    // unset when there is no target
    QString note;
};

std::vector<Row> rows;

QString ms(double value) { return QString::number(value, 'f', value < 1 ? 3 : 2) + QStringLiteral(" ms"); }

void addTimed(const QString &operation, const bench::Timing &t, double targetMs, const QString &note = {})
{
    Row row{operation, t.runs, ms(t.medianMs), {}, {}, note};
    if (targetMs > 0) {
        row.target = QStringLiteral("< ") + ms(targetMs);
        row.met = t.medianMs < targetMs;
    }
    rows.push_back(row);
}

void printTable()
{
    std::printf("\n%-46s %5s %12s %12s %5s  %s\n", "operation", "runs", "median", "target", "met", "");
    std::printf("%s\n", QString(100, QLatin1Char('-')).toLatin1().constData());
    bool allMet = true;
    for (const Row &r : rows) {
        const char *met = !r.met ? "-" : *r.met ? "yes" : "NO";
        allMet = allMet && r.met.value_or(true);
        std::printf("%-46s %5d %12s %12s %5s  %s\n", qPrintable(r.operation), r.runs, qPrintable(r.measure),
                    qPrintable(r.target.isEmpty() ? QStringLiteral("-") : r.target), met, qPrintable(r.note));
    }
    std::printf("\n%s\n", allMet ? "every target met" : "some target missed");
}

void waitUntilExposed(QWidget &window)
{
    QElapsedTimer waited;
    waited.start();
    while (!(window.windowHandle() && window.windowHandle()->isExposed()) && waited.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    QCoreApplication::processEvents();
}

// The form's star table filled with a 4000-record catalogue and every marker
// shown somewhere over the image, as after a full map of a rich field.
void showFourThousandMarkers(Form1 &form)
{
    const double scaleRa = form.scaleRa != 0 ? form.scaleRa : bench::kFieldScale;
    const double scaleDec = form.scaleDec != 0 ? form.scaleDec : bench::kFieldScale;
    parseCatalogueAnswer(catalogue::answerPage(bench::fieldOf4000()), scaleRa, scaleDec, form.stars);
    QRandomGenerator random(4000);
    const QSize image = form.Picture1->size();
    for (int k = 1; k <= form.stars.starTotal && k < int(form.star.size()); ++k) {
        Mark &m = form.star[size_t(k)];
        m.Left = float(random.bounded(image.width()) - m.Height / 2);
        m.Top = float(random.bounded(image.height()) - m.Height / 2);
        m.Visible = true;
    }
    form.mapState = QStringLiteral("done");
    form.Picture1->update();
}

// --- measured in this process ---------------------------------------------

void measureParse()
{
    const QByteArray page = catalogue::answerPage(bench::fieldOf4000());
    StarTable table;
    addTimed(QStringLiteral("parse of 4000 records"), bench::medianOf(200, [&](int) {
                 parseCatalogueAnswer(page, bench::kFieldScale, bench::kFieldScale, table);
             }), 0);
}

// --- FITS frames -------------------------------------------------------------

// A 4096 x 4096 16-bit camera frame (BZERO 32768, first row at the bottom):
// a noisy sky of 1000 and 2000 stars, loaded by the image load command.
void measureFitsLoad()
{
    const int side = 4096;
    QRandomGenerator random(7);
    std::vector<testing::SyntheticStar> stars;
    for (int k = 0; k < 2000; ++k)
        stars.push_back({random.bounded(double(side)), random.bounded(double(side)), 500 + random.bounded(60000.0), 1.5});
    std::vector<double> levels = testing::starFieldLevels(side, side, stars, 1000);
    for (double &v : levels)
        v = std::min(65535.0, std::round(v + random.bounded(40)));
    testing::FormFixture f;
    testing::writeFile(f.path(QStringLiteral("frame.fits")), testing::fits16BitFrame(side, side, levels));
    f.form->txt_url->setText(QStringLiteral("frame.fits"));
    const bench::Timing timing = bench::medianOf(10, [&](int) { f.form->Loadimg_Click(); });
    addTimed(QStringLiteral("load of a 4096 x 4096 16-bit FITS frame"), timing, 0,
             f.form->imageLoaded ? QString() : QStringLiteral("NOT LOADED"));
}

// The search as the solve runs it: distance tables, then the search.
bench::Timing timeSearch(const bench::SolutionField &field, int runs, size_t *candidates)
{
    StarTable table;
    parseCatalogueAnswer(field.answer, bench::kFieldScale, bench::kFieldScale, table);
    return bench::medianOf(runs, [&](int) {
        PatternSearch search;
        search.setPicks(field.picks.x.data(), field.picks.y.data());
        search.setStars(table.starX.data(), table.starY.data(), table.starCount);
        *candidates = search.search(bench::kFieldTolerance).candidates.size();
    });
}

void measureSearch()
{
    size_t candidates = 0;
    const bench::Timing realistic = timeSearch(bench::makeSolutionField(1536, 1024, 7), 51, &candidates);
    addTimed(QStringLiteral("search, 497 stars, realistic (1536x1024)"), realistic, kSearchTargetMs,
             QStringLiteral("%1 candidates").arg(candidates));

    // The slowest of the crowded fields, found with a few runs each, then timed.
    double slowest = -1;
    int slowestSize = 0;
    quint32 slowestSeed = 0;
    for (int size : bench::kCrowdedSizes)
        for (quint32 seed : bench::kCrowdedSeeds) {
            const double t = timeSearch(bench::makeSolutionField(size, size * 2 / 3, seed), 3, &candidates).medianMs;
            if (t > slowest) {
                slowest = t;
                slowestSize = size;
                slowestSeed = seed;
            }
        }
    const bench::Timing crowded =
        timeSearch(bench::makeSolutionField(slowestSize, slowestSize * 2 / 3, slowestSeed), 21, &candidates);
    addTimed(QStringLiteral("search, 497 stars, crowded (worst of %1)")
                 .arg(bench::kCrowdedSizes.size() * bench::kCrowdedSeeds.size()),
             crowded, kSearchTargetMs,
             QStringLiteral("%1x%2 seed %3, %4 candidates").arg(slowestSize).arg(slowestSize * 2 / 3).arg(slowestSeed).arg(candidates));
}

// The main window on the sample sky with the catalogue downloaded and five
// bright stars picked, ready for "3-Calcul".
struct SampleWindow : testing::FormFixture {
    sample_sky::SampleSky sky = sample_sky::generateSampleSky(folder.path());
    std::unique_ptr<testing::CatalogueFixture> service;

    bool prepare()
    {
        service = std::make_unique<testing::CatalogueFixture>(testing::serviceStars(sky));
        service->pointAt(*form);
        form->Timer1->stop();
        form->show();
        waitUntilExposed(*form);
        testing::typeSampleJob(*form, sky);
        form->DownloadData_Click();
        form->SelectStar_Click();
        for (const sample_sky::SampleStar &s : sample_sky::brightStars(sky, 5, 13, 20, 60)) {
            form->Picture1_MouseMove(Qt::NoButton, {}, float(s.pixel.x()), float(s.pixel.y()));
            form->Picture1_Click();
        }
        QCoreApplication::processEvents();
        return form->selectionDone && form->imageLoaded;
    }
};

void measureSolve(SampleWindow &w, const QString &operation)
{
    Form1 &form = *w.form;
    int solved = 0;
    const bench::Timing t = bench::medianOf(21, [&](int) {
        // Every question is answered Yes at once: the one on the number of
        // stars (asked above 380) and the first candidate offered.
        w.dialogs.questionAnswers = {MsgBoxResult::Yes, MsgBoxResult::Yes};
        form.startCalcul_Click();
        QCoreApplication::processEvents(); // the markers painted
        solved += form.solutionValid ? 1 : 0;
    });
    // The share of the image reload, which every solve begins with.
    const bench::Timing reload = bench::medianOf(21, [&](int) { form.Loadimg_Click(); });
    addTimed(operation, t, kSolveTargetMs,
             QStringLiteral("%1 stars in use, solved %2 of %3; reload %4")
                 .arg(form.stars.starCount).arg(solved).arg(t.runs + 1).arg(ms(reload.medianMs)));
    form.status->clear();
    w.dialogs.shown.clear();
}

void measureMagnifier(SampleWindow &w)
{
    Form1 &form = *w.form;
    form.SelectStar_Click();
    QCoreApplication::processEvents();
    QRandomGenerator random(11);
    const QSize view = form.PicOrange->size();
    addTimed(QStringLiteral("magnifier redraw (dozoom, painted)"), bench::medianOf(500, [&](int) {
                 form.mouseX = 50 + random.bounded(view.width() - 100);
                 form.mouseY = 50 + random.bounded(view.height() - 100);
                 form.dozoom();
                 QCoreApplication::processEvents();
             }), kRedrawTargetMs);
}

void measureHover(SampleWindow &w)
{
    Form1 &form = *w.form;
    form.pickMode = PickMode::Coor;
    form.zoom->hide();
    showFourThousandMarkers(form);
    QCoreApplication::processEvents();
    // The pointer's places are drawn beforehand, and the hits among them
    // counted, so that the timed moves do nothing else.
    QRandomGenerator random(12);
    const QSize image = form.Picture1->size();
    std::vector<QPointF> places(2001);
    int hits = 0;
    for (QPointF &p : places) {
        p = {random.bounded(double(image.width())), random.bounded(double(image.height()))};
        hits += hoverHit(form.star, form.stars.starTotal, float(p.x()), float(p.y())) != 0 ? 1 : 0;
    }
    const bench::Timing t = bench::medianOf(int(places.size()) - 1, [&](int i) {
        const QPointF &p = places[size_t(i + 1)];
        form.Picture1_MouseMove(Qt::NoButton, {}, float(p.x()), float(p.y()));
        QCoreApplication::processEvents();
    });
    addTimed(QStringLiteral("hover test over 4000 markers (painted)"), t, kHoverTargetMs,
             QStringLiteral("%1 of %2 moves over a marker").arg(hits).arg(places.size()));
}

// --- measured in fresh processes -------------------------------------------

// Runs this program again in `mode`; returns its first output line, and the
// time from the start of the process to that line.
std::optional<QByteArray> runChild(const QString &mode, const QString &folder, double *elapsedMs)
{
    QProcess child;
    QElapsedTimer timer;
    timer.start();
    child.start(QCoreApplication::applicationFilePath(), {mode, folder});
    while (!child.canReadLine() && child.state() != QProcess::NotRunning)
        child.waitForReadyRead(30000);
    *elapsedMs = double(timer.nsecsElapsed()) / 1e6;
    const QByteArray line = child.readLine().trimmed();
    child.waitForFinished(30000);
    // The platform's warnings are noise in the table; shown only on failure.
    if (line.isEmpty() || line.startsWith("failed")) {
        std::fprintf(stderr, "%s %s failed:\n%s\n", qPrintable(mode), qPrintable(folder),
                     child.readAllStandardError().constData());
        return std::nullopt;
    }
    return line;
}

// Start-up in a new process; with `defaultsBytes` > 0, beside a defaut.cfg of
// that many bytes of line ends, which must cost neither time nor memory; with
// `sparseFile`, that file of the folder is 16 GB without a line end (and
// without a byte on the disk), which must not be read through.
void measureStartup(const QString &operation, qint64 defaultsBytes, const QString &sparseFile = {})
{
    QTemporaryDir folder;
    QFile::copy(QStringLiteral(SIDELUNE_RESOURCES_DIR "/lang.cfg"), folder.filePath(QStringLiteral("lang.cfg")));
    if (!sparseFile.isEmpty()) {
        QFile sparse(folder.filePath(sparseFile));
        sparse.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        if (!sparse.open(QIODevice::WriteOnly | QIODevice::Truncate) || !sparse.resize(qint64(16) << 30)) {
            rows.push_back({operation, 0, QStringLiteral("?"), {}, {}, QStringLiteral("no sparse file here")});
            return;
        }
    }
    if (defaultsBytes > 0) {
        QFile defaults(folder.filePath(QStringLiteral("defaut.cfg")));
        if (!defaults.open(QIODevice::WriteOnly))
            return;
        const QByteArray piece = QByteArray("\r\n").repeated(512 * 1024);
        for (qint64 written = 0; written < defaultsBytes; written += piece.size())
            defaults.write(piece);
    }
    // Timed to the child's first line, written once its window is shown: the
    // child's exit is not part of start-up. The first run warms the disk cache.
    constexpr int kRuns = 7;
    bool failed = false;
    std::vector<double> shown;
    std::vector<double> peakMb;
    for (int i = -1; i < kRuns; ++i) {
        double elapsed = 0;
        const std::optional<QByteArray> line = runChild(QStringLiteral("--startup"), folder.path(), &elapsed);
        failed = failed || !line;
        if (i >= 0) {
            shown.push_back(elapsed);
            if (line)
                peakMb.push_back(line->split(' ').value(1).toDouble() / 1024);
        }
    }
    std::sort(shown.begin(), shown.end());
    std::sort(peakMb.begin(), peakMb.end());
    const QString memory =
        peakMb.empty() ? QString() : QStringLiteral(", peak %1 MB").arg(peakMb[peakMb.size() / 2], 0, 'f', 1);
    addTimed(operation, {shown[shown.size() / 2], shown.back(), kRuns}, kStartupTargetMs,
             failed ? QStringLiteral("FAILED to start")
                    : QStringLiteral("new process, ")
                          + (sparseFile.isEmpty() ? QStringLiteral("shipped lang.cfg") : QStringLiteral("sparse file"))
                          + memory);
}

void measureMemory(const QString &sampleFolder)
{
    std::vector<double> peaks;
    for (int i = 0; i < 3; ++i) {
        double elapsed = 0;
        const std::optional<QByteArray> kb = runChild(QStringLiteral("--memory"), sampleFolder, &elapsed);
        if (kb)
            peaks.push_back(kb->toDouble() / 1024);
    }
    Row row{QStringLiteral("peak memory, sample image + 4000 markers"), int(peaks.size()), {}, {}, {}, {}};
    row.target = QStringLiteral("< %1 MB").arg(kMemoryTargetMb);
    if (peaks.empty()) {
        row.measure = QStringLiteral("?");
        row.met = false;
        row.note = QStringLiteral("FAILED to measure");
    } else {
        std::sort(peaks.begin(), peaks.end());
        const double median = peaks[peaks.size() / 2];
        row.measure = QString::number(median, 'f', 1) + QStringLiteral(" MB");
        row.met = median < kMemoryTargetMb;
        row.note = QStringLiteral("VmHWM of a new process");
    }
    rows.push_back(row);
}

// --- the child processes ----------------------------------------------------

qint64 peakResidentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

int startupChild(const QString &folder)
{
    ScriptedDialogs dialogs;
    Program program({folder, &dialogs, {}});
    program.Main();
    Form1 *form = program.form1();
    form->endProgram = [] {};
    waitUntilExposed(*form);
    if (form->isVisible())
        std::printf("shown %lld\n", peakResidentKb());
    else
        std::printf("failed\n");
    std::fflush(stdout);
    return 0;
}

int memoryChild(const QString &folder)
{
    ScriptedDialogs dialogs;
    LanguageTables tables;
    Form1 form({folder, &dialogs, &tables, {}});
    form.endProgram = [] {};
    form.createMarkers();
    form.show();
    waitUntilExposed(form);
    form.txt_url->setText(sample_sky::kImageFile);
    form.Loadimg_Click();
    if (!form.imageLoaded) {
        std::printf("failed\n");
        return 1;
    }
    showFourThousandMarkers(form);
    QCoreApplication::processEvents();
    form.repaint();
    std::printf("%lld\n", peakResidentKb());
    std::fflush(stdout);
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 3 && args[1] == QLatin1String("--startup"))
        return startupChild(args[2]);
    if (args.size() == 3 && args[1] == QLatin1String("--memory"))
        return memoryChild(args[2]);

    std::printf("platform %s; times are medians of the runs shown, after one warm-up run\n",
                qPrintable(QGuiApplication::platformName()));
    measureParse();
    measureSearch();
    measureFitsLoad();
    {
        SampleWindow window;
        if (!window.prepare()) {
            std::fprintf(stderr, "the sample sky could not be prepared for the solve\n");
            return 1;
        }
        measureSolve(window, QStringLiteral("solve command on the sample (reload, painted)"));
        // The same picks against a catalogue deep enough to fill every place
        // the search takes.
        window.form->txt_mag->setText(QStringLiteral("16"));
        window.form->DownloadData_Click();
        measureSolve(window, QStringLiteral("  the same, catalogue to magnitude 16"));
        measureMagnifier(window);
        measureHover(window);
        measureMemory(window.folder.path());
    }
    measureStartup(QStringLiteral("start-up until the main window shows"), 0);
    measureStartup(QStringLiteral("  the same, defaut.cfg of 100 MB of line ends"), 100 * 1024 * 1024);
    measureStartup(QStringLiteral("  the same, 16 GB defaut.cfg without line end"), 0,
                   QStringLiteral("defaut.cfg"));
    measureStartup(QStringLiteral("  the same, 16 GB lang.cfg without line end"), 0, QStringLiteral("lang.cfg"));
    printTable();
    return 0;
}
