// The files of the sample sky.

#include "tools/sample_sky/sample_sky_text.h"

#include <QBuffer>
#include <QDir>
#include <QImageWriter>
#include <QSaveFile>
#include <QStringList>
#include <cmath>
#include <stdexcept>

namespace sample_sky {

namespace {

QByteArray crlfLines(const QStringList &lines)
{
    QByteArray bytes;
    for (const QString &line : lines)
        bytes += line.toUtf8() + "\r\n";
    return bytes;
}

// Coefficients as the program's fields hold them: a point as decimal separator.
QString coefficient(double v)
{
    return QString::number(v, 'g', 10);
}

// The field centre split as the project's fields hold it: two-digit hours,
// minutes, seconds and degrees.
struct CentreFields {
    QString raH, raM, raS, decD, decM, decS, sign;
};

CentreFields centreFields(const SkyProjection &p)
{
    const auto parts = [](double value, QString *whole, QString *minutes, QString *seconds) {
        const long totalSeconds = std::lround(std::abs(value) * 3600.0);
        const auto two = [](long n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); };
        *whole = two(totalSeconds / 3600);
        *minutes = two(totalSeconds / 60 % 60);
        *seconds = two(totalSeconds % 60);
    };
    CentreFields f;
    parts(p.centreRaDeg / 15.0, &f.raH, &f.raM, &f.raS);
    parts(p.centreDecDeg, &f.decD, &f.decM, &f.decS);
    f.sign = p.centreDecDeg < 0 ? QStringLiteral("-") : QStringLiteral("+");
    return f;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw std::runtime_error(QStringLiteral("cannot write %1: %2").arg(path, file.errorString()).toStdString());
}

} // namespace

QByteArray starListText(const SampleSky &sky)
{
    QByteArray text = QStringLiteral("# Sample sky, seed %1: %2 stars, J2000.\n"
                                     "# identifier ra_deg dec_deg magnitude\n")
                          .arg(sky.seed)
                          .arg(sky.stars.size())
                          .toUtf8();
    for (const SampleStar &star : sky.stars)
        text += QStringLiteral("%1 %2 %3 %4\n")
                    .arg(star.id, QString::number(star.raDeg, 'f', 5), QString::number(star.decDeg, 'f', 5),
                         QString::number(star.magnitude, 'f', 1))
                    .toUtf8();
    return text;
}

QByteArray projectFileText(const SkyProjection &p)
{
    const CentreFields c = centreFields(p);
    return crlfLines({
        QStringLiteral("10"),            // decision threshold, pixels
        coefficient(p.corrAsd()),
        coefficient(p.corrDec()),
        c.decD, c.decM, c.decS, c.sign,
        QStringLiteral("20"),            // search radius, arc-minutes
        QStringLiteral("2000.0"),        // epoch
        QStringLiteral("13"),            // faint magnitude of the solution
        QStringLiteral("16"),            // faint magnitude of the full map
        c.raH, c.raM, c.raS,
        QStringLiteral("7"),             // matching tolerance, pixels
        kImageFile,                      // relative: taken from the program's folder
        QStringLiteral("1"),             // decision check box ticked
    });
}

QByteArray configFileText(const SkyProjection &p)
{
    return crlfLines({QStringLiteral(" 1 "), QStringLiteral("Ciel exemple"), coefficient(p.corrAsd()),
                      coefficient(p.corrDec())});
}

QByteArray jpegBytes(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpg");
    writer.setQuality(95);
    if (!writer.write(image))
        throw std::runtime_error(QStringLiteral("cannot encode the sample image: %1").arg(writer.errorString()).toStdString());
    return bytes;
}

void writeSampleSky(const SampleSky &sky, const QString &folder)
{
    if (!QDir().mkpath(folder))
        throw std::runtime_error(QStringLiteral("cannot create the folder %1").arg(folder).toStdString());
    const QDir dir(folder);
    writeFile(dir.filePath(kImageFile), jpegBytes(sky.image));
    writeFile(dir.filePath(kStarListFile), starListText(sky));
    writeFile(dir.filePath(kProjectionFile), projectionFileText(sky.projection, sky.seed));
    writeFile(dir.filePath(kConfigFile), configFileText(sky.projection));
    writeFile(dir.filePath(kProjectFile), projectFileText(sky.projection));
}

SampleSky generateSampleSky(const QString &folder, quint64 seed)
{
    SampleSky sky = makeSampleSky(seed);
    writeSampleSky(sky, folder);
    return sky;
}

} // namespace sample_sky
