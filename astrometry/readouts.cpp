#include "astrometry/readouts.h"

#include "astrometry/sexagesimal.h"

int hoverHit(const std::vector<Mark> &star, int starTotal, float X, float Y)
{
    int hit = 0;
    const int last = std::min<int>(starTotal, int(star.size()) - 1);
    for (int k = 1; k <= last; ++k) {
        const Mark &m = star[size_t(k)];
        if (!m.Visible)
            continue;
        const float cx = markCentreX(m), cy = markCentreY(m);
        if (cx - 4 < X && X < cx + 4 && cy - 4 < Y && Y < cy + 4)
            hit = k;
    }
    return hit;
}

QString hoverCaption(const QString &starId, const QString &starMag, double raHours, double decDeg)
{
    return starId + QStringLiteral(" - Mag=") + starMag + QLatin1Char(' ')
           + FormatSexagesimal(raHours, QStringLiteral("h")) + QStringLiteral("  ")
           + FormatSexagesimal(decDeg, QStringLiteral("\u00b0"));
}

SkyPosition skyPositionAt(const double (&coef)[6], double scaleRa, double scaleDec, double x, double y)
{
    const double raDeg = (coef[0] * x + coef[1] * y + coef[2]) / scaleRa;
    return {raDeg / 360 * 24, (coef[3] * x + coef[4] * y + coef[5]) / scaleDec};
}

QString clickReadout(const SkyPosition &position)
{
    return QStringLiteral("Clic: ") + FormatSexagesimal(position.raHours, QStringLiteral("h"))
           + QStringLiteral("  ") + FormatSexagesimal(position.decDeg, QStringLiteral("\u00b0"));
}
