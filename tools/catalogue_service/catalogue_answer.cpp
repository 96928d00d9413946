// The service's answers: star list, query, selection and the answer page.

#include "catalogue_service.h"

#include <QFile>
#include <QLocale>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <map>

namespace catalogue {

namespace {
constexpr int kMaxRecords = 9999; // what the 4-column number holds
constexpr int kIdWidth = 14;

[[noreturn]] void badLine(int lineNumber, const QString &why)
{
    throw StarListError(QStringLiteral("line %1: %2").arg(lineNumber).arg(why).toStdString());
}

// "h m s" / "[sign]d m s": up to three parts, each after exactly one blank
// ("+" in the URL), so that an empty part keeps its place: " 0 2" is 0 h 0 m
// 2 s and "- 30 0" is -0 30 0. An empty or missing part counts as 0; blanks
// after the third part are ignored. The sign is read from the text, so
// "-0 30 0" is negative.
std::optional<double> sexagesimal(const QString &text, bool allowSign)
{
    if (text.isEmpty())
        return std::nullopt;
    QStringList parts = text.split(u' ');
    while (parts.size() > 3 && parts.last().isEmpty())
        parts.removeLast();
    if (parts.size() > 3)
        return std::nullopt;
    double sign = 1;
    if (allowSign && (parts[0].startsWith(u'-') || parts[0].startsWith(u'+'))) {
        sign = parts[0].startsWith(u'-') ? -1 : 1;
        parts[0].remove(0, 1);
    }
    double value = 0;
    double unit = 1;
    for (const QString &part : parts) {
        double number = 0;
        if (!part.isEmpty()) {
            if (part.startsWith(u'-') || part.startsWith(u'+'))
                return std::nullopt;
            const std::optional<double> n = cNumber(part);
            if (!n)
                return std::nullopt;
            number = *n;
        }
        value += number / unit;
        unit *= 60;
    }
    return sign * value;
}

QByteArray escapeHtml(const QString &text)
{
    return text.toHtmlEscaped().toUtf8();
}

Answer badQuery(const QString &why)
{
    return {400, "<html>\n<head><title>Bad query</title></head>\n<body>\n<p>Bad query: " + escapeHtml(why) +
                     "</p>\n</body>\n</html>\n"};
}
} // namespace

std::optional<double> cNumber(const QString &text)
{
    bool ok = false;
    const double value = QLocale::c().toDouble(text, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::vector<Star> parseStarList(const QString &text)
{
    std::vector<Star> stars;
    const QStringList lines = text.split(QRegularExpression(QStringLiteral("\r\n|\r|\n")));
    static const QRegularExpression blanks(QStringLiteral("[ \t]+"));
    for (int i = 0; i < lines.size(); ++i) {
        const int lineNumber = i + 1;
        const QString line = lines[i].trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const QStringList fields = line.split(blanks);
        if (fields.size() != 4)
            badLine(lineNumber, QStringLiteral("expected \"identifier ra_deg dec_deg magnitude\""));
        Star star;
        star.id = fields[0];
        if (!star.id.startsWith(u'U') || star.id.size() > kIdWidth)
            badLine(lineNumber, QStringLiteral("the identifier must begin with U and have at most 14 characters"));
        const std::optional<double> ra = cNumber(fields[1]), dec = cNumber(fields[2]), mag = cNumber(fields[3]);
        if (!ra || *ra < 0 || *ra >= 360)
            badLine(lineNumber, QStringLiteral("right ascension must be a number of degrees, 0 <= ra < 360"));
        if (!dec || *dec < -90 || *dec > 90)
            badLine(lineNumber, QStringLiteral("declination must be a number of degrees, -90 <= dec <= 90"));
        if (!mag || *mag < -9.9 || *mag > 99.9)
            badLine(lineNumber, QStringLiteral("magnitude must be a number, -9.9 <= mag <= 99.9"));
        star.raDeg = *ra;
        star.decDeg = *dec;
        star.magnitude = *mag;
        stars.push_back(star);
    }
    return stars;
}

std::vector<Star> loadStarList(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw StarListError(QStringLiteral("%1: %2").arg(path, file.errorString()).toStdString());
    try {
        return parseStarList(QString::fromUtf8(file.readAll()));
    } catch (const StarListError &e) {
        throw StarListError(path.toStdString() + ": " + e.what());
    }
}

std::optional<ConeQuery> parseConeQuery(const QByteArray &query, QString *error)
{
    auto fail = [&](const QString &why) -> std::optional<ConeQuery> {
        if (error)
            *error = why;
        return std::nullopt;
    };
    // First occurrence of each key; "+" is a blank, then %XX escapes.
    std::map<QByteArray, QString> values;
    for (const QByteArray &pair : query.split('&')) {
        const qsizetype eq = pair.indexOf('=');
        const QByteArray key = eq < 0 ? pair : pair.left(eq);
        QByteArray value = eq < 0 ? QByteArray() : pair.mid(eq + 1);
        value.replace('+', ' ');
        values.emplace(QByteArray::fromPercentEncoding(key), QString::fromUtf8(QByteArray::fromPercentEncoding(value)));
    }
    auto has = [&](const char *key) { return values.count(key) > 0; };
    auto fixed = [&](const char *key, const char *expected) { return !has(key) || values[key] == QLatin1String(expected); };
    if (!fixed("catalogue", "usnoa"))
        return fail(QStringLiteral("unknown catalogue"));
    if (!fixed("sort", "mr"))
        return fail(QStringLiteral("only sort=mr is served"));
    if (!fixed("format", "2"))
        return fail(QStringLiteral("only format=2 is served"));
    for (const char *key : {"ra", "dec", "radmax", "magfaint"})
        if (!has(key))
            return fail(QStringLiteral("missing key %1").arg(QLatin1String(key)));

    ConeQuery q;
    const std::optional<double> raHours = sexagesimal(values["ra"], false);
    if (!raHours || *raHours >= 24)
        return fail(QStringLiteral("malformed ra \"%1\"").arg(values["ra"]));
    q.raDeg = *raHours * 15;
    const std::optional<double> dec = sexagesimal(values["dec"], true);
    if (!dec || std::fabs(*dec) > 90)
        return fail(QStringLiteral("malformed dec \"%1\"").arg(values["dec"]));
    q.decDeg = *dec;
    const std::optional<double> radius = cNumber(values["radmax"]);
    if (!radius || *radius < 0)
        return fail(QStringLiteral("malformed radmax \"%1\"").arg(values["radmax"]));
    q.radiusArcmin = *radius;
    // The program always puts a point after the magnitude it was given.
    QString faint = values["magfaint"];
    if (faint.endsWith(u'.'))
        faint.chop(1);
    const std::optional<double> magFaint = cNumber(faint);
    if (!magFaint)
        return fail(QStringLiteral("malformed magfaint \"%1\"").arg(values["magfaint"]));
    q.magFaint = *magFaint;
    if (has("magbright") && !values["magbright"].isEmpty()) {
        const std::optional<double> magBright = cNumber(values["magbright"]);
        if (!magBright)
            return fail(QStringLiteral("malformed magbright \"%1\"").arg(values["magbright"]));
        q.magBright = *magBright;
    }
    if (has("nout")) {
        bool ok = false;
        q.maxStars = values["nout"].toInt(&ok);
        if (!ok || q.maxStars < 0)
            return fail(QStringLiteral("malformed nout \"%1\"").arg(values["nout"]));
    }
    return q;
}

double angularDistanceDeg(double ra1Deg, double dec1Deg, double ra2Deg, double dec2Deg)
{
    // Haversine: exact on the sphere and well-conditioned for small fields.
    constexpr double rad = M_PI / 180;
    const double sinDec = std::sin((dec2Deg - dec1Deg) * rad / 2);
    const double sinRa = std::sin((ra2Deg - ra1Deg) * rad / 2);
    const double h = sinDec * sinDec + std::cos(dec1Deg * rad) * std::cos(dec2Deg * rad) * sinRa * sinRa;
    return 2 * std::asin(std::min(1.0, std::sqrt(h))) / rad;
}

std::vector<Star> selectStars(const std::vector<Star> &stars, const ConeQuery &query)
{
    std::vector<Star> chosen;
    const double radiusDeg = query.radiusArcmin / 60;
    for (const Star &s : stars) {
        if (s.magnitude < query.magBright || s.magnitude > query.magFaint)
            continue;
        if (angularDistanceDeg(query.raDeg, query.decDeg, s.raDeg, s.decDeg) <= radiusDeg)
            chosen.push_back(s);
    }
    keepBrightest(chosen, query.maxStars);
    return chosen;
}

void keepBrightest(std::vector<Star> &stars, int maxStars)
{
    std::stable_sort(stars.begin(), stars.end(), [](const Star &a, const Star &b) { return a.magnitude < b.magnitude; });
    const size_t limit = size_t(std::min(maxStars, kMaxRecords));
    if (stars.size() > limit)
        stars.resize(limit);
}

QByteArray formatRecord(int number, const Star &star)
{
    const QString dec = (star.decDeg < 0 ? QStringLiteral("-") : QStringLiteral("+")) +
                        QString::number(std::fabs(star.decDeg), 'f', 5);
    QString record = QString::number(number).rightJustified(4) + u' ' + star.id.leftJustified(kIdWidth, u' ', true) +
                     u' ' + QString::number(star.raDeg, 'f', 5).rightJustified(9) + u' ' + dec.rightJustified(9) +
                     u' ' + QString::number(star.magnitude, 'f', 1).rightJustified(4);
    record = record.leftJustified(65, u' ', true);
    return record.toLatin1() + '\n';
}

QByteArray answerPage(const std::vector<Star> &stars)
{
    QByteArray page = "<html>\n<head><title>USNO-A catalogue</title></head>\n<body>\n<pre>\n"
                      "<b>   #  Identifier     RA (deg)  Dec (deg) Mag</b>";
    int number = 0;
    for (const Star &s : stars)
        page += formatRecord(++number, s);
    if (stars.empty())
        page += '\n';
    page += "</pre>\n</body>\n</html>\n";
    return page;
}

Answer answerTarget(const Sky &sky, const QByteArray &target)
{
    const qsizetype question = target.indexOf('?');
    QString why;
    const std::optional<ConeQuery> query =
        parseConeQuery(question < 0 ? QByteArray() : target.mid(question + 1), &why);
    if (!query)
        return badQuery(why);
    return {200, answerPage(sky.select(*query))};
}

Answer answerTarget(const std::vector<Star> &stars, const QByteArray &target)
{
    return answerTarget(Sky::ofList(stars), target);
}

} // namespace catalogue
