// Catalogue extracts (CSV, TSV) read as star lists.

#include "star_extract.h"
#include "sky_index.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <cmath>
#include <optional>

namespace catalogue {

namespace {
const QStringList kRaNames = {"RAJ2000", "_RAJ2000", "RA_ICRS", "ra"};
const QStringList kDecNames = {"DEJ2000", "_DEJ2000", "DE_ICRS", "dec"};
const QStringList kMagNames = {"Vmag", "Rmag", "Gmag", "mag"};

[[noreturn]] void badLine(int lineNumber, const QString &why)
{
    throw StarListError(QStringLiteral("line %1: %2").arg(lineNumber).arg(why).toStdString());
}

QChar separatorOf(const QString &header)
{
    if (header.contains(u'\t'))
        return u'\t';
    if (header.contains(u',') || !header.contains(u';'))
        return u',';
    return u';';
}

// One row's fields; a field may be quoted, with "" for a quote inside.
QStringList fieldsOf(const QString &line, QChar separator)
{
    QStringList fields;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (quoted) {
            if (c == u'"' && i + 1 < line.size() && line[i + 1] == u'"')
                field += line[++i];
            else if (c == u'"')
                quoted = false;
            else
                field += c;
        } else if (c == u'"') {
            quoted = true;
        } else if (c == separator) {
            fields << field.trimmed();
            field.clear();
        } else {
            field += c;
        }
    }
    fields << field.trimmed();
    return fields;
}

int columnOf(const QStringList &header, const QStringList &names)
{
    for (const QString &name : names)
        for (int k = 0; k < header.size(); ++k)
            if (header[k].compare(name, Qt::CaseInsensitive) == 0)
                return k;
    return -1;
}

// Degrees as a plain number, or one to three parts (the first in `unitDeg`
// degrees: 15 for hours) with an optional sign.
std::optional<double> angle(const QString &text, double unitDeg)
{
    static const QRegularExpression separators(QStringLiteral("[ :]+"));
    const QStringList parts = text.trimmed().split(separators, Qt::SkipEmptyParts);
    if (parts.size() == 1)
        return cNumber(parts[0]);
    if (parts.isEmpty() || parts.size() > 3)
        return std::nullopt;
    const bool negative = parts[0].startsWith(u'-');
    double value = 0, unit = 1;
    for (int k = 0; k < parts.size(); ++k) {
        const QString part = k == 0 && (negative || parts[0].startsWith(u'+')) ? parts[0].mid(1) : parts[k];
        const std::optional<double> n = cNumber(part);
        if (!n || *n < 0 || part.startsWith(u'-') || part.startsWith(u'+'))
            return std::nullopt;
        value += *n / unit;
        unit *= 60;
    }
    return (negative ? -value : value) * unitDeg;
}

bool isDashes(const QStringList &fields)
{
    static const QRegularExpression dashes(QStringLiteral("^-+$"));
    for (const QString &f : fields)
        if (!f.isEmpty() && !dashes.match(f).hasMatch())
            return false;
    return fields.join(QString()).startsWith(u'-');
}

QString prefixOf(const QString &name)
{
    QString letters;
    for (const QChar c : QFileInfo(name).completeBaseName().toUpper())
        if (c.isLetterOrNumber() && c.unicode() < 128 && letters.size() < 3)
            letters += c;
    return QStringLiteral("U") + letters.leftJustified(3, u'X');
}

struct Line {
    int number;
    QString text;
};

std::vector<Line> dataLines(const QString &text)
{
    std::vector<Line> lines;
    const QStringList all = text.split(QRegularExpression(QStringLiteral("\r\n|\r|\n")));
    for (int i = 0; i < all.size(); ++i)
        if (!all[i].trimmed().isEmpty() && !all[i].trimmed().startsWith(u'#'))
            lines.push_back({i + 1, all[i]});
    return lines;
}
} // namespace

bool isExtract(const QString &path, const QString &text)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == u"csv" || suffix == u"tsv" || suffix == u"tab")
        return true;
    const std::vector<Line> lines = dataLines(text.left(65536));
    if (lines.empty())
        return false;
    const QChar separator = separatorOf(lines.front().text);
    return lines.front().text.contains(separator) && columnOf(fieldsOf(lines.front().text, separator), kRaNames) >= 0;
}

std::vector<Star> parseExtract(const QString &text, const QString &name)
{
    const std::vector<Line> lines = dataLines(text);
    if (lines.empty())
        throw StarListError("no header line naming the columns");
    const QChar separator = separatorOf(lines.front().text);
    const QStringList header = fieldsOf(lines.front().text, separator);
    const int ra = columnOf(header, kRaNames), dec = columnOf(header, kDecNames), mag = columnOf(header, kMagNames);
    QStringList lacking;
    if (ra < 0)
        lacking << QStringLiteral("a right ascension (%1)").arg(kRaNames.join(QStringLiteral(", ")));
    if (dec < 0)
        lacking << QStringLiteral("a declination (%1)").arg(kDecNames.join(QStringLiteral(", ")));
    if (mag < 0)
        lacking << QStringLiteral("a magnitude (%1)").arg(kMagNames.join(QStringLiteral(", ")));
    if (!lacking.isEmpty())
        throw StarListError(QStringLiteral("line %1: the extract has no column for %2")
                                .arg(lines.front().number).arg(lacking.join(QStringLiteral(", nor ")))
                                .toStdString());

    size_t first = 1;
    // Units and dashes under the header.
    for (size_t k = 1; k < std::min<size_t>(3, lines.size()); ++k)
        if (isDashes(fieldsOf(lines[k].text, separator)))
            first = k + 1;
    const int needed = std::max({ra, dec, mag}) + 1;
    const QString prefix = prefixOf(name);
    std::vector<Star> stars;
    for (size_t k = first; k < lines.size(); ++k) {
        const QStringList fields = fieldsOf(lines[k].text, separator);
        const int n = lines[k].number;
        if (fields.size() < needed)
            badLine(n, QStringLiteral("%1 columns where the header names %2").arg(fields.size()).arg(header.size()));
        if (fields[mag].isEmpty())
            continue; // a star without a magnitude cannot answer a query
        const std::optional<double> raDeg = angle(fields[ra], fields[ra].contains(u' ') || fields[ra].contains(u':') ? 15 : 1);
        const std::optional<double> decDeg = angle(fields[dec], 1);
        const std::optional<double> m = cNumber(fields[mag]);
        if (!raDeg || *raDeg < 0 || *raDeg >= 360)
            badLine(n, QStringLiteral("right ascension \"%1\" is neither degrees nor h m s").arg(fields[ra]));
        if (!decDeg || *decDeg < -90 || *decDeg > 90)
            badLine(n, QStringLiteral("declination \"%1\" is neither degrees nor d m s").arg(fields[dec]));
        if (!m || *m < -9.9 || *m > 99.9)
            badLine(n, QStringLiteral("magnitude \"%1\" must be a number, -9.9 <= mag <= 99.9").arg(fields[mag]));
        stars.push_back({positionId(prefix, *raDeg, *decDeg), *raDeg, *decDeg, *m});
    }
    return stars;
}

std::vector<Star> loadStars(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw StarListError(QStringLiteral("%1: %2").arg(path, file.errorString()).toStdString());
    const QString text = QString::fromUtf8(file.readAll());
    try {
        return isExtract(path, text) ? parseExtract(text, path) : parseStarList(text);
    } catch (const StarListError &e) {
        throw StarListError(path.toStdString() + ": " + e.what());
    }
}

} // namespace catalogue
