// catalogue_service --port N [--stars FILE]... [--index FILE]... [--index-dir DIR]
//                   [--bind ADDRESS]
//
// Answers the program's catalogue query until interrupted: from each star
// list (format in catalogue_service.h) for the queries centred within the
// area its stars cover, and from the whole sky (the Tycho-2 index files,
// sky_index.h) for every other one. The index files are those given with
// --index, or else the index-tycho2-*.fits of DIR (by default
// /usr/share/astrometry). Listens on 127.0.0.1 unless told otherwise, and
// prints every request target as it arrives (its control bytes escaped).

#include "catalogue_service.h"
#include "sky_index.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>

namespace {
const char kDefaultIndexDir[] = "/usr/share/astrometry";

int usage(const char *why)
{
    std::fprintf(stderr, "catalogue_service: %s\n"
                         "usage: catalogue_service --port N [--stars FILE]... [--index FILE]... [--index-dir DIR]"
                         " [--bind ADDRESS]\n", why);
    return 2;
}

void say(const QString &text)
{
    std::fprintf(stderr, "catalogue_service: %s\n", qPrintable(text));
}
} // namespace

int main(int argc, char **argv)
{
    QStringList starPaths, indexPaths;
    QString indexDir;
    QString address = QStringLiteral("127.0.0.1");
    int port = -1;
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--stars") == 0 && hasValue) {
            starPaths << QString::fromLocal8Bit(argv[++i]);
        } else if (std::strcmp(argv[i], "--index") == 0 && hasValue) {
            indexPaths << QString::fromLocal8Bit(argv[++i]);
        } else if (std::strcmp(argv[i], "--index-dir") == 0 && hasValue) {
            indexDir = QString::fromLocal8Bit(argv[++i]);
        } else if (std::strcmp(argv[i], "--port") == 0 && hasValue) {
            bool ok = false;
            port = QString::fromLocal8Bit(argv[++i]).toInt(&ok);
            if (!ok || port < 0 || port > 65535)
                return usage("the port must be a number from 0 to 65535");
        } else if (std::strcmp(argv[i], "--bind") == 0 && hasValue) {
            address = QString::fromLocal8Bit(argv[++i]);
        } else {
            return usage("unknown or incomplete option");
        }
    }
    if (port < 0)
        return usage("--port is required");

    QStringList said;
    std::optional<catalogue::Sky> sky = catalogue::openSky(
        starPaths, indexPaths, indexDir.isEmpty() ? QString::fromLatin1(kDefaultIndexDir) : indexDir, &said);
    for (const QString &line : said)
        say(line);
    if (!sky)
        return 1;

    // The service's threads inherit this mask, so the signals reach sigwait.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    catalogue::Service service(std::move(*sky));
    service.setRequestLogger([](const QByteArray &target) {
        std::printf("%s\n", catalogue::escapeForLog(target).constData());
        std::fflush(stdout);
    });
    if (!service.start(port, address)) {
        std::fprintf(stderr, "catalogue_service: cannot listen on %s:%d\n", qPrintable(address), port);
        return 1;
    }
    std::printf("catalogue_service: listening on http://%s:%d\n", qPrintable(address), service.port());
    std::fflush(stdout);

    int signal = 0;
    sigwait(&stopSignals, &signal);
    service.stop();
    return 0;
}
