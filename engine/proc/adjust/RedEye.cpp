#include "proc/adjust/RedEye.h"

#include "proc/adjust/AdjustRows.h"

namespace ie::proc {

void removeRedEyes(Bitmap& image, const Selection* selection) {
    detail::forEachRgb(
        image, selection, "Remove Red Eyes", [](float& r, float& g, float& b, int, int) {
            const float rest = (g + b) / 2;
            if (r < 0.16f) return; // too dark to be a lit pupil
            // Redness from 1.4 to 1.8 times the other channels fades the correction in.
            const float ratio = r / std::max(rest, 1.f / 255);
            const float w = std::clamp((ratio - 1.4f) / 0.4f, 0.f, 1.f);
            r += w * (rest - r);
        });
}

} // namespace ie::proc
