// Reads FITS frames through cfitsio, from bytes already read from the opened
// file, so the file is opened the one way every file of the program is.

#include "platform/fits/fits_image.h"

#include <fitsio.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>
#include <optional>
#include <vector>

namespace fits {

namespace {

// At most this many headers are looked through for the image: a forged file
// of thousands of empty extensions is not walked to its end.
constexpr int kMaxHeaders = 64;

// The most axes a FITS image may have.
constexpr int kMaxAxes = 999;

constexpr qsizetype kBlock = 2880; // FITS files are whole blocks of this many bytes

// cfitsio's view of bytes in memory, closed when it goes out of scope.
class MemoryFile {
public:
    explicit MemoryFile(const QByteArray &bytes) : bytes(bytes)
    {
        // cfitsio reads whole blocks from memory, past the end of a file cut
        // inside one: the bytes are made whole blocks (a copy only then).
        if (this->bytes.size() % kBlock != 0)
            this->bytes.append(QByteArray(kBlock - this->bytes.size() % kBlock, '\0'));
        data = const_cast<char *>(this->bytes.constData());
        size = size_t(this->bytes.size());
        int status = 0;
        // Read-only: cfitsio neither writes into nor reallocates the bytes.
        if (fits_open_memfile(&file, "frame", READONLY, &data, &size, 0, nullptr, &status) != 0)
            file = nullptr;
        fits_clear_errmsg();
    }
    ~MemoryFile()
    {
        if (file) {
            int status = 0;
            fits_close_file(file, &status);
        }
        fits_clear_errmsg();
    }
    MemoryFile(const MemoryFile &) = delete;
    MemoryFile &operator=(const MemoryFile &) = delete;

    fitsfile *file = nullptr;

private:
    QByteArray bytes;
    void *data = nullptr;
    size_t size = 0;
};

struct Layout {
    long long width = 0, height = 0;
    int bytesPerPixel = 0;
};

// Moves to the first header holding an image of at least two axes, none of
// them empty, and gives its first plane's size.
std::optional<Layout> findImage(fitsfile *file)
{
    for (int h = 0; h < kMaxHeaders; ++h) {
        int status = 0;
        if (h > 0 && fits_movrel_hdu(file, 1, nullptr, &status) != 0)
            return std::nullopt;
        int type = 0;
        if (fits_get_hdu_type(file, &type, &status) != 0)
            return std::nullopt;
        if (type != IMAGE_HDU)
            continue;
        int bitpix = 0, naxis = 0;
        std::vector<LONGLONG> axes(kMaxAxes, 0);
        if (fits_get_img_paramll(file, kMaxAxes, &bitpix, &naxis, axes.data(), &status) != 0)
            return std::nullopt;
        if (naxis == 0 && h == 0)
            continue; // the primary header only introduces the extensions
        if (naxis < 2 || naxis > kMaxAxes)
            return std::nullopt;
        if (std::any_of(axes.begin(), axes.begin() + naxis, [](LONGLONG n) { return n < 1; }))
            return std::nullopt;
        return Layout{axes[0], axes[1], std::abs(bitpix) / 8};
    }
    return std::nullopt;
}

QSize clippedSize(const Layout &layout)
{
    return {int(std::min<long long>(layout.width, INT_MAX)), int(std::min<long long>(layout.height, INT_MAX))};
}

// Whether the header asks for the first row at the top.
bool storedTopDown(fitsfile *file)
{
    char value[FLEN_VALUE] = {};
    int status = 0;
    if (fits_read_key(file, TSTRING, "ROWORDER", value, nullptr, &status) != 0)
        return false;
    return QByteArray(value).trimmed().toUpper() == "TOP-DOWN";
}

} // namespace

bool looksLikeFits(const QByteArray &head)
{
    return head.startsWith("SIMPLE  =");
}

std::optional<QSize> frameSize(const QByteArray &bytes)
{
    if (!looksLikeFits(bytes))
        return std::nullopt;
    MemoryFile memory(bytes);
    if (!memory.file)
        return std::nullopt;
    const std::optional<Layout> layout = findImage(memory.file);
    if (!layout)
        return std::nullopt;
    return clippedSize(*layout);
}

QImage readFrame(const QByteArray &bytes, SizeCheck canAllocate)
{
    if (!looksLikeFits(bytes))
        return {};
    MemoryFile memory(bytes);
    if (!memory.file)
        return {};
    const std::optional<Layout> layout = findImage(memory.file);
    if (!layout || layout->width > INT_MAX || layout->height > INT_MAX)
        return {};
    const QSize size = clippedSize(*layout);
    if (canAllocate && !canAllocate(size))
        return {};
    // A plane that lies beyond the bytes is a truncated file, refused before
    // anything is allocated (cfitsio would read the missing end as zeros).
    const long long pixels = layout->width * layout->height;
    LONGLONG headStart = 0, dataStart = 0, dataEnd = 0;
    int status = 0;
    if (pixels > (long long)bytes.size()
        || fits_get_hduaddrll(memory.file, &headStart, &dataStart, &dataEnd, &status) != 0
        || dataStart + pixels * layout->bytesPerPixel > (long long)bytes.size())
        return {};
    std::vector<float> values(static_cast<size_t>(pixels));
    std::vector<LONGLONG> first(kMaxAxes, 1);
    // Undefined pixels (BLANK, or NaN in floating-point data) read as NaN.
    float undefined = std::numeric_limits<float>::quiet_NaN();
    int anyUndefined = 0;
    if (fits_read_pixll(memory.file, TFLOAT, first.data(), pixels, &undefined, values.data(), &anyUndefined,
                        &status)
        != 0)
        return {};
    return stretchToGrey(values.data(), size.width(), size.height(), !storedTopDown(memory.file));
}

QImage stretchToGrey(const float *values, int width, int height, bool firstRowAtBottom)
{
    QImage image(width, height, QImage::Format_Grayscale8);
    if (image.isNull())
        return {};
    const size_t count = size_t(width) * size_t(height);
    // The background from a sample of at most a million pixels; the maximum
    // from all of them, so the brightest core keeps its own level.
    const size_t stride = std::max<size_t>(1, count / 1000000);
    float high = -std::numeric_limits<float>::infinity();
    // NaN fails the comparisons, and an infinity is not a level.
    for (size_t i = 0; i < count; ++i)
        if (values[i] > high && values[i] <= std::numeric_limits<float>::max())
            high = values[i];
    std::vector<float> sample;
    sample.reserve(count / stride + 1);
    for (size_t i = 0; i < count; i += stride)
        if (std::isfinite(values[i]))
            sample.push_back(values[i]);
    float low = high;
    if (!sample.empty()) {
        // The 1st percentile: dark enough to show the sky's noise, above the
        // few dead or cold pixels.
        const auto at = sample.begin() + std::ptrdiff_t(sample.size() / 100);
        std::nth_element(sample.begin(), at, sample.end());
        low = *at;
    }
    const double range = double(high) - double(low);
    const float scale = range > 0 ? float(1 / range) : 0.0f;
    for (int row = 0; row < height; ++row) {
        const float *in = values + size_t(row) * size_t(width);
        uchar *out = image.scanLine(firstRowAtBottom ? height - 1 - row : row);
        for (int x = 0; x < width; ++x) {
            const float t = (in[x] - low) * scale;
            // NaN fails the test and stays dark.
            const float clamped = t > 0 ? std::min(t, 1.0f) : 0.0f;
            out[x] = uchar(255 * std::sqrt(clamped) + 0.5f);
        }
    }
    return image;
}

} // namespace fits
