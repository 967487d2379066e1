#include "proc/paint/Merge.h"

#include "imaging/Error.h"
#include "imaging/Resample.h"
#include "proc/MaskBlend.h"
#include "proc/paint/PixelMap.h"

#include <string>

namespace ie::proc {

void mergeBitmap(Bitmap& image, const Bitmap& other, int percent, const Selection* selection) {
    if (percent < 0 || percent > 100)
        throw Error(
            "The blending value must lie between 0 and 100, not " + std::to_string(percent) + ".");
    if (image.isNull() || other.isNull()) throw Error("There is no image to blend.");
    const Bitmap top = other.width() == image.width() && other.height() == image.height()
        ? other
        : resample(other, image.width(), image.height(), ResampleFilter::Bilinear);
    editSelected(image, selection, [&](Bitmap& b, Rect r) {
        mapPixels(b, r, [&](int x, int y, Rgba& c) {
            const Rgba o = top.pixel(x, y);
            const int w = percent * o.a; // out of 100 * 255
            if (w == 0) return false;
            const auto mix = [w](int a, int t) {
                return std::uint8_t((a * (25500 - w) + t * w + 12750) / 25500);
            };
            c = { mix(c.r, o.r), mix(c.g, o.g), mix(c.b, o.b), c.a };
            return true;
        });
    });
}

} // namespace ie::proc
