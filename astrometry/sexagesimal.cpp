#include "astrometry/sexagesimal.h"

#include "platform/numbers.h"

#include <cmath>
#include <limits>

QString FormatSexagesimal(double value, const QString &unit)
{
    // No position (a broken plate model): say so rather than print parts.
    if (!std::isfinite(value))
        return CStr(value);
    const double v = value < 0 ? -value : value;
    double whole = std::floor(v);
    const double r = (v - whole) * 60.0;
    double minutes = std::floor(r);
    const double s = (r - minutes) * 60.0;
    double seconds = roundHalfEven(roundHalfEvenTo(s, 2));
    if (seconds >= 60.0) {
        seconds -= 60.0;
        minutes += 1.0;
    }
    if (minutes >= 60.0) {
        minutes -= 60.0;
        whole += 1.0;
    }
    QString text;
    if (value < 0)
        text += u'-';
    // The whole part may exceed 16 bits only for a broken plate model: it is
    // written as it is.
    text += QString::number(whole, 'f', 0);
    text += unit;
    text += QString::number(int(minutes));
    text += u'\'';
    text += QString::number(int(seconds));
    text += QStringLiteral("''");
    return text;
}

void SplitSexagesimal(double value, int &whole, int &minutes, double &seconds)
{
    const double v = value < 0 ? -value : value;
    // Beyond the range of the whole part (or no number at all) there are no
    // parts to give: the seconds say it is not a position.
    if (!(v < 2147483648.0)) {
        whole = 0;
        minutes = 0;
        seconds = std::numeric_limits<double>::quiet_NaN();
        return;
    }
    double w = std::floor(v);
    const double r = (v - w) * 60.0;
    const double m = std::floor(r);
    const double s = roundHalfEvenTo((r - m) * 60.0, 4);
    if (value < 0)
        w = -w;
    whole = int(w);
    minutes = int(m);
    seconds = s;
}
