#include "proc/filter/Median.h"

#include "proc/filter/FilterCore.h"

#include <array>
#include <vector>

namespace ie::proc {

using namespace detail;

namespace {

// Copies pixels [x0 - 1, x0 + w + 1) of row y (clamped) so the 3 x 3 network reads no edge case.
template <class T> void padRow(const Bitmap& src, int y, int x0, int w, int C, T* out) {
    const int W = src.width();
    const T* s = row<T>(src, std::clamp(y, 0, src.height() - 1));
    const int first = std::max(x0 - 1, 0), last = std::min(x0 + w + 1, W); // columns in the image
    int x = x0 - 1;
    for (; x < first; ++x)
        std::copy(s, s + C, out + (x - x0 + 1) * C);
    std::copy(s + std::size_t(first) * C, s + std::size_t(last) * C, out + (first - x0 + 1) * C);
    for (x = last; x <= x0 + w; ++x)
        std::copy(s + std::size_t(W - 1) * C, s + std::size_t(W) * C, out + (x - x0 + 1) * C);
}

template <class T> inline void sort2(T& a, T& b) {
    const T lo = std::min(a, b), hi = std::max(a, b);
    a = lo;
    b = hi;
}

// Median of nine by the classic 19-exchange network; written over whole rows so it vectorises.
template <class T> void median3Row(const T* a, const T* b, const T* c, int n, int C, T* out) {
    for (int i = 0; i < n; ++i) {
        T p0 = a[i], p1 = a[i + C], p2 = a[i + 2 * C], p3 = b[i], p4 = b[i + C], p5 = b[i + 2 * C],
          p6 = c[i], p7 = c[i + C], p8 = c[i + 2 * C];
        sort2(p1, p2), sort2(p4, p5), sort2(p7, p8), sort2(p0, p1), sort2(p3, p4), sort2(p6, p7);
        sort2(p1, p2), sort2(p4, p5), sort2(p7, p8), sort2(p0, p3), sort2(p5, p8), sort2(p4, p7);
        sort2(p3, p6), sort2(p1, p4), sort2(p2, p5), sort2(p4, p7), sort2(p4, p2), sort2(p6, p4);
        sort2(p4, p2);
        out[i] = p4;
    }
}

template <class T, int C> void median3(const Bitmap& src, Bitmap& dst, Rect rect) {
    forBands(rect.y, rect.bottom(), 16, [&](int b0, int b1) {
        const std::size_t len = std::size_t(rect.w + 2) * C;
        std::vector<T> buf(3 * len);
        T* rows[3] = { buf.data(), buf.data() + len, buf.data() + 2 * len };
        padRow(src, b0 - 1, rect.x, rect.w, C, rows[0]);
        padRow(src, b0, rect.x, rect.w, C, rows[1]);
        for (int y = b0; y < b1; ++y) {
            padRow(src, y + 1, rect.x, rect.w, C, rows[2]);
            median3Row(rows[0], rows[1], rows[2], rect.w * C, C,
                mutableRow<T>(dst, y) + std::size_t(rect.x) * C);
            std::swap(rows[0], rows[1]);
            std::swap(rows[1], rows[2]);
        }
    });
}

// Huang's sliding histogram for 8-bit samples: each step adds one column and drops one.
template <int C> void medianHistogram(const Bitmap& src, Bitmap& dst, Rect rect, int r) {
    const int W = src.width(), H = src.height();
    const int half = (2 * r + 1) * (2 * r + 1) / 2;
    forBands(rect.y, rect.bottom(), 8, [&](int b0, int b1) {
        std::vector<const std::uint8_t*> rows(2 * r + 1);
        for (int y = b0; y < b1; ++y) {
            for (int k = -r; k <= r; ++k)
                rows[k + r] = src.scanline(std::clamp(y + k, 0, H - 1));
            std::uint8_t* out = dst.mutableScanline(y);
            for (int c = 0; c < C; ++c) {
                std::array<int, 256> hist {};
                auto column = [&](int x, int delta) {
                    const int sx = std::clamp(x, 0, W - 1) * C + c;
                    for (const std::uint8_t* p : rows)
                        hist[p[sx]] += delta;
                };
                for (int x = rect.x - r; x <= rect.x + r; ++x)
                    column(x, 1);
                int m = 0, below = 0;
                for (int x = rect.x; x < rect.right(); ++x) {
                    if (x > rect.x) {
                        const int gone = std::clamp(x - r - 1, 0, W - 1) * C + c;
                        const int come = std::clamp(x + r, 0, W - 1) * C + c;
                        for (const std::uint8_t* p : rows) {
                            --hist[p[gone]];
                            below -= p[gone] < m;
                            ++hist[p[come]];
                            below += p[come] < m;
                        }
                    }
                    while (below > half)
                        below -= hist[--m];
                    while (below + hist[m] <= half)
                        below += hist[m++];
                    out[x * C + c] = std::uint8_t(m);
                }
            }
        }
    });
}

// 16-bit samples with a large radius: selection of the middle value, buffer reused.
template <int C> void medianSelect(const Bitmap& src, Bitmap& dst, Rect rect, int r) {
    const int W = src.width(), H = src.height();
    forBands(rect.y, rect.bottom(), 8, [&](int b0, int b1) {
        std::vector<std::uint16_t> win((2 * r + 1) * (2 * r + 1));
        for (int y = b0; y < b1; ++y) {
            std::uint16_t* out = mutableRow<std::uint16_t>(dst, y);
            for (int x = rect.x; x < rect.right(); ++x)
                for (int c = 0; c < C; ++c) {
                    std::size_t n = 0;
                    for (int k = -r; k <= r; ++k) {
                        const std::uint16_t* p
                            = row<std::uint16_t>(src, std::clamp(y + k, 0, H - 1));
                        for (int j = -r; j <= r; ++j)
                            win[n++] = p[std::clamp(x + j, 0, W - 1) * C + c];
                    }
                    std::nth_element(win.begin(), win.begin() + n / 2, win.end());
                    out[x * C + c] = win[n / 2];
                }
        }
    });
}

} // namespace

void median(Bitmap& image, int radius, const Selection* selection) {
    requireFilterable(image, "Median");
    if (radius <= 0) return;
    filterWithSource(image, selection, "Median", [&](const Bitmap& src, Bitmap& dst, Rect rect) {
        dispatch(src.pixelFormat(), [&](auto layout) {
            using L = decltype(layout);
            using T = typename L::Sample;
            if (radius == 1)
                median3<T, L::channels>(src, dst, rect);
            else if constexpr (sizeof(T) == 1)
                medianHistogram<L::channels>(src, dst, rect, radius);
            else
                medianSelect<L::channels>(src, dst, rect, radius);
        });
    });
}

} // namespace ie::proc
