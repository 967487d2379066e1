#include "ReducedLevels.h"

#include "imaging/BitmapOps.h"
#include "imaging/Convert.h"
#include "imaging/Parallel.h"

#include <algorithm>
#include <cmath>

namespace ie {

namespace {

bool reducible(PixelFormat f) {
    return f == PixelFormat::Gray8 || f == PixelFormat::Rgb24 || f == PixelFormat::Rgba32;
}

// Averages rows `a` and `b` (b may equal a at an odd bottom edge) pairwise into `out`, `n`
// channels per pixel; `alphaA` / `alphaB` weight the colours when given (alpha planes), or
// the interleaved fourth channel does (Rgba32 with n == 4 and interleaved).
void halveRow(const std::uint8_t* a, const std::uint8_t* b, const std::uint8_t* alphaA,
    const std::uint8_t* alphaB, int srcW, int n, bool interleaved, std::uint8_t* out,
    std::uint8_t* outAlpha) {
    const int outW = (srcW + 1) / 2;
    for (int x = 0; x < outW; ++x) {
        const int x0 = 2 * x, x1 = std::min(2 * x + 1, srcW - 1);
        const std::uint8_t* p[4] = { a + x0 * n, a + x1 * n, b + x0 * n, b + x1 * n };
        int w[4] = { 1, 1, 1, 1 };
        if (alphaA)
            w[0] = alphaA[x0], w[1] = alphaA[x1], w[2] = alphaB[x0], w[3] = alphaB[x1];
        else if (interleaved)
            w[0] = p[0][3], w[1] = p[1][3], w[2] = p[2][3], w[3] = p[3][3];
        const int sum = w[0] + w[1] + w[2] + w[3];
        const int colours = interleaved ? 3 : n;
        std::uint8_t* o = out + x * n;
        if (sum == 0) { // fully transparent: plain average keeps some colour
            for (int c = 0; c < colours; ++c)
                o[c] = std::uint8_t((p[0][c] + p[1][c] + p[2][c] + p[3][c] + 2) / 4);
        } else {
            for (int c = 0; c < colours; ++c)
                o[c] = std::uint8_t(
                    (p[0][c] * w[0] + p[1][c] * w[1] + p[2][c] * w[2] + p[3][c] * w[3] + sum / 2)
                    / sum);
        }
        if (interleaved) o[3] = std::uint8_t((sum + 2) / 4);
        if (outAlpha) outAlpha[x] = std::uint8_t((sum + 2) / 4);
    }
}

int channels(PixelFormat f) {
    return f == PixelFormat::Gray8 ? 1 : f == PixelFormat::Rgb24 ? 3 : 4;
}

// Writes rows [y0, y1) of `dst`, the halved `src`.
void halveRows(const Bitmap& src, Bitmap& dst, int y0, int y1) {
    const int n = channels(src.pixelFormat());
    const bool interleaved = src.pixelFormat() == PixelFormat::Rgba32;
    const bool plane = src.hasAlphaPlane();
    for (int y = y0; y < y1; ++y) {
        const int sy0 = 2 * y, sy1 = std::min(2 * y + 1, src.height() - 1);
        halveRow(src.scanline(sy0), src.scanline(sy1), plane ? src.alphaLine(sy0) : nullptr,
            plane ? src.alphaLine(sy1) : nullptr, src.width(), n, interleaved,
            dst.mutableScanline(y), plane ? dst.mutableAlphaLine(y) : nullptr);
    }
}

Bitmap workingCopy(const Bitmap& source) {
    if (reducible(source.pixelFormat())) return source;
    return convertTo(source, source.hasAlpha() ? PixelFormat::Rgba32 : PixelFormat::Rgb24);
}

} // namespace

Bitmap halve(const Bitmap& src) {
    Bitmap dst((src.width() + 1) / 2, (src.height() + 1) / 2, src.pixelFormat());
    if (src.hasAlphaPlane()) dst.addAlphaPlane(255);
    dst.detach();
    parallelFor(0, dst.height(), [&](int y0, int y1) { halveRows(src, dst, y0, y1); });
    return dst;
}

double ReducedLevels::scaleOf(int k) {
    return k <= 0 ? 1.0 : std::ldexp(1.0, -(k + 1));
}

void ReducedLevels::build(const Bitmap& source) {
    m_levels.clear();
    if (source.isNull() || std::max(source.width(), source.height()) < 4 * kSmallestSide) return;
    Bitmap current = halve(halve(workingCopy(source)));
    m_levels.push_back(current);
    while (std::max(current.width(), current.height()) >= 2 * kSmallestSide) {
        current = halve(current);
        m_levels.push_back(current);
    }
}

void ReducedLevels::rebuildRows(const Bitmap& source, int y0, int y1) {
    if (m_levels.empty()) return;
    if (!reducible(source.pixelFormat())) return build(source);
    // Level 1 from a band of source rows aligned to 4, so the band halves as the whole did.
    const int a = y0 / 4 * 4, b = std::min(source.height(), (y1 + 3) / 4 * 4);
    const Bitmap band = halve(halve(crop(source, { 0, a, source.width(), b - a })));
    Bitmap& first = m_levels.front();
    const int rows = std::min(band.height(), first.height() - a / 4);
    if (rows <= 0) return;
    copyRect(band, { 0, 0, band.width(), rows }, first, 0, a / 4);
    y0 = a / 4, y1 = a / 4 + rows;
    for (std::size_t k = 1; k < m_levels.size(); ++k) {
        Bitmap& level = m_levels[k];
        y0 = y0 / 2;
        y1 = std::min(level.height(), (y1 + 1) / 2);
        if (y1 <= y0) break;
        level.detachRows(y0, y1);
        const Bitmap& prev = m_levels[k - 1];
        parallelFor(y0, y1, [&](int r0, int r1) { halveRows(prev, level, r0, r1); });
    }
}

std::size_t ReducedLevels::memoryBytes() const {
    std::size_t bytes = 0;
    for (const Bitmap& b : m_levels)
        bytes += b.memoryBytes();
    return bytes;
}

} // namespace ie
