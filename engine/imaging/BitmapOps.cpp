#include "BitmapOps.h"

#include "Convert.h"
#include "Error.h"
#include "Parallel.h"
#include "Quantizer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <string>
#include <type_traits>
#include <vector>

namespace ie {

namespace {

using u8 = std::uint8_t;
using u16 = std::uint16_t;
using u32 = std::uint32_t;
using u64 = std::uint64_t;

// ---- Bit rows (Bw1, most significant bit first)

// The 8 bits starting at bit `pos` of a row of `rowBytes` bytes, zeros past its end.
u8 bitsAt(const u8* row, std::size_t rowBytes, std::size_t pos) {
    const std::size_t i = pos >> 3;
    u32 v = u32(row[i]) << 8;
    if (i + 1 < rowBytes) v |= row[i + 1];
    return u8(v >> (8 - (pos & 7)));
}

// Copies `n` bits from bit `sx` of `s` to bit `dx` of `d`; the other bits of `d` are kept.
void copyBits(const u8* s, std::size_t sBytes, int sx, u8* d, int dx, int n) {
    for (int done = 0; done < n;) {
        const int pos = dx + done, bit = pos & 7;
        const int take = std::min(8 - bit, n - done);
        const u8 mask = u8((0xFF >> bit) & (0xFF << (8 - bit - take)));
        const u8 v = u8(bitsAt(s, sBytes, std::size_t(sx) + done) >> bit);
        d[pos >> 3] = u8((d[pos >> 3] & ~mask) | (v & mask));
        done += take;
    }
}

constexpr std::array<u8, 256> kReversedBits = [] {
    std::array<u8, 256> t {};
    for (int i = 0; i < 256; ++i)
        for (int b = 0; b < 8; ++b)
            if (i & (1 << b)) t[i] |= u8(0x80 >> b);
    return t;
}();

// Bit i of `d` = bit w-1-i of `s`, padding bits of `d` cleared.
void reverseBits(const u8* s, u8* d, int w) {
    const int bytes = (w + 7) / 8, pad = bytes * 8 - w;
    // Reversing whole bytes puts the padding first; shifting by it aligns the pixels again.
    for (int j = 0; j < bytes; ++j) {
        const u32 hi = kReversedBits[s[bytes - 1 - j]];
        const u32 lo = j + 1 < bytes ? kReversedBits[s[bytes - 2 - j]] : 0;
        d[j] = u8((hi << pad | lo >> (8 - pad)) & 0xFF);
    }
}

// ---- Rows of whole pixels

template <int N> void reversePixels(const u8* s, u8* d, int w) {
    const u8* p = s + std::size_t(w - 1) * N;
    for (int x = 0; x < w; ++x, p -= N, d += N)
        std::memcpy(d, p, N);
}

// `d` = row `s` of `w` pixels of `bpp` bits, right to left (no aliasing).
void reverseRow(const u8* s, u8* d, int w, int bpp) {
    switch (bpp) {
    case 1:
        return reverseBits(s, d, w);
    case 8:
        return reversePixels<1>(s, d, w);
    case 16:
        return reversePixels<2>(s, d, w);
    case 24:
        return reversePixels<3>(s, d, w);
    case 32:
        return reversePixels<4>(s, d, w);
    case 48:
        return reversePixels<6>(s, d, w);
    default:
        throw Error("Unsupported pixel size");
    }
}

// Copies `w` pixels from column sx of `s` to column dx of `d`.
void copyPixels(const u8* s, std::size_t sBytes, int sx, u8* d, int dx, int w, int bpp) {
    if (bpp == 1) {
        copyBits(s, sBytes, sx, d, dx, w);
    } else {
        const std::size_t n = std::size_t(bpp / 8);
        std::memcpy(d + dx * n, s + sx * n, w * n);
    }
}

// A new bitmap like `src` (format, palette, resolution, alpha plane when it has one).
Bitmap blankLike(const Bitmap& src, int w, int h) {
    Bitmap dst(w, h, src.pixelFormat());
    dst.setPalette(src.palette());
    dst.setDpi(src.dpiX(), src.dpiY());
    if (src.hasAlphaPlane()) dst.addAlphaPlane();
    dst.detach();
    return dst;
}

// Makes rows [y0, y1) private, so that threads may write them without copying shared strips
// of the rest of the bitmap (an undo snapshot keeps sharing those).
void ownRows(Bitmap& bmp, int y0, int y1) {
    for (int y = y0; y < y1; ++y) {
        bmp.mutableScanline(y);
        if (bmp.hasAlphaPlane()) bmp.mutableAlphaLine(y);
    }
}

// Copies `from` (same format as `to`) at `fromRect` into `to` at (tx, ty); both rectangles are
// inside their bitmaps.
void blit(const Bitmap& from, const Rect& fromRect, Bitmap& to, int tx, int ty) {
    ownRows(to, ty, ty + fromRect.h);
    const int bpp = bitsPerPixel(to.pixelFormat());
    parallelFor(0, fromRect.h, [&](int r0, int r1) {
        for (int r = r0; r < r1; ++r) {
            const int sy = fromRect.y + r, dy = ty + r;
            copyPixels(from.scanline(sy), from.rowBytes(), fromRect.x, to.mutableScanline(dy), tx,
                fromRect.w, bpp);
            if (!to.hasAlphaPlane()) continue;
            u8* a = to.mutableAlphaLine(dy) + tx;
            if (from.hasAlphaPlane())
                std::memcpy(a, from.alphaLine(sy) + fromRect.x, fromRect.w);
            else
                std::memset(a, 255, fromRect.w);
        }
    });
}

// `part` as nearest entries of a fixed palette (its alpha plane kept).
Bitmap toPalette(const Bitmap& part, const std::vector<Rgb>& palette) {
    const Bitmap rgb = convertTo(part, PixelFormat::Rgb24);
    Bitmap paletted(rgb.width(), rgb.height(), PixelFormat::Palette8);
    paletted.setPalette(palette);
    paletted.setDpi(rgb.dpiX(), rgb.dpiY());
    if (rgb.hasAlphaPlane()) paletted.addAlphaPlane();
    paletted.detach();
    const PaletteMapper mapper(palette, rgb.pixelCount() > (1 << 20));
    parallelFor(0, rgb.height(), [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            const u8* s = rgb.scanline(y);
            u8* d = paletted.mutableScanline(y);
            for (int x = 0; x < rgb.width(); ++x, s += 3)
                d[x] = u8(mapper.nearest(s[0], s[1], s[2]));
            if (rgb.hasAlphaPlane())
                std::memcpy(paletted.mutableAlphaLine(y), rgb.alphaLine(y), rgb.width());
        }
    });
    return paletted;
}

// `part` in the pixel format (and, for paletted images, the palette) of `dst`.
Bitmap matchFormat(const Bitmap& part, const Bitmap& dst) {
    const PixelFormat f = dst.pixelFormat();
    if (f == PixelFormat::Palette8 && (part.pixelFormat() != f || part.palette() != dst.palette()))
        return toPalette(part, dst.palette());
    return convertTo(part, f);
}

// ---- Blending

// One row of source-over: `C` colour samples of type T per pixel, `sStep`/`dStep` samples
// between pixels, alpha bytes every `saStep`/`daStep` (null: opaque source, no destination
// alpha). `opacity` is 0 to 255.
template <class T, int C> struct RowBlend {
    const T* s;
    int sStep;
    const u8* sa;
    int saStep;
    T* d;
    int dStep;
    u8* da;
    int daStep;

    void run(int w, u32 opacity) const {
        using Acc = std::conditional_t<sizeof(T) == 1, u32, u64>;
        for (int x = 0; x < w; ++x) {
            const u32 a = sa ? (sa[x * saStep] * opacity + 127) / 255 : opacity;
            if (a == 0) continue;
            const T* sp = s + x * sStep;
            T* dp = d + x * dStep;
            if (!da) {
                for (int c = 0; c < C; ++c)
                    dp[c] = T((Acc(sp[c]) * a + Acc(dp[c]) * (255 - a) + 127) / 255);
                continue;
            }
            // Straight (not premultiplied) colours: weight the destination by its coverage.
            u8& dA = da[x * daStep];
            const u32 outA = a + (dA * (255 - a) + 127) / 255;
            const Acc ws = Acc(a) * 255, wd = Acc(dA) * (255 - a), total = Acc(outA) * 255;
            for (int c = 0; c < C; ++c)
                dp[c] = T((Acc(sp[c]) * ws + Acc(dp[c]) * wd + total / 2) / total);
            dA = u8(outA);
        }
    }
};

// Where the samples and the alpha of a row of `bmp` are.
template <class T> struct RowView {
    T* samples;
    int step;
    u8* alpha;
    int alphaStep;
};

template <class T> RowView<T> viewRow(const Bitmap& bmp, int x, u8* colourRow, u8* alphaRow) {
    const PixelFormat f = bmp.pixelFormat();
    const int step = f == PixelFormat::Rgba32 ? 4 : channelCount(f);
    T* samples = reinterpret_cast<T*>(colourRow) + std::size_t(x) * step;
    if (f == PixelFormat::Rgba32) return { samples, 4, reinterpret_cast<u8*>(samples) + 3, 4 };
    return { samples, step, alphaRow ? alphaRow + x : nullptr, 1 };
}

// Blends `src` (a sample layout like dst's) over dst at `target`.
template <class T, int C>
void blendInto(Bitmap& dst, const Bitmap& src, const Rect& target, u32 opacity) {
    ownRows(dst, target.y, target.bottom());
    parallelFor(0, target.h, [&](int r0, int r1) {
        for (int r = r0; r < r1; ++r) {
            const int y = target.y + r;
            // Source rows are only read; the casts give one view type for both sides.
            u8* sRow = const_cast<u8*>(src.scanline(r));
            u8* sAlpha = src.hasAlphaPlane() ? const_cast<u8*>(src.alphaLine(r)) : nullptr;
            const auto sv = viewRow<T>(src, 0, sRow, sAlpha);
            const auto dv = viewRow<T>(dst, target.x, dst.mutableScanline(y),
                dst.hasAlphaPlane() ? dst.mutableAlphaLine(y) : nullptr);
            RowBlend<T, C> { sv.samples, sv.step, sv.alpha, sv.alphaStep, dv.samples, dv.step,
                dv.alpha, dv.alphaStep }
                .run(target.w, opacity);
        }
    });
}

bool rgb8(PixelFormat f) {
    return f == PixelFormat::Rgb24 || f == PixelFormat::Rgba32;
}

// ---- Quarter turns

constexpr int kTile = 64; // a tile of source rows stays in the first-level cache

struct QuarterTurn {
    bool clockwise;
    int srcW, srcH;
    /// The source row that destination column `dx` comes from.
    int srcRow(int dx) const { return clockwise ? srcH - 1 - dx : dx; }
    /// The source column that destination row `dy` comes from.
    int srcCol(int dy) const { return clockwise ? dy : srcW - 1 - dy; }
};

template <int N> void turnTile(const u8* const* rows, int n, int col, u8* d) {
    const std::size_t offset = std::size_t(col) * N;
    for (int i = 0; i < n; ++i, d += N)
        std::memcpy(d, rows[i] + offset, N);
}

void turnTileBits(const u8* const* rows, int n, int col, u8* d) {
    const int byte = col >> 3, shift = 7 - (col & 7);
    for (int i = 0; i < n; i += 8) {
        u32 v = 0;
        const int m = std::min(8, n - i);
        for (int j = 0; j < m; ++j)
            v |= u32((rows[i + j][byte] >> shift) & 1) << (7 - j);
        d[i >> 3] = u8(v);
    }
}

void turnTileRow(const u8* const* rows, int n, int col, u8* d, int bpp) {
    switch (bpp) {
    case 1:
        return turnTileBits(rows, n, col, d);
    case 8:
        return turnTile<1>(rows, n, col, d);
    case 16:
        return turnTile<2>(rows, n, col, d);
    case 24:
        return turnTile<3>(rows, n, col, d);
    case 32:
        return turnTile<4>(rows, n, col, d);
    case 48:
        return turnTile<6>(rows, n, col, d);
    default:
        throw Error("Unsupported pixel size");
    }
}

// Fills the rows of a quarter-turned plane tile by tile. `srcRow(y)` and `dstRow(y)` give rows.
template <class SrcRows, class DstRows>
void quarterTurn(const QuarterTurn& t, int bpp, const SrcRows& srcRow, const DstRows& dstRow) {
    const int dstW = t.srcH, dstH = t.srcW;
    const int bands = (dstH + kTile - 1) / kTile;
    parallelFor(
        0, bands,
        [&](int b0, int b1) {
            const u8* rows[kTile];
            for (int band = b0; band < b1; ++band) {
                const int y0 = band * kTile, y1 = std::min(dstH, y0 + kTile);
                for (int x0 = 0; x0 < dstW; x0 += kTile) {
                    const int n = std::min(kTile, dstW - x0);
                    for (int i = 0; i < n; ++i)
                        rows[i] = srcRow(t.srcRow(x0 + i));
                    for (int y = y0; y < y1; ++y) {
                        u8* d = dstRow(y) + (bpp == 1 ? x0 / 8 : std::size_t(x0) * (bpp / 8));
                        turnTileRow(rows, n, t.srcCol(y), d, bpp);
                    }
                }
            }
        },
        1);
}

Bitmap turnQuarter(const Bitmap& src, bool clockwise) {
    Bitmap dst = blankLike(src, src.height(), src.width());
    dst.setDpi(src.dpiY(), src.dpiX());
    const QuarterTurn t { clockwise, src.width(), src.height() };
    quarterTurn(
        t, bitsPerPixel(src.pixelFormat()), [&](int y) { return src.scanline(y); },
        [&](int y) { return dst.mutableScanline(y); });
    if (src.hasAlphaPlane())
        quarterTurn(
            t, 8, [&](int y) { return src.alphaLine(y); },
            [&](int y) { return dst.mutableAlphaLine(y); });
    return dst;
}

Bitmap turnHalf(const Bitmap& src) {
    Bitmap dst = blankLike(src, src.width(), src.height());
    const int w = src.width(), h = src.height(), bpp = bitsPerPixel(src.pixelFormat());
    parallelFor(0, h, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            reverseRow(src.scanline(h - 1 - y), dst.mutableScanline(y), w, bpp);
            if (src.hasAlphaPlane())
                reverseRow(src.alphaLine(h - 1 - y), dst.mutableAlphaLine(y), w, 8);
        }
    });
    return dst;
}

} // namespace

Bitmap crop(const Bitmap& src, const Rect& r) {
    const Rect c = r.intersected(src.rect());
    if (c.isEmpty()) throw Error("The crop rectangle lies outside the image");
    if (c == src.rect()) return src;
    Bitmap dst = blankLike(src, c.w, c.h);
    const int bpp = bitsPerPixel(src.pixelFormat());
    parallelFor(0, c.h, [&](int r0, int r1) {
        for (int y = r0; y < r1; ++y) {
            u8* d = dst.mutableScanline(y);
            if (bpp == 1) d[dst.rowBytes() - 1] = 0; // clean padding bits
            copyPixels(src.scanline(c.y + y), src.rowBytes(), c.x, d, 0, c.w, bpp);
            if (src.hasAlphaPlane())
                std::memcpy(dst.mutableAlphaLine(y), src.alphaLine(c.y + y) + c.x, c.w);
        }
    });
    return dst;
}

void copyRect(const Bitmap& src, const Rect& srcRect, Bitmap& dst, int dx, int dy) {
    Rect s = srcRect.intersected(src.rect());
    if (s.isEmpty() || dst.isNull()) return;
    // Clip the placed rectangle to dst and the source rectangle along with it.
    const int tx = dx + (s.x - srcRect.x), ty = dy + (s.y - srcRect.y);
    const Rect t = Rect { tx, ty, s.w, s.h }.intersected(dst.rect());
    if (t.isEmpty()) return;
    s = { s.x + (t.x - tx), s.y + (t.y - ty), t.w, t.h };
    const bool same = src.pixelFormat() == dst.pixelFormat()
        && (src.pixelFormat() != PixelFormat::Palette8 || src.palette() == dst.palette());
    // A shared copy keeps the source whole when it is dst itself: writing dst then copies the
    // strips it touches, and the copy reads the old ones.
    const Bitmap snapshot = src;
    if (same) return blit(snapshot, s, dst, t.x, t.y);
    const Bitmap part = matchFormat(crop(src, s), dst);
    blit(part, part.rect(), dst, t.x, t.y);
}

void drawOnto(Bitmap& dst, const Bitmap& src, int dx, int dy, double opacity) {
    if (!(opacity > 0) || src.isNull() || dst.isNull()) return;
    const Rect target = Rect { dx, dy, src.width(), src.height() }.intersected(dst.rect());
    if (target.isEmpty()) return;
    const Rect from { target.x - dx, target.y - dy, target.w, target.h };
    const u32 op = u32(std::lround(std::min(opacity, 1.0) * 255));
    const PixelFormat f = dst.pixelFormat();
    switch (f) {
    case PixelFormat::Rgb24:
    case PixelFormat::Rgba32: {
        const Bitmap part = crop(src, from);
        blendInto<u8, 3>(dst, rgb8(part.pixelFormat()) ? part : convertTo(part, f), target, op);
        return;
    }
    case PixelFormat::Gray8:
        return blendInto<u8, 1>(dst, convertTo(crop(src, from), f), target, op);
    case PixelFormat::Gray16:
        return blendInto<u16, 1>(dst, convertTo(crop(src, from), f), target, op);
    case PixelFormat::Rgb48:
        return blendInto<u16, 3>(dst, convertTo(crop(src, from), f), target, op);
    case PixelFormat::Cmyk32: // inks blend as samples, so untouched pixels keep their separation
        return blendInto<u8, 4>(dst, convertTo(crop(src, from), f), target, op);
    default: {
        // No blendable samples (bits, indices): blend in RGB and convert back.
        Bitmap region = convertTo(crop(dst, target), PixelFormat::Rgb24);
        drawOnto(region, crop(src, from), 0, 0, opacity);
        copyRect(region, region.rect(), dst, target.x, target.y);
        return;
    }
    }
}

void flipHorizontal(Bitmap& bmp) {
    bmp.detach();
    const int w = bmp.width(), bpp = bitsPerPixel(bmp.pixelFormat());
    parallelFor(0, bmp.height(), [&](int y0, int y1) {
        std::vector<u8> copy(bmp.rowBytes());
        for (int y = y0; y < y1; ++y) {
            u8* row = bmp.mutableScanline(y);
            std::memcpy(copy.data(), row, copy.size());
            reverseRow(copy.data(), row, w, bpp);
            if (!bmp.hasAlphaPlane()) continue;
            u8* a = bmp.mutableAlphaLine(y);
            std::reverse(a, a + w);
        }
    });
}

void flipVertical(Bitmap& bmp) {
    bmp.detach();
    const int h = bmp.height();
    auto swapRows = [](u8* a, u8* b, std::size_t n, u8* tmp) {
        std::memcpy(tmp, a, n);
        std::memcpy(a, b, n);
        std::memcpy(b, tmp, n);
    };
    parallelFor(0, h / 2, [&](int y0, int y1) {
        std::vector<u8> tmp(std::max(bmp.rowBytes(), std::size_t(bmp.width())));
        for (int y = y0; y < y1; ++y) {
            swapRows(
                bmp.mutableScanline(y), bmp.mutableScanline(h - 1 - y), bmp.rowBytes(), tmp.data());
            if (bmp.hasAlphaPlane())
                swapRows(bmp.mutableAlphaLine(y), bmp.mutableAlphaLine(h - 1 - y),
                    std::size_t(bmp.width()), tmp.data());
        }
    });
}

Bitmap rotateRightAngle(const Bitmap& src, int degreesClockwise) {
    if (degreesClockwise != 90 && degreesClockwise != 180 && degreesClockwise != 270)
        throw Error("Only turns of 90, 180 or 270 degrees are right angles, not "
            + std::to_string(degreesClockwise));
    if (src.isNull()) return src;
    if (degreesClockwise == 180) return turnHalf(src);
    return turnQuarter(src, degreesClockwise == 90);
}

} // namespace ie
