// Times of the catalogue steps: parsing a 4000-record answer, and a whole
// download plus parse from the in-process catalogue service.

#include "catalogue_service.h"
#include "main_window/catalogue_parser.h"
#include "main_window/catalogue_query.h"

#include <QFile>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>

namespace {
using Clock = std::chrono::steady_clock;

// 4000 stars spread over a 20' field around RA 23.7, Dec 22.0, all brighter than 13.
std::vector<catalogue::Star> fieldOf4000()
{
    std::vector<catalogue::Star> stars;
    for (int k = 0; k < 4000; ++k) {
        const double ra = 23.7 + 0.25 * ((k * 7919) % 1000 / 1000.0 - 0.5);
        const double dec = 22.0 + 0.25 * ((k * 104729) % 997 / 997.0 - 0.5);
        stars.push_back({QStringLiteral("U1125-%1").arg(k, 8, 10, QLatin1Char('0')), ra, dec, 8.0 + (k % 50) / 10.0});
    }
    return stars;
}

template <typename Work>
void report(const char *what, int iterations, Work work)
{
    work(); // warm up
    const auto start = Clock::now();
    for (int i = 0; i < iterations; ++i)
        work();
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count() / iterations;
    std::printf("%-45s %9.3f ms/op  (%d runs)\n", what, ms, iterations);
}
} // namespace

int main()
{
    const std::vector<catalogue::Star> stars = fieldOf4000();
    const QByteArray page = catalogue::answerPage(stars);
    StarTable table;

    report("parse 4000 records (bytes -> table)", 200,
           [&] { parseCatalogueAnswer(page, 3600.0, 3600.0, table); });
    std::printf("  %d records parsed, %d in use\n", table.starTotal, table.starCount);

    QByteArray crlfPage = page;
    crlfPage.replace("\n", "\r\n");
    report("parse 4000 records with CR LF", 200, [&] { parseCatalogueAnswer(crlfPage, 3600.0, 3600.0, table); });

    catalogue::Service service(stars);
    if (!service.start(0)) {
        std::fprintf(stderr, "cannot start the catalogue service\n");
        return 1;
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("data.txt"));
    const QString host = QStringLiteral("127.0.0.1:%1").arg(service.port());
    report("download + parse 4000 records (in-process)", 50, [&] {
        QueryCatalogue(host, path, QStringLiteral("2000.0"), QStringLiteral("1+34+48"), QStringLiteral("22+00+00"),
                       QStringLiteral("20"), QStringLiteral("13"));
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        parseCatalogueAnswer(file.readAll(), 3600.0, 3600.0, table);
    });
    std::printf("  %d records parsed, %d in use\n", table.starTotal, table.starCount);
    return 0;
}
