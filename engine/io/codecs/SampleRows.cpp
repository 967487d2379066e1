#include "SampleRows.h"

#include "../../imaging/Convert.h"

#include <cstring>

namespace ie::io {

namespace {

bool isGreyPalette(const std::vector<Rgb>& palette) {
    for (const Rgb& c : palette)
        if (c.r != c.g || c.g != c.b) return false;
    return true;
}

PixelFormat colorFormatOf(const SampleLayout& layout) {
    if (layout.colors == 1) return layout.bits == 16 ? PixelFormat::Gray16 : PixelFormat::Gray8;
    return layout.bits == 16 ? PixelFormat::Rgb48 : PixelFormat::Rgb24;
}

/// Interleaves `n` colour samples per pixel with the alpha plane's value (or drops/fills alpha).
template <class T>
void interleave(const T* color, int n, const std::uint8_t* alpha, int width, T* out) {
    for (int x = 0; x < width; ++x) {
        for (int c = 0; c < n; ++c)
            *out++ = *color++;
        if constexpr (sizeof(T) == 2)
            *out++ = T(alpha ? alpha[x] * 257 : 0xffff);
        else
            *out++ = alpha ? alpha[x] : 0xff;
    }
}

template <class T> void deinterleave(const T* in, int n, int width, T* color, std::uint8_t* alpha) {
    for (int x = 0; x < width; ++x) {
        for (int c = 0; c < n; ++c)
            *color++ = *in++;
        if constexpr (sizeof(T) == 2)
            alpha[x] = std::uint8_t((*in++ + 128) / 257);
        else
            alpha[x] = *in++;
    }
}

} // namespace

SampleLayout plainLayoutOf(const Bitmap& bmp, int maxBits) {
    SampleLayout layout;
    switch (bmp.pixelFormat()) {
    case PixelFormat::Bw1:
    case PixelFormat::Gray8:
    case PixelFormat::Gray16:
        layout.colors = 1;
        break;
    case PixelFormat::Palette8:
        layout.colors = isGreyPalette(bmp.palette()) ? 1 : 3;
        break;
    default:
        layout.colors = 3;
        break;
    }
    layout.bits = bitsPerSample(bmp.pixelFormat()) == 16 && maxBits >= 16 ? 16 : 8;
    layout.alpha = bmp.hasAlpha() && !bmp.alphaIsOpaque();
    return layout;
}

Bitmap toLayout(const Bitmap& bmp, const SampleLayout& layout) {
    // 8-bit RGBA is read straight from Rgba32 pixels.
    if (bmp.pixelFormat() == PixelFormat::Rgba32 && layout.colors == 3 && layout.bits == 8)
        return bmp;
    return convertTo(bmp, colorFormatOf(layout));
}

void packRow(const Bitmap& bmp, int y, const SampleLayout& layout, std::uint8_t* out) {
    const int w = bmp.width();
    const std::uint8_t* row = bmp.scanline(y);
    if (bmp.pixelFormat() == PixelFormat::Rgba32) {
        if (layout.alpha) {
            std::memcpy(out, row, std::size_t(w) * 4);
            return;
        }
        for (int x = 0; x < w; ++x, row += 4, out += 3)
            std::memcpy(out, row, 3);
        return;
    }
    if (!layout.alpha) {
        std::memcpy(out, row, layout.rowBytes(w));
        return;
    }
    const std::uint8_t* alpha = bmp.hasAlphaPlane() ? bmp.alphaLine(y) : nullptr;
    if (layout.bits == 16)
        interleave(reinterpret_cast<const std::uint16_t*>(row), layout.colors, alpha, w,
            reinterpret_cast<std::uint16_t*>(out));
    else
        interleave(row, layout.colors, alpha, w, out);
}

Bitmap newBitmapFor(int width, int height, const SampleLayout& layout) {
    Bitmap bmp(width, height, colorFormatOf(layout));
    if (layout.alpha) bmp.addAlphaPlane();
    return bmp;
}

void unpackRow(Bitmap& bmp, int y, const SampleLayout& layout, const std::uint8_t* in) {
    const int w = bmp.width();
    std::uint8_t* row = bmp.mutableScanline(y);
    if (!layout.alpha) {
        std::memcpy(row, in, layout.rowBytes(w));
        return;
    }
    std::uint8_t* alpha = bmp.mutableAlphaLine(y);
    if (layout.bits == 16)
        deinterleave(reinterpret_cast<const std::uint16_t*>(in), layout.colors, w,
            reinterpret_cast<std::uint16_t*>(row), alpha);
    else
        deinterleave(in, layout.colors, w, row, alpha);
}

} // namespace ie::io
