#pragma once
// Snapping a click onto the star under it. The pick is the centre of the
// brightest 7 x 7 pixel patch whose centre lies within 3 pixels of the pointer
// along each axis; "brightest" is the plain sum of the packed colour values
// (red + 256 green + 65536 blue), so blue weighs most in a colour image.
// Works over any pixel reader and needs no widget. Positions are whole image
// pixels, x to the right and y down from the image's top-left corner.

#include <functional>

namespace starpick {

// Packed colour of the image pixel at (x, y): red + 256 green + 65536 blue,
// or -1 for a position outside the picture.
using PixelReader = std::function<int(int x, int y)>;

inline constexpr int kSearchRadius = 3; // candidate centres: pointer -3 .. +3 on each axis
inline constexpr int kPatchRadius = 3;  // a patch is 7 x 7 pixels

// Sum of the 49 packed values of the patch centred on (cx, cy); a pixel
// outside the picture counts -1.
double patchScore(const PixelReader &pixel, int cx, int cy);

struct Pick {
    int x = 0;
    int y = 0;
    double score = 0;     // score of the winning patch; 0 when nothing scored above 0
    bool snapped = false; // false: no candidate scored above 0, the pointer is kept
};

// The pick for a pointer at (pointerX, pointerY). Candidates are scanned with
// x in the outer loop and y in the inner one; a candidate wins only on a
// strictly larger score, so of equal scores the smallest x, then the smallest
// y, is kept. When no candidate scores above 0 (a black area, or the pointer
// off the picture) the pick is the pointer's own position: snapping it to the
// image corner would place a star where none was picked.
Pick snapToStar(int pointerX, int pointerY, const PixelReader &pixel);

} // namespace starpick
