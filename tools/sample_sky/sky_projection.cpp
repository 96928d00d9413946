// The true projection of the sample sky and its text file.

#include "tools/sample_sky/sample_sky.h"

#include <QFile>
#include <QHash>
#include <QStringList>
#include <cmath>
#include <numbers>
#include <stdexcept>

namespace sample_sky {

namespace {
constexpr double kDegToRad = std::numbers::pi / 180.0;
constexpr double kRadToDeg = 180.0 / std::numbers::pi;
} // namespace

bool SkyProjection::skyToPixel(double raDeg, double decDeg, QPointF *pixel) const
{
    const double dec0 = centreDecDeg * kDegToRad;
    const double dec = decDeg * kDegToRad;
    const double dRa = (raDeg - centreRaDeg) * kDegToRad;
    const double cosC = std::sin(dec0) * std::sin(dec) + std::cos(dec0) * std::cos(dec) * std::cos(dRa);
    if (!(cosC > 0))
        return false;
    const double xi = std::cos(dec) * std::sin(dRa) / cosC;
    const double eta = (std::cos(dec0) * std::sin(dec) - std::sin(dec0) * std::cos(dec) * std::cos(dRa)) / cosC;
    const double u = xi * kRadToDeg * pixelsPerDegree;
    const double v = eta * kRadToDeg * pixelsPerDegree;
    const double c = std::cos(rotationDeg * kDegToRad), s = std::sin(rotationDeg * kDegToRad);
    *pixel = QPointF(x0 - u * c - v * s, y0 + u * s - v * c);
    return true;
}

void SkyProjection::pixelToSky(const QPointF &pixel, double *raDeg, double *decDeg) const
{
    const double dx = pixel.x() - x0, dy = pixel.y() - y0;
    const double c = std::cos(rotationDeg * kDegToRad), s = std::sin(rotationDeg * kDegToRad);
    const double u = -dx * c + dy * s;
    const double v = -dx * s - dy * c;
    const double xi = u / pixelsPerDegree * kDegToRad;
    const double eta = v / pixelsPerDegree * kDegToRad;
    const double dec0 = centreDecDeg * kDegToRad;
    const double denom = std::cos(dec0) - eta * std::sin(dec0);
    double ra = centreRaDeg + std::atan2(xi, denom) * kRadToDeg;
    ra = std::fmod(ra, 360.0);
    if (ra < 0)
        ra += 360.0;
    *raDeg = ra;
    *decDeg = std::atan2(std::sin(dec0) + eta * std::cos(dec0), std::hypot(xi, denom)) * kRadToDeg;
}

double SkyProjection::corrAsd() const
{
    return pixelsPerDegree * std::cos(centreDecDeg * kDegToRad);
}

SkyProjection sampleProjection()
{
    SkyProjection p;
    p.centreRaDeg = (1.0 + 34.0 / 60 + 50.0 / 3600) * 15.0;
    p.centreDecDeg = 22.0 + 1.0 / 60 + 11.0 / 3600;
    p.pixelsPerDegree = 3600.0 / 1.8;
    p.rotationDeg = 2.0;
    p.width = 1600;
    p.height = 1200;
    p.x0 = p.width / 2;
    p.y0 = p.height / 2;
    return p;
}

namespace {
// Shortest text that reads back as the same double.
QString exact(double v)
{
    return QString::number(v, 'g', 17);
}
} // namespace

QByteArray projectionFileText(const SkyProjection &p, quint64 seed)
{
    QString text = QStringLiteral(
        "# True projection of the sample sky image: gnomonic, tangent point at (ra0, dec0).\n"
        "# Pixels: x to the right, y down, (0, 0) the centre of the top-left pixel.\n"
        "#   cos c = sin dec0 sin dec + cos dec0 cos dec cos(ra - ra0)\n"
        "#   xi    = cos dec sin(ra - ra0) / cos c                          (east)\n"
        "#   eta   = (cos dec0 sin dec - sin dec0 cos dec cos(ra - ra0)) / cos c   (north)\n"
        "#   u = xi * scale, v = eta * scale     (xi, eta in degrees; u, v in pixels)\n"
        "#   x = x0 - u cos(rotation) - v sin(rotation)\n"
        "#   y = y0 + u sin(rotation) - v cos(rotation)\n"
        "# Plate coefficients of the program: corr_asd = scale cos(dec0), corr_dec = scale.\n");
    const auto line = [&text](const char *key, const QString &value) {
        text += QLatin1String(key) + QLatin1Char(' ') + value + QLatin1Char('\n');
    };
    line("ra0_deg", exact(p.centreRaDeg));
    line("dec0_deg", exact(p.centreDecDeg));
    line("scale_px_per_deg", exact(p.pixelsPerDegree));
    line("rotation_deg", exact(p.rotationDeg));
    line("x0", exact(p.x0));
    line("y0", exact(p.y0));
    line("width", QString::number(p.width));
    line("height", QString::number(p.height));
    line("corr_asd", exact(p.corrAsd()));
    line("corr_dec", exact(p.corrDec()));
    line("seed", QString::number(seed));
    return text.toUtf8();
}

SkyProjection readProjection(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error(QStringLiteral("cannot read %1: %2").arg(path, file.errorString()).toStdString());
    QHash<QString, QString> values;
    for (const QString &raw : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QStringList parts = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (parts.size() == 2)
            values.insert(parts[0], parts[1]);
    }
    const auto number = [&](const char *key) {
        bool ok = false;
        const double v = values.value(QLatin1String(key)).toDouble(&ok);
        if (!ok)
            throw std::runtime_error(QStringLiteral("%1: no number for %2").arg(path, QLatin1String(key)).toStdString());
        return v;
    };
    SkyProjection p;
    p.centreRaDeg = number("ra0_deg");
    p.centreDecDeg = number("dec0_deg");
    p.pixelsPerDegree = number("scale_px_per_deg");
    p.rotationDeg = number("rotation_deg");
    p.x0 = number("x0");
    p.y0 = number("y0");
    p.width = int(number("width"));
    p.height = int(number("height"));
    return p;
}

} // namespace sample_sky
