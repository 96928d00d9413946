// sample_sky --out FOLDER [--seed N]: writes the sample sky into FOLDER.

#include "tools/sample_sky/sample_sky.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <cstdio>
#include <stdexcept>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("sample_sky"));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Writes a synthetic sky for Sidelune: star list, image, true projection, project and configuration."));
    parser.addHelpOption();
    const QCommandLineOption out(QStringLiteral("out"), QStringLiteral("Folder to write into."), QStringLiteral("folder"));
    const QCommandLineOption seed(QStringLiteral("seed"), QStringLiteral("Random seed (default %1).").arg(sample_sky::kDefaultSeed),
                                  QStringLiteral("n"), QString::number(sample_sky::kDefaultSeed));
    parser.addOption(out);
    parser.addOption(seed);
    parser.process(app);

    if (!parser.isSet(out) || !parser.positionalArguments().isEmpty()) {
        std::fprintf(stderr, "usage: sample_sky --out FOLDER [--seed N]\n");
        return 2;
    }
    bool ok = false;
    const quint64 seedValue = parser.value(seed).toULongLong(&ok);
    if (!ok) {
        std::fprintf(stderr, "sample_sky: the seed must be a whole number, not \"%s\"\n", qPrintable(parser.value(seed)));
        return 2;
    }
    try {
        const sample_sky::SampleSky sky = sample_sky::generateSampleSky(parser.value(out), seedValue);
        std::printf("sample_sky: %zu stars, %dx%d image, written to %s\n", sky.stars.size(), sky.projection.width,
                    sky.projection.height, qPrintable(QDir::toNativeSeparators(parser.value(out))));
    } catch (const std::exception &e) {
        std::fprintf(stderr, "sample_sky: %s\n", e.what());
        return 1;
    }
    return 0;
}
