// Times of the catalogue steps: parsing a 4000-record answer, and a whole
// download plus parse from the in-process catalogue service.

#include "bench_support.h"
#include "catalogue_service.h"
#include "astrometry/catalogue_parser.h"
#include "main_window/catalogue_query.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

namespace {
template <typename Work>
void report(const char *what, int iterations, Work work)
{
    const bench::Timing t = bench::medianOf(iterations, [&](int) { work(); });
    std::printf("%-45s %9.3f ms/op median  (%d runs)\n", what, t.medianMs, t.runs);
}
} // namespace

int main()
{
    const std::vector<catalogue::Star> stars = bench::fieldOf4000();
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
