// libFuzzer target for the FITS reader: any bytes, forged headers and
// truncated data among them, must be read or refused without a crash, a hang
// or undefined behaviour, both directly and through QImageReader.
//
// The input is read twice: as the file's bytes, and as header cards, one a
// line up to a zero byte, behind which lies the data. The second way lets the
// fuzzer write headers cfitsio gets past, without seed files.

#include "fits/fits_image.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <cstddef>
#include <cstdint>

namespace {

QByteArray asCards(const QByteArray &input)
{
    const qsizetype end = input.indexOf('\0');
    QByteArray file;
    for (const QByteArray &line : input.left(end < 0 ? input.size() : end).split('\n'))
        file += line.left(80).leftJustified(80, ' ');
    file += QByteArray("END").leftJustified(80, ' ');
    file = file.leftJustified((file.size() + 2879) / 2880 * 2880, ' ');
    if (end >= 0)
        file += input.mid(end + 1);
    return file;
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
    for (const QByteArray &bytes : {raw, asCards(raw)}) {
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
