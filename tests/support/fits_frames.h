#pragma once
// FITS files written by hand for the tests and benchmarks: header cards of
// 80 characters, blocks of 2880 bytes, big-endian data.

#include <QByteArray>
#include <QList>
#include <QtEndian>
#include <cstring>
#include <vector>

namespace testing {

// One header card: the keyword, "= " and the value as FITS writes it.
inline QByteArray fitsCard(const char *keyword, const QByteArray &value)
{
    return (QByteArray(keyword).leftJustified(8, ' ') + "= " + value.rightJustified(20, ' ')).leftJustified(80, ' ');
}
inline QByteArray fitsCard(const char *keyword, long long value) { return fitsCard(keyword, QByteArray::number(value)); }

// A header of the given cards closed by END, padded to whole blocks.
inline QByteArray fitsHeader(const QList<QByteArray> &cards)
{
    QByteArray header;
    for (const QByteArray &c : cards)
        header += c;
    header += QByteArray("END").leftJustified(80, ' ');
    return header.leftJustified((header.size() + 2879) / 2880 * 2880, ' ');
}

// Stored values in the big-endian encoding of bitpix, padded to whole blocks.
inline QByteArray fitsData(int bitpix, const std::vector<double> &stored)
{
    QByteArray data;
    for (const double v : stored) {
        char b[8];
        switch (bitpix) {
        case 8: b[0] = char(quint8(v)); data.append(b, 1); break;
        case 16: qToBigEndian(qint16(v), b); data.append(b, 2); break;
        case 32: qToBigEndian(qint32(v), b); data.append(b, 4); break;
        case -32: {
            const float f = float(v);
            quint32 u;
            std::memcpy(&u, &f, 4);
            qToBigEndian(u, b);
            data.append(b, 4);
            break;
        }
        default: {
            quint64 u;
            std::memcpy(&u, &v, 8);
            qToBigEndian(u, b);
            data.append(b, 8);
        }
        }
    }
    return data.leftJustified((data.size() + 2879) / 2880 * 2880, '\0');
}

// A primary image of width x height (x depth planes when depth > 1): its
// header with the extra cards, then the stored values.
inline QByteArray fitsImage(int bitpix, int width, int height, const std::vector<double> &stored,
                            const QList<QByteArray> &extra = {}, int depth = 1)
{
    QList<QByteArray> cards{fitsCard("SIMPLE", "T"), fitsCard("BITPIX", bitpix),
                            fitsCard("NAXIS", depth > 1 ? 3 : 2), fitsCard("NAXIS1", width),
                            fitsCard("NAXIS2", height)};
    if (depth > 1)
        cards << fitsCard("NAXIS3", depth);
    return fitsHeader(cards + extra) + fitsData(bitpix, stored);
}

// A 16-bit frame as CCD cameras write it (BZERO 32768, first row at the
// bottom) of grey levels given top row first, as an image holds them.
inline QByteArray fits16BitFrame(int width, int height, const std::vector<double> &topRowFirst)
{
    std::vector<double> stored(topRowFirst.size());
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            stored[size_t(height - 1 - y) * size_t(width) + size_t(x)]
                = topRowFirst[size_t(y) * size_t(width) + size_t(x)] - 32768;
    return fitsImage(16, width, height, stored, {fitsCard("BZERO", 32768), fitsCard("BSCALE", 1)});
}

} // namespace testing
