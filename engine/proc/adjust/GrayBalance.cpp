#include "proc/adjust/GrayBalance.h"

#include "proc/adjust/AdjustRows.h"
#include "proc/adjust/ColorMatrix.h"

namespace ie::proc {

void grayScaleBalance(
    Bitmap& image, const Selection* selection, double red, double green, double blue) {
    detail::requireRange(red, 0, 200, "Red");
    detail::requireRange(green, 0, 200, "Green");
    detail::requireRange(blue, 0, 200, "Blue");
    ColorMatrix m;
    for (auto& row : m.m)
        row = { float(red / 100), float(green / 100), float(blue / 100), 0 };
    applyColorMatrix(image, selection, m, "Gray-Scale Balance");
}

} // namespace ie::proc
