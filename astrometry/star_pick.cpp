#include "astrometry/star_pick.h"

namespace starpick {

double patchScore(const PixelReader &pixel, int cx, int cy)
{
    double sum = 0;
    for (int i = -kPatchRadius; i <= kPatchRadius; ++i)
        for (int j = -kPatchRadius; j <= kPatchRadius; ++j)
            sum += pixel(cx + i, cy + j);
    return sum;
}

Pick snapToStar(int pointerX, int pointerY, const PixelReader &pixel)
{
    Pick best{pointerX, pointerY, 0, false};
    for (int cx = pointerX - kSearchRadius; cx <= pointerX + kSearchRadius; ++cx) {
        for (int cy = pointerY - kSearchRadius; cy <= pointerY + kSearchRadius; ++cy) {
            const double score = patchScore(pixel, cx, cy);
            if (best.score < score)
                best = {cx, cy, score, true};
        }
    }
    return best;
}

} // namespace starpick
