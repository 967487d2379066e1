#include "Bitmap.h"

#include "Error.h"

#include <algorithm>
#include <cstring>

namespace ie {

Rect Rect::intersected(const Rect& o) const {
    const int x0 = std::max(x, o.x), y0 = std::max(y, o.y);
    const int x1 = std::min(right(), o.right()), y1 = std::min(bottom(), o.bottom());
    if (x1 <= x0 || y1 <= y0) return {};
    return { x0, y0, x1 - x0, y1 - y0 };
}

Bitmap::Bitmap(int width, int height, PixelFormat format)
    : m_format(format)
    , m_color(width, height, bitsPerPixel(format)) {
    if (format == PixelFormat::None) throw Error("Invalid pixel format");
    if (format == PixelFormat::Bw1) m_palette = { { 0, 0, 0 }, { 255, 255, 255 } };
}

void Bitmap::addAlphaPlane(std::uint8_t value) {
    if (m_format == PixelFormat::Rgba32)
        throw Error("A 32-bit RGBA bitmap keeps its alpha inside its pixels");
    m_alpha = Plane(width(), height(), 8);
    m_alpha.fillBytes(value);
}

bool Bitmap::alphaIsOpaque() const {
    if (m_format == PixelFormat::Rgba32) {
        for (int y = 0; y < height(); ++y) {
            const std::uint8_t* p = scanline(y);
            for (int x = 0; x < width(); ++x)
                if (p[x * 4 + 3] != 255) return false;
        }
        return true;
    }
    if (m_alpha.isNull()) return true;
    for (int y = 0; y < height(); ++y) {
        const std::uint8_t* a = alphaLine(y);
        for (int x = 0; x < width(); ++x)
            if (a[x] != 255) return false;
    }
    return true;
}

void Bitmap::detach() {
    m_color.detach();
    m_alpha.detach();
}

namespace {

int nearestPaletteIndex(const std::vector<Rgb>& pal, Rgba c) {
    int best = 0, bestDist = 1 << 30;
    for (int i = 0; i < int(pal.size()); ++i) {
        const int dr = pal[i].r - c.r, dg = pal[i].g - c.g, db = pal[i].b - c.b;
        const int d = dr * dr + dg * dg + db * db;
        if (d < bestDist) {
            bestDist = d;
            best = i;
        }
    }
    return best;
}

std::uint16_t widen(std::uint8_t v) {
    return static_cast<std::uint16_t>(v * 257);
}
std::uint8_t narrow(std::uint16_t v) {
    return static_cast<std::uint8_t>((v + 128) / 257);
}

} // namespace

Rgba Bitmap::pixel(int x, int y) const {
    const std::uint8_t* row = scanline(y);
    Rgba c;
    switch (m_format) {
    case PixelFormat::Bw1: {
        const std::uint8_t v = (row[x >> 3] >> (7 - (x & 7))) & 1 ? 255 : 0;
        c = { v, v, v, 255 };
        break;
    }
    case PixelFormat::Palette8: {
        const int i = row[x];
        const Rgb p = i < int(m_palette.size()) ? m_palette[i] : Rgb {};
        c = { p.r, p.g, p.b, 255 };
        break;
    }
    case PixelFormat::Gray8:
        c = { row[x], row[x], row[x], 255 };
        break;
    case PixelFormat::Gray16: {
        std::uint16_t v;
        std::memcpy(&v, row + x * 2, 2);
        const auto n = narrow(v);
        c = { n, n, n, 255 };
        break;
    }
    case PixelFormat::Rgb24:
        c = { row[x * 3], row[x * 3 + 1], row[x * 3 + 2], 255 };
        break;
    case PixelFormat::Rgba32:
        c = { row[x * 4], row[x * 4 + 1], row[x * 4 + 2], row[x * 4 + 3] };
        break;
    case PixelFormat::Rgb48: {
        std::uint16_t v[3];
        std::memcpy(v, row + x * 6, 6);
        c = { narrow(v[0]), narrow(v[1]), narrow(v[2]), 255 };
        break;
    }
    case PixelFormat::Cmyk32: {
        const std::uint8_t* p = row + x * 4;
        const int k = 255 - p[3];
        c = { std::uint8_t((255 - p[0]) * k / 255), std::uint8_t((255 - p[1]) * k / 255),
            std::uint8_t((255 - p[2]) * k / 255), 255 };
        break;
    }
    case PixelFormat::None:
        break;
    }
    if (hasAlphaPlane()) c.a = alphaLine(y)[x];
    return c;
}

void Bitmap::setPixel(int x, int y, Rgba c) {
    std::uint8_t* row = mutableScanline(y);
    switch (m_format) {
    case PixelFormat::Bw1: {
        const std::uint8_t bit = std::uint8_t(0x80 >> (x & 7));
        if (lumaOf(c.r, c.g, c.b) >= 128)
            row[x >> 3] |= bit;
        else
            row[x >> 3] &= std::uint8_t(~bit);
        break;
    }
    case PixelFormat::Palette8:
        row[x] = std::uint8_t(nearestPaletteIndex(m_palette, c));
        break;
    case PixelFormat::Gray8:
        row[x] = lumaOf(c.r, c.g, c.b);
        break;
    case PixelFormat::Gray16: {
        const std::uint16_t v = widen(lumaOf(c.r, c.g, c.b));
        std::memcpy(row + x * 2, &v, 2);
        break;
    }
    case PixelFormat::Rgb24:
        row[x * 3] = c.r;
        row[x * 3 + 1] = c.g;
        row[x * 3 + 2] = c.b;
        break;
    case PixelFormat::Rgba32:
        row[x * 4] = c.r;
        row[x * 4 + 1] = c.g;
        row[x * 4 + 2] = c.b;
        row[x * 4 + 3] = c.a;
        break;
    case PixelFormat::Rgb48: {
        const std::uint16_t v[3] = { widen(c.r), widen(c.g), widen(c.b) };
        std::memcpy(row + x * 6, v, 6);
        break;
    }
    case PixelFormat::Cmyk32: {
        const int k = 255 - std::max({ c.r, c.g, c.b });
        std::uint8_t* p = row + x * 4;
        if (k == 255) {
            p[0] = p[1] = p[2] = 0;
        } else {
            const int d = 255 - k;
            p[0] = std::uint8_t(((d - c.r) * 255 + d / 2) / d);
            p[1] = std::uint8_t(((d - c.g) * 255 + d / 2) / d);
            p[2] = std::uint8_t(((d - c.b) * 255 + d / 2) / d);
        }
        p[3] = std::uint8_t(k);
        break;
    }
    case PixelFormat::None:
        break;
    }
    if (hasAlphaPlane()) mutableAlphaLine(y)[x] = c.a;
}

void Bitmap::fill(Rgba color) {
    fillRect(rect(), color);
}

void Bitmap::fillRect(const Rect& area, Rgba color) {
    const Rect r = area.intersected(rect());
    if (r.isEmpty()) return;
    // One pixel set the slow way gives the encoded bytes; then rows are filled by copying it.
    Bitmap probe(1, 1, m_format);
    probe.setPalette(m_palette);
    probe.m_color.fillBytes(0);
    probe.setPixel(0, 0, color);
    const std::uint8_t* px = probe.scanline(0);
    const int bpp = bitsPerPixel(m_format);
    for (int y = r.y; y < r.bottom(); ++y) {
        std::uint8_t* row = mutableScanline(y);
        if (bpp == 1) {
            const bool white = (px[0] & 0x80) != 0;
            for (int x = r.x; x < r.right(); ++x) {
                const std::uint8_t bit = std::uint8_t(0x80 >> (x & 7));
                row[x >> 3] = white ? (row[x >> 3] | bit) : (row[x >> 3] & std::uint8_t(~bit));
            }
        } else {
            const int n = bpp / 8;
            for (int x = r.x; x < r.right(); ++x)
                std::memcpy(row + x * n, px, n);
        }
        if (hasAlphaPlane()) std::memset(mutableAlphaLine(y) + r.x, color.a, r.w);
    }
}

bool Bitmap::samePixels(const Bitmap& o) const {
    if (width() != o.width() || height() != o.height() || m_format != o.m_format
        || hasAlphaPlane() != o.hasAlphaPlane())
        return false;
    if (m_format == PixelFormat::Palette8 && m_palette != o.m_palette) return false;
    const std::size_t n = rowBytes();
    const int tailBits = int(std::size_t(width()) * bitsPerPixel(m_format) % 8);
    for (int y = 0; y < height(); ++y) {
        const std::uint8_t *a = scanline(y), *b = o.scanline(y);
        if (tailBits == 0) {
            if (std::memcmp(a, b, n) != 0) return false;
        } else {
            // Padding bits of the last byte of a 1-bit row are not pixels.
            if (n > 1 && std::memcmp(a, b, n - 1) != 0) return false;
            const std::uint8_t mask = std::uint8_t(0xFF << (8 - tailBits));
            if ((a[n - 1] & mask) != (b[n - 1] & mask)) return false;
        }
        if (hasAlphaPlane() && std::memcmp(alphaLine(y), o.alphaLine(y), width()) != 0)
            return false;
    }
    return true;
}

} // namespace ie
