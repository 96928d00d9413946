#pragma once
// FITS frames as the image box shows them: the first image of the file (the
// primary one, or else the first image extension), its first plane when it is
// a cube, in grey, with the first row at the bottom unless ROWORDER says
// TOP-DOWN, and stretched between the frame's own background and maximum so
// that the sky, the faint stars and the shape of the star cores all show.

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <optional>

namespace fits {

// Whether the bytes begin as a FITS file does ("SIMPLE  =").
bool looksLikeFits(const QByteArray &head);

// The width and height of the frame that readFrame would decode, read from
// the headers alone; nothing when the headers are unusable or lie beyond the
// bytes given. Sizes beyond an int read as INT_MAX, so a size limit refuses
// them.
std::optional<QSize> frameSize(const QByteArray &bytes);

// The frame as a grey image; a null image when the file is damaged,
// truncated, holds no image, or canAllocate refuses the frame's size.
using SizeCheck = bool (*)(QSize size);
QImage readFrame(const QByteArray &bytes, SizeCheck canAllocate = nullptr);

// The grey levels of values (width x height, rows in the order given; NaN
// reads as the darkest): the square root of the value above a low percentile,
// scaled so that the largest value is white.
QImage stretchToGrey(const float *values, int width, int height, bool firstRowAtBottom);

} // namespace fits
