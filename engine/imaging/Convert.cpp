#include "Convert.h"

#include "Error.h"
#include "Parallel.h"
#include "Quantizer.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace ie {

namespace {

using u8 = std::uint8_t;
using u16 = std::uint16_t;
using u32 = std::uint32_t;

constexpr u16 widen(u32 v) {
    return u16(v * 257);
}
constexpr u8 narrow(u32 v) {
    return u8((v + 128) / 257);
}
constexpr u16 luma16(u32 r, u32 g, u32 b) {
    return u16((r * 19595 + g * 38470 + b * 7471 + 32768) >> 16);
}

// Rows are 32-byte aligned (Plane), so 16-bit samples may be read as words.
const u16* words(const u8* p) {
    return reinterpret_cast<const u16*>(p);
}
u16* words(u8* p) {
    return reinterpret_cast<u16*>(p);
}

// What a row conversion may need besides the pixels.
struct RowContext {
    std::array<Rgb, 256> palette {}; // Palette8 source, short palettes padded with black
    std::array<u8, 256> paletteLuma {};
    std::array<u32, 256> paletteWords {}; // R, G, B, 0 in memory order (little-endian)
};

using RowFn = void (*)(const u8* s, u8* d, int w, const RowContext& ctx);

// ---- Decoders into Rgb24

void bw1ToRgb24(const u8* s, u8* d, int w, const RowContext&) {
    for (int x = 0; x < w; ++x, d += 3)
        d[0] = d[1] = d[2] = (s[x >> 3] >> (7 - (x & 7))) & 1 ? 255 : 0;
}
void palette8ToRgb24(const u8* s, u8* d, int w, const RowContext& ctx) {
    int x = 0;
    if constexpr (std::endian::native == std::endian::little) {
        // One four-byte store a pixel; its spare byte is overwritten by the next pixel.
        for (; x < w - 1; ++x)
            std::memcpy(d + 3 * x, &ctx.paletteWords[s[x]], 4);
    }
    for (; x < w; ++x) {
        const Rgb c = ctx.palette[s[x]];
        d[3 * x] = c.r;
        d[3 * x + 1] = c.g;
        d[3 * x + 2] = c.b;
    }
}
void gray8ToRgb24(const u8* s, u8* d, int w, const RowContext&) {
    for (int x = 0; x < w; ++x, d += 3)
        d[0] = d[1] = d[2] = s[x];
}
void gray16ToRgb24(const u8* s, u8* d, int w, const RowContext&) {
    const u16* p = words(s);
    for (int x = 0; x < w; ++x, d += 3)
        d[0] = d[1] = d[2] = narrow(p[x]);
}
void rgba32ToRgb24(const u8* s, u8* d, int w, const RowContext&) {
    for (int x = 0; x < w; ++x, s += 4, d += 3) {
        d[0] = s[0];
        d[1] = s[1];
        d[2] = s[2];
    }
}
void rgb48ToRgb24(const u8* s, u8* d, int w, const RowContext&) {
    const u16* p = words(s);
    for (int i = 0; i < 3 * w; ++i)
        d[i] = narrow(p[i]);
}
void cmyk32ToRgb24(const u8* s, u8* d, int w, const RowContext&) {
    for (int x = 0; x < w; ++x, s += 4, d += 3) {
        const u32 k = 255 - s[3];
        d[0] = u8((255 - s[0]) * k / 255);
        d[1] = u8((255 - s[1]) * k / 255);
        d[2] = u8((255 - s[2]) * k / 255);
    }
}

// ---- Encoders from Rgb24

void rgb24ToGray8(const u8* s, u8* d, int w, const RowContext&) {
    for (int x = 0; x < w; ++x, s += 3)
        d[x] = lumaOf(s[0], s[1], s[2]);
}
void rgb24ToGray16(const u8* s, u8* d, int w, const RowContext&) {
    u16* p = words(d);
    for (int x = 0; x < w; ++x, s += 3)
        p[x] = luma16(widen(s[0]), widen(s[1]), widen(s[2]));
}
void rgb24ToRgba32(const u8* s, u8* d, int w, const RowContext&) {
    int x = 0;
    if constexpr (std::endian::native == std::endian::little) {
        // Four-byte loads take one byte of the next pixel, replaced by the alpha; the last
        // pixel has no next one.
        for (; x < w - 1; ++x) {
            u32 v;
            std::memcpy(&v, s + 3 * x, 4);
            v |= 0xFF000000u;
            std::memcpy(d + 4 * x, &v, 4);
        }
    }
    for (; x < w; ++x) {
        d[4 * x] = s[3 * x];
        d[4 * x + 1] = s[3 * x + 1];
        d[4 * x + 2] = s[3 * x + 2];
        d[4 * x + 3] = 255;
    }
}
void rgb24ToRgb48(const u8* s, u8* d, int w, const RowContext&) {
    u16* p = words(d);
    for (int i = 0; i < 3 * w; ++i)
        p[i] = widen(s[i]);
}

// (n * 255 + d / 2) / d for 0 <= n <= d, the CMYK ink of Bitmap::setPixel without a division.
const std::array<u8, 256 * 256>& inkTable() {
    static const auto table = [] {
        std::array<u8, 256 * 256> t {};
        for (int d = 1; d < 256; ++d)
            for (int n = 0; n <= d; ++n)
                t[d * 256 + n] = u8((n * 255 + d / 2) / d);
        return t;
    }();
    return table;
}

void rgb24ToCmyk32(const u8* s, u8* d, int w, const RowContext&) {
    const u8* ink = inkTable().data();
    for (int x = 0; x < w; ++x, s += 3, d += 4) {
        const int m = std::max({ s[0], s[1], s[2] });
        const u8* row = ink + m * 256; // row 0 is all zeros: black takes no colour ink
        d[0] = row[m - s[0]];
        d[1] = row[m - s[1]];
        d[2] = row[m - s[2]];
        d[3] = u8(255 - m);
    }
}

// ---- Direct pairs that would lose precision or time through Rgb24

void gray8ToGray16(const u8* s, u8* d, int w, const RowContext&) {
    u16* p = words(d);
    for (int x = 0; x < w; ++x)
        p[x] = widen(s[x]);
}
void gray16ToGray8(const u8* s, u8* d, int w, const RowContext&) {
    const u16* p = words(s);
    for (int x = 0; x < w; ++x)
        d[x] = narrow(p[x]);
}
void gray16ToRgb48(const u8* s, u8* d, int w, const RowContext&) {
    const u16* p = words(s);
    u16* q = words(d);
    for (int x = 0; x < w; ++x, q += 3)
        q[0] = q[1] = q[2] = p[x];
}
void rgb48ToGray16(const u8* s, u8* d, int w, const RowContext&) {
    const u16* p = words(s);
    u16* q = words(d);
    for (int x = 0; x < w; ++x, p += 3)
        q[x] = luma16(p[0], p[1], p[2]);
}
void palette8ToGray8(const u8* s, u8* d, int w, const RowContext& ctx) {
    for (int x = 0; x < w; ++x)
        d[x] = ctx.paletteLuma[s[x]];
}
void bw1ToGray8(const u8* s, u8* d, int w, const RowContext&) {
    for (int x = 0; x < w; ++x)
        d[x] = (s[x >> 3] >> (7 - (x & 7))) & 1 ? 255 : 0;
}

RowFn decoder(PixelFormat f) {
    switch (f) {
    case PixelFormat::Bw1:
        return bw1ToRgb24;
    case PixelFormat::Palette8:
        return palette8ToRgb24;
    case PixelFormat::Gray8:
        return gray8ToRgb24;
    case PixelFormat::Gray16:
        return gray16ToRgb24;
    case PixelFormat::Rgba32:
        return rgba32ToRgb24;
    case PixelFormat::Rgb48:
        return rgb48ToRgb24;
    case PixelFormat::Cmyk32:
        return cmyk32ToRgb24;
    default:
        return nullptr;
    }
}

RowFn encoder(PixelFormat f) {
    switch (f) {
    case PixelFormat::Gray8:
        return rgb24ToGray8;
    case PixelFormat::Gray16:
        return rgb24ToGray16;
    case PixelFormat::Rgba32:
        return rgb24ToRgba32;
    case PixelFormat::Rgb48:
        return rgb24ToRgb48;
    case PixelFormat::Cmyk32:
        return rgb24ToCmyk32;
    default:
        return nullptr;
    }
}

RowFn direct(PixelFormat from, PixelFormat to) {
    using F = PixelFormat;
    struct Pair {
        F from, to;
        RowFn fn;
    };
    static constexpr Pair pairs[] = {
        { F::Gray8, F::Gray16, gray8ToGray16 },
        { F::Gray16, F::Gray8, gray16ToGray8 },
        { F::Gray16, F::Rgb48, gray16ToRgb48 },
        { F::Rgb48, F::Gray16, rgb48ToGray16 },
        { F::Palette8, F::Gray8, palette8ToGray8 },
        { F::Bw1, F::Gray8, bw1ToGray8 },
    };
    for (const Pair& p : pairs)
        if (p.from == from && p.to == to) return p.fn;
    if (from == F::Rgb24) return encoder(to);
    if (to == F::Rgb24) return decoder(from);
    return nullptr;
}

// Converts rows of one format into another (Bw1 and Palette8 results excepted), directly or
// through an Rgb24 row.
class RowConverter {
public:
    RowConverter(const Bitmap& src, PixelFormat to) {
        if (src.pixelFormat() == PixelFormat::Palette8) {
            const auto& pal = src.palette();
            std::copy_n(pal.begin(), std::min<std::size_t>(pal.size(), 256), m_ctx.palette.begin());
            for (int i = 0; i < 256; ++i) {
                const Rgb c = m_ctx.palette[i];
                m_ctx.paletteLuma[i] = lumaOf(c.r, c.g, c.b);
                m_ctx.paletteWords[i] = u32(c.r) | u32(c.g) << 8 | u32(c.b) << 16;
            }
        }
        m_direct = direct(src.pixelFormat(), to);
        if (!m_direct) {
            m_decode = decoder(src.pixelFormat());
            m_encode = encoder(to);
            if (!m_decode || !m_encode) throw Error("Unsupported pixel format conversion");
        }
    }
    /// Bytes of scratch memory `run` needs for a row of `w` pixels.
    std::size_t scratchBytes(int w) const { return m_direct ? 0 : std::size_t(w) * 3; }
    void run(const u8* s, u8* d, int w, u8* scratch) const {
        if (m_direct) {
            m_direct(s, d, w, m_ctx);
        } else {
            m_decode(s, scratch, w, m_ctx);
            m_encode(scratch, d, w, m_ctx);
        }
    }

private:
    RowContext m_ctx;
    RowFn m_direct = nullptr, m_decode = nullptr, m_encode = nullptr;
};

// ---- Alpha

// A result with the source's size, resolution and, when the source has transparency, an alpha
// plane (Rgba32 results carry it in their pixels instead).
Bitmap makeResult(const Bitmap& src, PixelFormat format) {
    Bitmap dst(src.width(), src.height(), format);
    dst.setDpi(src.dpiX(), src.dpiY());
    if (src.hasAlpha() && format != PixelFormat::Rgba32) dst.addAlphaPlane();
    dst.detach();
    return dst;
}

// Moves row y's alpha from src to dst, whichever way each of them stores it.
void transferAlpha(const Bitmap& src, Bitmap& dst, int y) {
    const int w = src.width();
    if (src.hasAlphaPlane() && dst.hasAlphaPlane()) {
        std::memcpy(dst.mutableAlphaLine(y), src.alphaLine(y), w);
    } else if (src.pixelFormat() == PixelFormat::Rgba32 && dst.hasAlphaPlane()) {
        const u8* s = src.scanline(y) + 3;
        u8* a = dst.mutableAlphaLine(y);
        for (int x = 0; x < w; ++x)
            a[x] = s[4 * x];
    } else if (src.hasAlphaPlane() && dst.pixelFormat() == PixelFormat::Rgba32) {
        const u8* a = src.alphaLine(y);
        u8* d = dst.mutableScanline(y) + 3;
        for (int x = 0; x < w; ++x)
            d[4 * x] = a[x];
    }
}

// Runs `body(y, scratch)` over every row, in parallel unless `serial` (error diffusion), then
// moves that row's alpha.
template <class Body>
void forEachRow(
    const Bitmap& src, Bitmap& dst, std::size_t scratchBytes, bool serial, const Body& body) {
    auto rows = [&](int y0, int y1) {
        std::vector<u8> scratch(scratchBytes);
        for (int y = y0; y < y1; ++y) {
            body(y, scratch.data());
            transferAlpha(src, dst, y);
        }
    };
    if (serial)
        rows(0, src.height());
    else
        parallelFor(0, src.height(), rows);
}

// ---- 1-bit results

void packBits(const u8* white, u8* d, int w) {
    std::memset(d, 0, (std::size_t(w) + 7) / 8);
    for (int x = 0; x < w; ++x)
        if (white[x]) d[x >> 3] |= u8(0x80 >> (x & 7));
}

// Floyd-Steinberg over grey rows, alternating direction so that errors do not drift sideways.
class GrayDitherer {
public:
    explicit GrayDitherer(int w)
        : m_w(w)
        , m_cur(w + 2)
        , m_next(w + 2) { }

    void row(const u8* grey, u8* white, bool leftToRight) {
        std::fill(m_next.begin(), m_next.end(), 0);
        const int step = leftToRight ? 1 : -1;
        for (int i = 0, x = leftToRight ? 0 : m_w - 1; i < m_w; ++i, x += step) {
            const int v = std::clamp(grey[x] + ((m_cur[x + 1] + 8) >> 4), 0, 255);
            white[x] = v >= 128;
            const int e = v - (white[x] ? 255 : 0);
            m_cur[x + 1 + step] += e * 7;
            m_next[x + 1 - step] += e * 3;
            m_next[x + 1] += e * 5;
            m_next[x + 1 + step] += e;
        }
        std::swap(m_cur, m_next);
    }

private:
    int m_w;
    std::vector<int> m_cur, m_next; // errors x 16, one guard cell each side
};

Bitmap toBw1(const Bitmap& src, const ConvertOptions& options) {
    Bitmap dst = makeResult(src, PixelFormat::Bw1);
    const int w = src.width();
    const bool isGray = src.pixelFormat() == PixelFormat::Gray8;
    std::unique_ptr<RowConverter> toGray;
    if (!isGray) toGray = std::make_unique<RowConverter>(src, PixelFormat::Gray8);
    const std::size_t scratch = 2 * std::size_t(w) + (toGray ? toGray->scratchBytes(w) : 0);
    // A grey row and the white flags of one row, plus what the grey conversion needs.
    auto greyRow = [&](int y, u8* buf) -> const u8* {
        if (isGray) return src.scanline(y);
        toGray->run(src.scanline(y), buf, w, buf + 2 * w);
        return buf;
    };
    if (options.dither) {
        GrayDitherer fs(w);
        forEachRow(src, dst, scratch, true, [&](int y, u8* buf) {
            fs.row(greyRow(y, buf), buf + w, (y & 1) == 0);
            packBits(buf + w, dst.mutableScanline(y), w);
        });
    } else {
        const int t = options.threshold;
        forEachRow(src, dst, scratch, false, [&](int y, u8* buf) {
            const u8* g = greyRow(y, buf);
            for (int x = 0; x < w; ++x)
                buf[w + x] = g[x] >= t;
            packBits(buf + w, dst.mutableScanline(y), w);
        });
    }
    return dst;
}

// ---- Paletted results

// Floyd-Steinberg against a palette, alternating direction.
class ColorDitherer {
public:
    ColorDitherer(const PaletteMapper& mapper, int w)
        : m_mapper(mapper)
        , m_w(w)
        , m_cur(3 * (w + 2))
        , m_next(3 * (w + 2)) { }

    void row(const u8* rgb, u8* index, bool leftToRight) {
        std::fill(m_next.begin(), m_next.end(), 0);
        const int step = leftToRight ? 1 : -1;
        const auto& pal = m_mapper.palette();
        for (int i = 0, x = leftToRight ? 0 : m_w - 1; i < m_w; ++i, x += step) {
            int v[3];
            const int at = 3 * (x + 1);
            for (int c = 0; c < 3; ++c)
                v[c] = std::clamp(rgb[3 * x + c] + ((m_cur[at + c] + 8) >> 4), 0, 255);
            const int k = m_mapper.nearest(v[0], v[1], v[2]);
            index[x] = u8(k);
            const int e[3] = { v[0] - pal[k].r, v[1] - pal[k].g, v[2] - pal[k].b };
            for (int c = 0; c < 3; ++c) {
                m_cur[at + 3 * step + c] += e[c] * 7;
                m_next[at - 3 * step + c] += e[c] * 3;
                m_next[at + c] += e[c] * 5;
                m_next[at + 3 * step + c] += e[c];
            }
        }
        std::swap(m_cur, m_next);
    }

private:
    const PaletteMapper& m_mapper;
    int m_w;
    std::vector<int> m_cur, m_next; // errors x 16 per channel, one guard pixel each side
};

void checkPaletteSize(int colors) {
    if (colors < 2 || colors > 256)
        throw Error("A palette must have 2 to 256 colours, not " + std::to_string(colors));
}

// Paletted images whose colours are implied by their format: 1-bit and, with room for all 256
// levels, grey.
bool implicitPalette(const Bitmap& src, const ConvertOptions& options, Bitmap& dst) {
    const PixelFormat f = src.pixelFormat();
    if (f != PixelFormat::Bw1 && !(f == PixelFormat::Gray8 && options.paletteColors == 256))
        return false;
    dst = makeResult(src, PixelFormat::Palette8);
    const int w = src.width();
    if (f == PixelFormat::Bw1) {
        dst.setPalette({ { 0, 0, 0 }, { 255, 255, 255 } });
        forEachRow(src, dst, 0, false, [&](int y, u8*) {
            const u8* s = src.scanline(y);
            u8* d = dst.mutableScanline(y);
            for (int x = 0; x < w; ++x)
                d[x] = (s[x >> 3] >> (7 - (x & 7))) & 1;
        });
    } else {
        std::vector<Rgb> ramp(256);
        for (int i = 0; i < 256; ++i)
            ramp[i] = { u8(i), u8(i), u8(i) };
        dst.setPalette(std::move(ramp));
        forEachRow(src, dst, 0, false,
            [&](int y, u8*) { std::memcpy(dst.mutableScanline(y), src.scanline(y), w); });
    }
    return true;
}

Bitmap toPalette8(const Bitmap& src, const ConvertOptions& options) {
    checkPaletteSize(options.paletteColors);
    Bitmap dst;
    if (implicitPalette(src, options, dst)) return dst;
    const Bitmap rgb = convertTo(src, PixelFormat::Rgb24);
    dst = makeResult(src, PixelFormat::Palette8);
    const int w = src.width();
    ExactPalette exact;
    if (exact.build(rgb, options.paletteColors)) { // few colours: lossless
        dst.setPalette(exact.colors());
        forEachRow(src, dst, 0, false, [&](int y, u8*) {
            const u8* s = rgb.scanline(y);
            u8* d = dst.mutableScanline(y);
            for (int x = 0; x < w; ++x)
                d[x] = exact.indexOf(s + 3 * x);
        });
        return dst;
    }
    const PaletteMapper mapper(medianCutPalette(rgb, options.paletteColors), true);
    dst.setPalette(mapper.palette());
    if (options.dither) {
        ColorDitherer fs(mapper, w);
        forEachRow(src, dst, 0, true,
            [&](int y, u8*) { fs.row(rgb.scanline(y), dst.mutableScanline(y), (y & 1) == 0); });
    } else {
        forEachRow(src, dst, 0, false, [&](int y, u8*) {
            const u8* s = rgb.scanline(y);
            u8* d = dst.mutableScanline(y);
            for (int x = 0; x < w; ++x, s += 3)
                d[x] = u8(mapper.nearest(s[0], s[1], s[2]));
        });
    }
    return dst;
}

} // namespace

Bitmap convertTo(const Bitmap& src, PixelFormat format, const ConvertOptions& options) {
    if (src.pixelFormat() == format || src.isNull()) return src;
    if (format == PixelFormat::None) throw Error("Cannot convert to an unknown pixel format");
    if (format == PixelFormat::Bw1) return toBw1(src, options);
    if (format == PixelFormat::Palette8) return toPalette8(src, options);
    const RowConverter conv(src, format);
    Bitmap dst = makeResult(src, format);
    const int w = src.width();
    forEachRow(src, dst, conv.scratchBytes(w), false,
        [&](int y, u8* scratch) { conv.run(src.scanline(y), dst.mutableScanline(y), w, scratch); });
    return dst;
}

std::vector<Rgb> quantizePalette(const Bitmap& src, int colors) {
    checkPaletteSize(colors);
    if (src.isNull()) return {};
    const Bitmap rgb = convertTo(src, PixelFormat::Rgb24);
    ExactPalette exact;
    if (exact.build(rgb, colors)) return exact.colors();
    return medianCutPalette(rgb, colors);
}

} // namespace ie
