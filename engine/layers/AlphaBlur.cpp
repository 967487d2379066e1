#include "AlphaBlur.h"

#include "imaging/Parallel.h"

#include <algorithm>
#include <cmath>

namespace ie {

namespace {

// One box pass of half-width k along a line of n values spaced `stride` apart (outside is 0).
void boxLine(std::uint8_t* line, int n, int stride, int k, std::vector<int>& tmp) {
    tmp.resize(n);
    for (int i = 0; i < n; ++i)
        tmp[i] = line[i * stride];
    const int window = 2 * k + 1;
    int sum = 0;
    for (int i = 0; i <= std::min(k, n - 1); ++i)
        sum += tmp[i];
    for (int i = 0; i < n; ++i) {
        line[i * stride] = static_cast<std::uint8_t>((sum + window / 2) / window);
        const int add = i + k + 1, drop = i - k;
        if (add < n) sum += tmp[add];
        if (drop >= 0) sum -= tmp[drop];
    }
}

} // namespace

void blurAlpha(std::vector<std::uint8_t>& plane, int width, int height, double radius) {
    if (radius < 0.5 || width <= 0 || height <= 0) return;
    const int k = std::max(1, static_cast<int>(std::lround(radius / 2)));
    parallelFor(0, height, [&](int y0, int y1) {
        std::vector<int> tmp;
        for (int y = y0; y < y1; ++y)
            for (int pass = 0; pass < 3; ++pass)
                boxLine(plane.data() + std::size_t(y) * width, width, 1, k, tmp);
    });
    parallelFor(
        0, width,
        [&](int x0, int x1) {
            std::vector<int> tmp;
            for (int x = x0; x < x1; ++x)
                for (int pass = 0; pass < 3; ++pass)
                    boxLine(plane.data() + x, height, width, k, tmp);
        },
        64);
}

} // namespace ie
