// catalogue_service --stars FILE --port N [--bind ADDRESS]
//
// Answers the program's catalogue query from a star list file (format in
// catalogue_service.h) until interrupted. Listens on 127.0.0.1 unless told
// otherwise, and prints every request target as it arrives (its control bytes
// escaped).

#include "catalogue_service.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>

namespace {
int usage(const char *why)
{
    std::fprintf(stderr, "catalogue_service: %s\n"
                         "usage: catalogue_service --stars FILE --port N [--bind ADDRESS]\n", why);
    return 2;
}
} // namespace

int main(int argc, char **argv)
{
    QString starsPath;
    QString address = QStringLiteral("127.0.0.1");
    int port = -1;
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--stars") == 0 && hasValue) {
            starsPath = QString::fromLocal8Bit(argv[++i]);
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
    if (starsPath.isEmpty() || port < 0)
        return usage("--stars and --port are required");

    std::vector<catalogue::Star> stars;
    try {
        stars = catalogue::loadStarList(starsPath);
    } catch (const catalogue::StarListError &e) {
        std::fprintf(stderr, "catalogue_service: %s\n", e.what());
        return 1;
    }

    // The service's threads inherit this mask, so the signals reach sigwait.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    catalogue::Service service(std::move(stars));
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
