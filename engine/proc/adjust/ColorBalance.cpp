#include "proc/adjust/ColorBalance.h"

#include "proc/adjust/AdjustRows.h"
#include "proc/adjust/ToneMap.h"

#include <array>

namespace ie::proc {

namespace {

void shiftChannels(
    Bitmap& image, const Selection* selection, std::array<double, 3> shift, const char* name) {
    if (shift[0] == 0 && shift[1] == 0 && shift[2] == 0) {
        detail::requireAdjustable(image, name);
        return;
    }
    applyToneMap(
        image, selection, [&](int c, double v) { return v + shift[c]; }, name);
}

} // namespace

void rgbBalance(Bitmap& image, const Selection* selection, double red, double green, double blue) {
    detail::requireRange(red, -100, 100, "Red");
    detail::requireRange(green, -100, 100, "Green");
    detail::requireRange(blue, -100, 100, "Blue");
    const double luma = (0.299 * red + 0.587 * green + 0.114 * blue) / 100;
    shiftChannels(image, selection, { red / 100 - luma, green / 100 - luma, blue / 100 - luma },
        "Color Balance");
}

void intensityRgb(Bitmap& image, const Selection* selection, int red, int green, int blue) {
    detail::requireRange(red, -255, 255, "Red");
    detail::requireRange(green, -255, 255, "Green");
    detail::requireRange(blue, -255, 255, "Blue");
    shiftChannels(
        image, selection, { red / 255.0, green / 255.0, blue / 255.0 }, "Channel intensity");
}

} // namespace ie::proc
