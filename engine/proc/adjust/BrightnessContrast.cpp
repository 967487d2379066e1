#include "proc/adjust/BrightnessContrast.h"

#include "proc/adjust/AdjustRows.h"
#include "proc/adjust/ToneMap.h"

#include <cmath>
#include <numbers>

namespace ie::proc {

void brightnessContrastExposure(Bitmap& image, const Selection* selection, double brightness,
    double contrast, double exposure) {
    detail::requireRange(brightness, -100, 100, "Brightness");
    detail::requireRange(contrast, -100, 100, "Contrast");
    detail::requireRange(exposure, -5, 5, "Exposure");
    if (brightness == 0 && contrast == 0 && exposure == 0) {
        detail::requireAdjustable(image, "Brightness / Contrast / Exposure");
        return;
    }
    const double gain = std::exp2(exposure);
    // tan maps -100..100 onto a slope of 0..infinity with 0 giving exactly 1.
    const double slope
        = contrast >= 100 ? 1e6 : std::tan((contrast / 100 + 1) * std::numbers::pi / 4);
    const double shift = brightness / 200;
    applyToneMap(
        image, selection, [&](int, double v) { return (v * gain - 0.5) * slope + 0.5 + shift; },
        "Brightness / Contrast / Exposure");
}

} // namespace ie::proc
