// FITS as one more format of QImageReader: the loader of every image reads
// FITS frames with no path of its own. Built as a static plugin, linked into
// every program with the core library.

#include "platform/fits/fits_image.h"

#include <QImageIOHandler>
#include <QImageIOPlugin>
#include <QImageReader>

namespace {

// The header blocks read to answer the size before the frame is read: room
// for a primary header and an image extension's, of a hundred cards each.
constexpr qint64 kHeaderPeek = 2880 * 64;

// Whether the reader's allocation limit takes the frame: its values are read
// at 4 bytes a pixel, and the image box keeps it at 32 bits.
bool withinAllocationLimit(QSize size)
{
    const qint64 limitMb = QImageReader::allocationLimit();
    return limitMb <= 0 || qint64(size.width()) * size.height() * 4 <= limitMb * 1024 * 1024;
}

class FitsImageHandler : public QImageIOHandler {
public:
    static bool canRead(QIODevice *device) { return device && fits::looksLikeFits(device->peek(9)); }

    bool canRead() const override
    {
        if (!canRead(device()))
            return false;
        setFormat("fits");
        return true;
    }

    bool read(QImage *image) override
    {
        // The data read through cfitsio, which answers a damaged or
        // truncated file with an error, never a read past the bytes.
        const QImage frame = fits::readFrame(device()->readAll(), withinAllocationLimit);
        if (frame.isNull())
            return false;
        *image = frame;
        return true;
    }

    bool supportsOption(ImageOption option) const override { return option == Size || option == ImageFormat; }

    QVariant option(ImageOption option) const override
    {
        if (option == ImageFormat)
            return QImage::Format_Grayscale8;
        if (option != Size || !device())
            return {};
        // From the headers alone, so a forged size is refused before the
        // data is read.
        if (const std::optional<QSize> size = fits::frameSize(device()->peek(kHeaderPeek)))
            return *size;
        return {};
    }
};

} // namespace

class FitsImagePlugin : public QImageIOPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QImageIOHandlerFactoryInterface_iid FILE "fits_image_plugin.json")
public:
    Capabilities capabilities(QIODevice *device, const QByteArray &format) const override
    {
        if (format == "fits" || format == "fit" || format == "fts")
            return CanRead;
        if (!format.isEmpty() || !device || !device->isOpen())
            return {};
        return FitsImageHandler::canRead(device) ? CanRead : Capabilities{};
    }

    QImageIOHandler *create(QIODevice *device, const QByteArray &format) const override
    {
        auto *handler = new FitsImageHandler;
        handler->setDevice(device);
        handler->setFormat(format.isEmpty() ? QByteArray("fits") : format);
        return handler;
    }
};

#include "fits_image_plugin.moc"
