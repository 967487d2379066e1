#include "SelectionOutline.h"

#include <vector>

namespace ie {

QPainterPath selectionOutline(const Selection& selection) {
    QPainterPath path;
    if (selection.isEmpty()) return path;
    const Bitmap& mask = selection.mask();
    const Rect b = selection.bounds();
    const int x0 = b.x, x1 = b.right(), y0 = b.y, y1 = b.bottom();
    auto in = [&](int x, int y) {
        return x >= x0 && x < x1 && y >= y0 && y < y1 && mask.scanline(y)[x] >= 128;
    };
    // Vertical edges at column boundaries x0..x1 are merged down the rows.
    std::vector<int> open(std::size_t(x1 - x0 + 1), -1);
    for (int y = y0; y <= y1; ++y) {
        // Horizontal edges between rows y-1 and y.
        int start = -1;
        for (int x = x0; x <= x1; ++x) {
            const bool edge = x < x1 && in(x, y - 1) != in(x, y);
            if (edge && start < 0) start = x;
            if (!edge && start >= 0) {
                path.moveTo(start, y);
                path.lineTo(x, y);
                start = -1;
            }
        }
        // Vertical edges on row y, between columns x-1 and x.
        for (int x = x0; x <= x1; ++x) {
            const bool edge = y < y1 && in(x - 1, y) != in(x, y);
            int& o = open[std::size_t(x - x0)];
            if (edge && o < 0) o = y;
            if (!edge && o >= 0) {
                path.moveTo(x, o);
                path.lineTo(x, y);
                o = -1;
            }
        }
    }
    return path;
}

} // namespace ie
