#include "proc/filter/Window.h"

#include "proc/filter/FilterCore.h"

#include <vector>

namespace ie::proc::detail {

void windowFilter(
    const Bitmap& src, Bitmap& dst, Rect rect, int half, bool keepAlpha, const WindowBody& body) {
    dispatch(src.pixelFormat(), [&](auto layout) {
        using T = typename decltype(layout)::Sample;
        const int C = layout.channels, K = 2 * half + 1, n = rect.w * C;
        const std::size_t len = std::size_t(rect.w + 2 * half) * C;
        forBands(rect.y, rect.bottom(), 16, [&](int b0, int b1) {
            std::vector<float> ring(len * K), out(n);
            std::vector<const float*> rows(K);
            auto slot = [&](int yy) { return ring.data() + len * std::size_t((yy - b0 + K) % K); };
            auto load = [&](int yy) {
                const int sy = std::clamp(yy, 0, src.height() - 1);
                loadRow(
                    row<T>(src, sy), src.width(), C, rect.x - half, rect.right() + half, slot(yy));
            };
            for (int yy = b0 - half; yy < b0 + half; ++yy)
                load(yy);
            for (int y = b0; y < b1; ++y) {
                load(y + half);
                for (int k = 0; k < K; ++k)
                    rows[k] = slot(y - half + k);
                body(rows.data(), out.data(), n, C);
                T* d = mutableRow<T>(dst, y) + std::size_t(rect.x) * C;
                if (keepAlpha && C == 4) {
                    const T* s = row<T>(src, y) + std::size_t(rect.x) * C;
                    for (int i = 3; i < n; i += 4)
                        out[i] = float(s[i]);
                }
                storeRow(out.data(), n, d);
            }
        });
    });
}

} // namespace ie::proc::detail
