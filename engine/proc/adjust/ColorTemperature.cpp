#include "proc/adjust/ColorTemperature.h"

#include "proc/adjust/AdjustRows.h"
#include "proc/adjust/ColorMatrix.h"

namespace ie::proc {

void temperatureTintSaturation(
    Bitmap& image, const Selection* selection, double temperature, double tint, double saturation) {
    detail::requireRange(temperature, -100, 100, "Temperature");
    detail::requireRange(tint, -100, 100, "Tint");
    detail::requireRange(saturation, -100, 100, "Saturation");
    const double t = temperature / 400, g = tint / 400;
    const ColorMatrix m = ColorMatrix::saturation(1 + saturation / 100)
                              .after(ColorMatrix::gains(1 + t, 1 - g, 1 - t));
    applyColorMatrix(image, selection, m, "Temperature / Tint / Saturation");
}

} // namespace ie::proc
