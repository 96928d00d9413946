// The catalogue service on the whole sky, each measure beside its target: a
// query of 20' and one of 2° at magnitude 13 at centres strewn over the sky
// (answered in-process, page and all), and the program's start-up and peak
// memory in a fresh process, until it listens. On the Tycho-2 index files
// installed under /usr/share/astrometry; nothing is measured without them.
// Nothing is asserted: a missed target is only reported.
//
//   bench_catalogue_service

#include "bench_support.h"
#include "catalogue_service.h"
#include "sky_index.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <cmath>
#include <cstdio>
#include <memory>
#include <optional>
#include <tuple>

namespace {
constexpr double kSmallQueryTargetMs = 20;
constexpr double kWideQueryTargetMs = 100;
constexpr double kStartTargetMs = 2000;
constexpr double kStartMemoryTargetMb = 200;
const char kIndexFolder[] = "/usr/share/astrometry";

QString ms(double value) { return QString::number(value, 'f', value < 1 ? 3 : 2) + QStringLiteral(" ms"); }

void row(const QString &operation, int runs, const QString &measure, const QString &target, std::optional<bool> met,
         const QString &note = {})
{
    const char *metText = !met ? "-" : *met ? "yes" : "NO";
    std::printf("%-46s %5d %12s %12s %5s  %s\n", qPrintable(operation), runs, qPrintable(measure),
                qPrintable(target.isEmpty() ? QStringLiteral("-") : target), metText, qPrintable(note));
}

QByteArray targetFor(double raDeg, double decDeg, double radiusArcmin)
{
    const double hours = raDeg / 15;
    const int h = int(hours), m = int((hours - h) * 60);
    const double s = ((hours - h) * 60 - m) * 60;
    const double a = std::fabs(decDeg);
    const int d = int(a), dm = int((a - d) * 60);
    const double ds = ((a - d) * 60 - dm) * 60;
    return QStringLiteral("/skycat/servers/usnoa_res?catalogue=usnoa&epoch=2000.0&chart=0&ra=%1+%2+%3&dec=%4%5+%6+%7"
                          "&object=&radmax=%8&magbright=0&magfaint=13.&format=2&sort=mr&nout=5000")
        .arg(h).arg(m).arg(s, 0, 'f', 1).arg(decDeg < 0 ? QStringLiteral("-") : QString()).arg(d).arg(dm)
        .arg(ds, 0, 'f', 0).arg(radiusArcmin)
        .toLatin1();
}

void measureQueries(const catalogue::Sky &sky)
{
    for (const auto &[name, radius, target] :
         {std::tuple{"whole-sky query, 20' to magnitude 13", 20.0, kSmallQueryTargetMs},
          std::tuple{"whole-sky query, 2 deg to magnitude 13", 120.0, kWideQueryTargetMs}}) {
        QRandomGenerator random(7);
        std::vector<QByteArray> targets;
        for (int k = 0; k < 200; ++k)
            targets.push_back(targetFor(random.generateDouble() * 360,
                                        std::asin(random.generateDouble() * 2 - 1) * 180 / M_PI, radius));
        size_t records = 0;
        const bench::Timing t = bench::medianOf(int(targets.size()), [&](int i) {
            const catalogue::Answer answer = catalogue::answerTarget(sky, targets[size_t(std::max(0, i))]);
            records += size_t(answer.body.count('\n'));
        });
        row(QString::fromUtf8(name), t.runs, ms(t.medianMs), ms(target), t.medianMs <= target,
            QStringLiteral("worst %1, answers of about %2 lines").arg(ms(t.worstMs)).arg(records / (targets.size() + 1)));
    }
}

void measureStart()
{
    QProcess service;
    service.setProcessChannelMode(QProcess::MergedChannels);
    QElapsedTimer timer;
    timer.start();
    service.start(QStringLiteral(CATALOGUE_SERVICE_PROGRAM), {QStringLiteral("--port"), QStringLiteral("0")});
    QByteArray said;
    while (!said.contains("listening on") && service.state() != QProcess::NotRunning && timer.elapsed() < 60000) {
        service.waitForReadyRead(100);
        said += service.readAll();
    }
    const double elapsed = double(timer.nsecsElapsed()) / 1e6;
    QFile status(QStringLiteral("/proc/%1/status").arg(service.processId()));
    double peakMb = -1;
    if (status.open(QIODevice::ReadOnly))
        for (const QByteArray &line : status.readAll().split('\n'))
            if (line.startsWith("VmHWM:"))
                peakMb = line.mid(6).trimmed().split(' ').front().toDouble() / 1024;
    service.terminate();
    service.waitForFinished(5000);
    if (!said.contains("listening on")) {
        row(QStringLiteral("service start-up on the whole sky"), 1, QStringLiteral("failed"), ms(kStartTargetMs), false,
            QString::fromUtf8(said.trimmed()));
        return;
    }
    row(QStringLiteral("service start-up on the whole sky"), 1, ms(elapsed), ms(kStartTargetMs),
        elapsed <= kStartTargetMs, QStringLiteral("fresh process, until it listens"));
    row(QStringLiteral("service peak memory on the whole sky"), 1, QString::number(peakMb, 'f', 1) + " MB",
        QString::number(kStartMemoryTargetMb, 'f', 0) + " MB", peakMb >= 0 && peakMb <= kStartMemoryTargetMb,
        QStringLiteral("VmHWM"));
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    std::printf("\n%-46s %5s %12s %12s %5s  %s\n", "operation", "runs", "median", "target", "met", "");
    std::printf("%s\n", QString(100, QLatin1Char('-')).toLatin1().constData());
    const QStringList files = catalogue::SkyIndex::filesIn(QString::fromLatin1(kIndexFolder));
    if (files.isEmpty()) {
        row(QStringLiteral("whole-sky catalogue service"), 0, QStringLiteral("-"), {}, std::nullopt,
            QStringLiteral("no whole-sky catalogue installed"));
        return 0;
    }
    QStringList problems;
    catalogue::Sky sky;
    sky.setWholeSky(std::make_shared<catalogue::SkyIndex>(catalogue::SkyIndex::load(files, &problems)));
    for (const QString &problem : problems)
        std::printf("%s\n", qPrintable(problem));
    measureQueries(sky);
    measureStart();
    return 0;
}
