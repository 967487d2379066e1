#include "PngRows.h"

#include <png.h>

#include <algorithm>
#include <cstring>

namespace ie::io::png_rows {

namespace {

std::uint16_t load16(const std::uint8_t* p) {
    std::uint16_t v;
    std::memcpy(&v, p, 2);
    return v;
}

void storeBe16(std::uint8_t* p, std::uint16_t v) {
    p[0] = std::uint8_t(v >> 8);
    p[1] = std::uint8_t(v);
}

/// The engine's 16-to-8-bit reduction (rounded).
std::uint8_t narrow(std::uint16_t v) {
    return std::uint8_t((v + 128) / 257);
}

void split8(const std::uint8_t* in, int w, int c, std::uint8_t* colour, std::uint8_t* alpha) {
    for (int x = 0; x < w; ++x, in += c + 1) {
        for (int i = 0; i < c; ++i)
            colour[x * c + i] = in[i];
        alpha[x] = in[c];
    }
}

void split16(const std::uint8_t* in, int w, int c, std::uint8_t* colour, std::uint8_t* alpha) {
    for (int x = 0; x < w; ++x, in += 2 * (c + 1)) {
        std::memcpy(colour + 2 * x * c, in, std::size_t(2 * c));
        alpha[x] = narrow(load16(in + 2 * c));
    }
}

void interleave8(
    const std::uint8_t* colour, const std::uint8_t* alpha, int w, int c, std::uint8_t* out) {
    for (int x = 0; x < w; ++x, out += c + 1) {
        for (int i = 0; i < c; ++i)
            out[i] = colour[x * c + i];
        out[c] = alpha[x];
    }
}

/// Native 16-bit samples to big-endian, with the 8-bit alpha widened after each pixel if given.
void pack16(
    const std::uint8_t* colour, const std::uint8_t* alpha, int w, int c, std::uint8_t* out) {
    for (int x = 0; x < w; ++x) {
        for (int i = 0; i < c; ++i, out += 2)
            storeBe16(out, load16(colour + 2 * (x * c + i)));
        if (alpha) {
            storeBe16(out, std::uint16_t(alpha[x] * 257));
            out += 2;
        }
    }
}

void expandBits(const std::uint8_t* bits, const std::uint8_t* alpha, int w, std::uint8_t* out) {
    for (int x = 0; x < w; ++x) {
        out[2 * x] = (bits[x >> 3] >> (7 - (x & 7)) & 1) ? 255 : 0;
        out[2 * x + 1] = alpha[x];
    }
}

void expandPalette(const std::uint8_t* idx, const std::uint8_t* alpha, int w,
    const std::vector<Rgb>& pal, std::uint8_t* out) {
    for (int x = 0; x < w; ++x, out += 4) {
        const Rgb c = idx[x] < pal.size() ? pal[idx[x]] : Rgb {};
        out[0] = c.r;
        out[1] = c.g;
        out[2] = c.b;
        out[3] = alpha[x];
    }
}

int maxIndex(const Bitmap& bmp) {
    int m = 0;
    for (int y = 0; y < bmp.height() && m < 255; ++y) {
        const std::uint8_t* row = bmp.scanline(y);
        m = std::max<int>(m, *std::max_element(row, row + bmp.width()));
    }
    return m;
}

/// The alpha of each index when every pixel of that index has the same one (a tRNS can say
/// it), else empty.
std::vector<std::uint8_t> alphaPerIndex(const Bitmap& bmp) {
    std::vector<std::uint8_t> table(256, 255);
    std::vector<bool> seen(256, false);
    for (int y = 0; y < bmp.height(); ++y) {
        const std::uint8_t* idx = bmp.scanline(y);
        const std::uint8_t* a = bmp.alphaLine(y);
        for (int x = 0; x < bmp.width(); ++x) {
            if (!seen[idx[x]]) {
                seen[idx[x]] = true;
                table[idx[x]] = a[x];
            } else if (table[idx[x]] != a[x]) {
                return {};
            }
        }
    }
    return table;
}

void choosePaletteTarget(const Bitmap& bmp, Target& t) {
    t.palette = bmp.palette();
    t.palette.resize(std::clamp<std::size_t>(t.palette.size(), maxIndex(bmp) + 1, 256));
    if (!bmp.hasAlphaPlane()) return;
    std::vector<std::uint8_t> alpha = alphaPerIndex(bmp);
    if (alpha.empty()) { // alpha varies within an index: only RGBA holds it
        t.colorType = PNG_COLOR_TYPE_RGB_ALPHA;
        t.alphaFromPlane = t.expandPalette = true;
        return;
    }
    // At least one entry, so that an opaque alpha plane still comes back as one.
    std::size_t n = t.palette.size();
    while (n > 1 && alpha[n - 1] == 255)
        --n;
    alpha.resize(n);
    t.trns = std::move(alpha);
}

} // namespace

int Layout::fileBitsPerPixel() const {
    if (format == PixelFormat::Bw1) return 1;
    return (channelCount(format) + (alpha ? 1 : 0)) * bytesPerSample * 8;
}

std::size_t fileRowBytes(const Layout& l, int width) {
    return (std::size_t(width) * l.fileBitsPerPixel() + 7) / 8;
}

void splitAlpha(const Layout& l, const std::uint8_t* in, Bitmap& bmp, int y) {
    if (!l.alpha) {
        std::memcpy(bmp.mutableScanline(y), in, bmp.rowBytes());
        return;
    }
    const int c = channelCount(l.format);
    if (l.bytesPerSample == 2)
        split16(in, bmp.width(), c, bmp.mutableScanline(y), bmp.mutableAlphaLine(y));
    else
        split8(in, bmp.width(), c, bmp.mutableScanline(y), bmp.mutableAlphaLine(y));
}

void alphaFromPalette(const AlphaTable& table, Bitmap& bmp) {
    for (int y = 0; y < bmp.height(); ++y) {
        const std::uint8_t* idx = bmp.scanline(y);
        std::uint8_t* a = bmp.mutableAlphaLine(y);
        for (int x = 0; x < bmp.width(); ++x)
            a[x] = table[idx[x]];
    }
}

int Target::samplesPerPixel() const {
    switch (colorType) {
    case PNG_COLOR_TYPE_GRAY_ALPHA:
        return 2;
    case PNG_COLOR_TYPE_RGB:
        return 3;
    case PNG_COLOR_TYPE_RGB_ALPHA:
        return 4;
    default:
        return 1;
    }
}

Target chooseTarget(const Bitmap& bmp) {
    Target t;
    const PixelFormat f = bmp.pixelFormat();
    t.alphaFromPlane = bmp.hasAlphaPlane();
    const bool alpha = bmp.hasAlpha();
    switch (f) {
    case PixelFormat::Palette8:
        t.colorType = PNG_COLOR_TYPE_PALETTE;
        t.alphaFromPlane = false;
        choosePaletteTarget(bmp, t);
        break;
    case PixelFormat::Bw1:
        t.colorType = alpha ? PNG_COLOR_TYPE_GRAY_ALPHA : PNG_COLOR_TYPE_GRAY;
        t.bitDepth = alpha ? 8 : 1;
        break;
    case PixelFormat::Gray8:
    case PixelFormat::Gray16:
        t.colorType = alpha ? PNG_COLOR_TYPE_GRAY_ALPHA : PNG_COLOR_TYPE_GRAY;
        break;
    default: // Rgb24, Rgba32, Rgb48
        t.colorType = alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB;
        break;
    }
    if (bitsPerSample(f) == 16) t.bitDepth = 16;
    return t;
}

std::size_t targetRowBytes(const Target& t, int width) {
    return (std::size_t(width) * t.samplesPerPixel() * t.bitDepth + 7) / 8;
}

const std::uint8_t* packRow(const Bitmap& bmp, int y, const Target& t, std::uint8_t* buffer) {
    const std::uint8_t* src = bmp.scanline(y);
    const std::uint8_t* alpha = t.alphaFromPlane ? bmp.alphaLine(y) : nullptr;
    const int w = bmp.width();
    switch (bmp.pixelFormat()) {
    case PixelFormat::Gray16:
    case PixelFormat::Rgb48:
        pack16(src, alpha, w, channelCount(bmp.pixelFormat()), buffer);
        return buffer;
    case PixelFormat::Bw1:
        if (!alpha) return src;
        expandBits(src, alpha, w, buffer);
        return buffer;
    case PixelFormat::Palette8:
        if (!t.expandPalette) return src;
        expandPalette(src, alpha, w, t.palette, buffer);
        return buffer;
    case PixelFormat::Rgba32:
        return src;
    default: // Gray8, Rgb24
        if (!alpha) return src;
        interleave8(src, alpha, w, channelCount(bmp.pixelFormat()), buffer);
        return buffer;
    }
}

} // namespace ie::io::png_rows
