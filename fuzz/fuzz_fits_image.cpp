// libFuzzer target for the FITS reader: any bytes, forged headers and
// truncated data among them, must be read or refused without a crash, a hang
// or undefined behaviour, both directly and through QImageReader.
//
// The input is read three ways: as the file's bytes; as header cards, one a
// line up to a zero byte, behind which lies the data; and as the same after
// a SIMPLE, BITPIX and NAXIS header chosen by the first four bytes, so that
// the fuzzer reaches the decoding without seed files.

#include "platform/fits/fits_image.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <cstddef>
#include <cstdint>

namespace {

QByteArray card(const QByteArray &text) { return text.left(80).leftJustified(80, ' '); }

QByteArray asCards(const QByteArray &input, const QByteArray &first = {})
{
    const qsizetype end = input.indexOf('\0');
    QByteArray file = first;
    for (const QByteArray &line : input.left(end < 0 ? input.size() : end).split('\n'))
        file += card(line);
    file += card("END");
    file = file.leftJustified((file.size() + 2879) / 2880 * 2880, ' ');
    if (end >= 0)
        file += input.mid(end + 1);
    return file;
}

// The first byte picks BITPIX (some of them invalid) and NAXIS, the next
// three the axes, negative ones among them.
QByteArray withChosenHeader(const QByteArray &input)
{
    if (input.size() < 4)
        return {};
    static const int bitpix[] = {8, 16, 32, -32, -64, 0, 64, 7};
    const int naxis = (quint8(input[0]) >> 3) & 3;
    QByteArray cards = card("SIMPLE  =                    T")
        + card("BITPIX  = " + QByteArray::number(bitpix[quint8(input[0]) & 7]))
        + card("NAXIS   = " + QByteArray::number(naxis));
    for (int a = 1; a <= naxis; ++a)
        cards += card("NAXIS" + QByteArray::number(a) + "  = " + QByteArray::number(qint8(input[a])));
    return asCards(input.mid(4), cards);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // Qt reports each image past the allocation limit; thousands of lines a second.
    qputenv("QT_LOGGING_RULES", "qt.gui.imageio=false");
    QImageReader::setAllocationLimit(16);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray raw(reinterpret_cast<const char *>(data), qsizetype(size));
    for (const QByteArray &bytes : {raw, asCards(raw), withChosenHeader(raw)}) {
        fits::frameSize(bytes);
        fits::readFrame(bytes, [](QSize s) { return qint64(s.width()) * s.height() <= 4'000'000; });
        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer, "fits");
        reader.size();
        reader.read();
    }
    return 0;
}
