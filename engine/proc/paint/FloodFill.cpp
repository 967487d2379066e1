#include "proc/paint/FloodFill.h"

#include "proc/MaskBlend.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace ie::proc {

namespace {

bool near(Rgba a, Rgba b, int tolerance) {
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance
        && std::abs(a.b - b.b) <= tolerance && std::abs(a.a - b.a) <= tolerance;
}

// Marks the reachable pixels of `area` in `reached` (area-sized) by scanline spans.
std::int64_t markArea(const Bitmap& image, const Rect& area, int sx, int sy, int tolerance,
    std::vector<std::uint8_t>& reached) {
    const Rgba seed = image.pixel(sx, sy);
    const auto at = [&](int x, int y) -> std::uint8_t& {
        return reached[std::size_t(y - area.y) * area.w + std::size_t(x - area.x)];
    };
    const auto fits
        = [&](int x, int y) { return !at(x, y) && near(image.pixel(x, y), seed, tolerance); };
    std::int64_t count = 0;
    std::vector<std::pair<int, int>> stack { { sx, sy } };
    while (!stack.empty()) {
        auto [x, y] = stack.back();
        stack.pop_back();
        if (!fits(x, y)) continue;
        int l = x, r = x;
        while (l > area.x && fits(l - 1, y))
            --l;
        while (r + 1 < area.right() && fits(r + 1, y))
            ++r;
        for (int i = l; i <= r; ++i)
            at(i, y) = 1;
        count += r - l + 1;
        for (int ny : { y - 1, y + 1 }) {
            if (ny < area.y || ny >= area.bottom()) continue;
            bool open = false; // one push per run of candidates
            for (int i = l; i <= r; ++i) {
                const bool ok = fits(i, ny);
                if (ok && !open) stack.emplace_back(i, ny);
                open = ok;
            }
        }
    }
    return count;
}

} // namespace

std::int64_t floodFill(
    Bitmap& image, int x, int y, const FloodFill& fill, const Selection* selection) {
    const Rect area = workRect(image, selection);
    if (x < area.x || y < area.y || x >= area.right() || y >= area.bottom()) return 0;
    if (selection && !selection->isEmpty() && selection->at(x, y) == 0) return 0;
    if (fill.alphaOnly && image.pixelFormat() != PixelFormat::Rgba32 && !image.hasAlphaPlane())
        image.addAlphaPlane(255);
    std::vector<std::uint8_t> reached(std::size_t(area.w) * std::size_t(area.h), 0);
    const std::int64_t count
        = markArea(image, area, x, y, std::clamp(fill.tolerance, 0, 255), reached);
    editSelected(image, selection, [&](Bitmap& b, Rect r) {
        for (int py = r.y; py < r.bottom(); ++py)
            for (int px = r.x; px < r.right(); ++px) {
                if (!reached[std::size_t(py - area.y) * area.w + std::size_t(px - area.x)])
                    continue;
                Rgba c = fill.color;
                if (fill.alphaOnly) {
                    c = b.pixel(px, py);
                    c.a = fill.alpha;
                }
                b.setPixel(px, py, c);
                if (b.hasAlphaPlane()) b.mutableAlphaLine(py)[px] = c.a;
            }
    });
    return count;
}

} // namespace ie::proc
