#include "PngFilter.h"

#include <cstdlib>
#include <cstring>

namespace ie::io::png_filter {

namespace {

enum Filter : std::uint8_t { None = 0, Sub = 1, Up = 2, Average = 3, Paeth = 4 };

/// A residual's weight in the choice: its distance from zero as a signed byte.
inline std::uint32_t cost(std::uint8_t v) {
    return v < 128 ? v : 256u - v;
}

std::uint32_t costOfRow(const std::uint8_t* row, std::size_t n) {
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < n; ++i)
        sum += cost(row[i]);
    return sum;
}

std::uint32_t sub(const std::uint8_t* row, std::size_t n, std::size_t bpp, std::uint8_t* out) {
    std::memcpy(out, row, bpp);
    for (std::size_t i = bpp; i < n; ++i)
        out[i] = std::uint8_t(row[i] - row[i - bpp]);
    return costOfRow(out, n);
}

std::uint32_t up(
    const std::uint8_t* row, const std::uint8_t* prev, std::size_t n, std::uint8_t* out) {
    for (std::size_t i = 0; i < n; ++i)
        out[i] = std::uint8_t(row[i] - prev[i]);
    return costOfRow(out, n);
}

std::uint32_t average(const std::uint8_t* row, const std::uint8_t* prev, std::size_t n,
    std::size_t bpp, std::uint8_t* out) {
    for (std::size_t i = 0; i < bpp; ++i)
        out[i] = std::uint8_t(row[i] - (prev[i] >> 1));
    for (std::size_t i = bpp; i < n; ++i)
        out[i] = std::uint8_t(row[i] - ((row[i - bpp] + prev[i]) >> 1));
    return costOfRow(out, n);
}

inline int paethPredictor(int a, int b, int c) {
    const int pa = std::abs(b - c), pb = std::abs(a - c), pc = std::abs(a + b - 2 * c);
    return pa <= pb && pa <= pc ? a : (pb <= pc ? b : c);
}

std::uint32_t paeth(const std::uint8_t* row, const std::uint8_t* prev, std::size_t n,
    std::size_t bpp, std::uint8_t* out) {
    for (std::size_t i = 0; i < bpp; ++i) // left and upper-left are zero: the predictor is up
        out[i] = std::uint8_t(row[i] - prev[i]);
    for (std::size_t i = bpp; i < n; ++i)
        out[i] = std::uint8_t(row[i] - paethPredictor(row[i - bpp], prev[i], prev[i - bpp]));
    return costOfRow(out, n);
}

} // namespace

RowFilter::RowFilter(std::size_t rowBytes, int bytesPerPixel, bool adaptive)
    : m_rowBytes(rowBytes)
    , m_bpp(bytesPerPixel)
    , m_adaptive(adaptive)
    , m_zero(rowBytes, 0)
    , m_candidates(adaptive ? rowBytes * 4 : 0) { }

void RowFilter::filter(const std::uint8_t* row, const std::uint8_t* prev, std::uint8_t* out) {
    const std::size_t n = m_rowBytes, bpp = std::size_t(m_bpp);
    if (!m_adaptive) {
        out[0] = None;
        std::memcpy(out + 1, row, n);
        return;
    }
    if (!prev) prev = m_zero.data();
    std::uint8_t* c = m_candidates.data();
    const std::uint32_t costs[5] = {
        costOfRow(row, n),
        sub(row, n, bpp, c),
        up(row, prev, n, c + n),
        average(row, prev, n, bpp, c + 2 * n),
        paeth(row, prev, n, bpp, c + 3 * n),
    };
    int best = None;
    for (int f = Sub; f <= Paeth; ++f)
        if (costs[f] < costs[best]) best = f;
    out[0] = std::uint8_t(best);
    std::memcpy(out + 1, best == None ? row : c + (best - 1) * n, n);
}

} // namespace ie::io::png_filter
