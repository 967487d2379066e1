#include "proc/retouch/DabMask.h"

#include <algorithm>
#include <cmath>

namespace ie::proc {

std::vector<std::uint8_t> dabStrength(const Dab& dab, Rect area) {
    std::vector<std::uint8_t> out(std::size_t(std::max(0, area.w)) * std::max(0, area.h));
    const Rect r = dab.rect();
    const float rx = float(r.w) * 0.5f, ry = float(r.h) * 0.5f;
    const float cx = float(r.x) + rx, cy = float(r.y) + ry;
    const float feather = float(std::max(0, dab.feathering));
    for (int j = 0; j < area.h; ++j)
        for (int i = 0; i < area.w; ++i) {
            const float px = float(area.x + i) + 0.5f, py = float(area.y + j) + 0.5f;
            float inside; // distance to the edge, inwards positive, in pixels
            if (dab.shape == DabShape::Rectangle) {
                inside = std::min(rx - std::fabs(px - cx), ry - std::fabs(py - cy));
            } else {
                const float dx = (px - cx) / rx, dy = (py - cy) / ry;
                inside = (1.f - std::sqrt(dx * dx + dy * dy)) * std::min(rx, ry);
            }
            const float s = feather > 0 ? inside / feather : (inside > 0 ? 1.f : 0.f);
            out[std::size_t(j) * area.w + i] = std::uint8_t(std::clamp(s, 0.f, 1.f) * 255.f + 0.5f);
        }
    return out;
}

} // namespace ie::proc
