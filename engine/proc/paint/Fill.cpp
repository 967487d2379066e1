#include "proc/paint/Fill.h"

#include "proc/MaskBlend.h"
#include "proc/paint/PixelMap.h"

#include <cmath>

namespace ie::proc {

void fillColor(Bitmap& image, Rgba color, const Selection* selection) {
    editSelected(image, selection, [&](Bitmap& b, Rect r) {
        mapPixels(b, r, [&](int, int, Rgba& c) {
            c = color;
            return true;
        });
    });
}

void fillAlpha(Bitmap& image, std::uint8_t alpha, const Selection* selection,
    AlphaGradient direction, std::uint8_t endAlpha) {
    if (image.isNull()) return;
    if (image.pixelFormat() != PixelFormat::Rgba32 && !image.hasAlphaPlane())
        image.addAlphaPlane(255);
    editSelected(image, selection, [&](Bitmap& b, Rect r) {
        const int span = direction == AlphaGradient::Horizontal ? r.w : r.h;
        const double step = span > 1 ? (double(endAlpha) - alpha) / (span - 1) : 0;
        mapPixels(b, r, [&](int x, int y, Rgba& c) {
            const int i = direction == AlphaGradient::Horizontal ? x - r.x : y - r.y;
            c.a = direction == AlphaGradient::None ? alpha
                                                   : std::uint8_t(std::lround(alpha + step * i));
            return true;
        });
    });
}

} // namespace ie::proc
