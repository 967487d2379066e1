#include "proc/paint/ColorCast.h"

#include "proc/MaskBlend.h"
#include "proc/paint/PixelMap.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>

namespace ie::proc {

std::int64_t castColorRange(
    Bitmap& image, Rgba color, Rgba newColor, int tolerance, const Selection* selection) {
    tolerance = std::clamp(tolerance, 0, 255);
    std::atomic<std::int64_t> changed = 0;
    editSelected(image, selection, [&](Bitmap& b, Rect r) {
        mapPixels(b, r, [&](int, int, Rgba& c) {
            if (std::abs(c.r - color.r) > tolerance || std::abs(c.g - color.g) > tolerance
                || std::abs(c.b - color.b) > tolerance)
                return false;
            c = { newColor.r, newColor.g, newColor.b, c.a };
            changed.fetch_add(1, std::memory_order_relaxed);
            return true;
        });
    });
    return changed;
}

} // namespace ie::proc
