#include "astrometry/catalogue_parser.h"

#include "platform/failure.h"
#include "platform/numbers.h"
#include "platform/text_file.h"

#include <QStringView>
#include <algorithm>
#include <cmath>

namespace {
double scaledCoordinate(QStringView field, double pixelsPerDegree)
{
    // A column beyond a double's range (its reading overflows), or one whose
    // scaled value is, reads like a column that holds no number: one bad
    // record of the service's answer neither stops the solve nor puts an
    // infinity (or a NaN from 0 x infinity) into the table.
    double degrees = 0;
    try {
        degrees = Val(field);
    } catch (const Failure &) {
        return 0.0;
    }
    const double value = roundHalfEven(degrees * pixelsPerDegree);
    return std::isfinite(value) ? value : 0.0;
}
} // namespace

QString answerText(const QByteArray &bytes)
{
    QString text = decodeText(bytes);
    if (!text.contains(u'\r'))
        return text;
    // Compact in place: CR LF and a lone CR both become one line feed.
    QChar *out = text.data();
    const QChar *in = text.constData();
    const QChar *const end = in + text.size();
    QChar *write = out;
    while (in < end) {
        if (*in == u'\r') {
            *write++ = u'\n';
            ++in;
            if (in < end && *in == u'\n')
                ++in;
        } else {
            *write++ = *in++;
        }
    }
    text.truncate(write - out);
    return text;
}

void parseCatalogueText(const QString &text, double scaleRa, double scaleDec, StarTable &table)
{
    // The records are read at a moving offset; the text itself is never cut.
    const QStringView all(text);
    const qsizetype marker = all.indexOf(QStringView(kAnswerMarker));
    // Everything up to and including the marker's "</b>"; without a marker,
    // the first three characters.
    qsizetype offset = marker >= 0 ? marker + 4 : 3;

    int i = 1;
    for (; i <= StarTable::kCapacity; ++i) {
        const QStringView record = offset < all.size() ? all.mid(offset, kRecordLength) : QStringView();
        offset += kRecordLength;
        if (record.size() < 6 || record[5] != u'U')
            break;
        table.starId[i] = record.mid(5, 14).toString();
        table.starX[i] = scaledCoordinate(record.size() > 20 ? record.mid(20, 9) : QStringView(), scaleRa);
        table.starY[i] = scaledCoordinate(record.size() > 30 ? record.mid(30, 9) : QStringView(), scaleDec);
        table.starMag[i] = record.size() > 40 ? record.mid(40, 4).toString() : QString();
    }
    table.starTotal = i - 1;
    table.starCount = std::min(table.starTotal, StarTable::kInUse);
}

void parseCatalogueAnswer(const QByteArray &bytes, double scaleRa, double scaleDec, StarTable &table)
{
    parseCatalogueText(answerText(bytes), scaleRa, scaleDec, table);
}
