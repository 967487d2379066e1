#include "proc/MaskBlend.h"

#include "imaging/Error.h"
#include "imaging/Parallel.h"

#include <cstring>

namespace ie::proc {

Rect workRect(const Bitmap& image, const Selection* selection) {
    if (!selection || selection->isEmpty()) return image.rect();
    if (selection->width() != image.width() || selection->height() != image.height())
        throw Error("The selection does not match the image size.");
    return selection->bounds().intersected(image.rect());
}

namespace {

template <class T>
void mixRow(T* out, const T* old, const std::uint8_t* mask, int pixels, int channels) {
    for (int x = 0; x < pixels; ++x) {
        const unsigned m = mask[x];
        if (m == 255) continue;
        T* o = out + std::size_t(x) * channels;
        const T* b = old + std::size_t(x) * channels;
        for (int c = 0; c < channels; ++c)
            o[c] = T((unsigned(o[c]) * m + unsigned(b[c]) * (255 - m) + 127) / 255);
    }
}

void pickRowBits(
    std::uint8_t* out, const std::uint8_t* old, const std::uint8_t* mask, int x0, int pixels) {
    for (int i = 0; i < pixels; ++i) {
        if (mask[i] >= 128) continue;
        const int x = x0 + i;
        const std::uint8_t bit = std::uint8_t(0x80 >> (x & 7));
        out[x >> 3] = std::uint8_t((out[x >> 3] & ~bit) | (old[x >> 3] & bit));
    }
}

void pickRowBytes(
    std::uint8_t* out, const std::uint8_t* old, const std::uint8_t* mask, int pixels) {
    for (int x = 0; x < pixels; ++x)
        if (mask[x] < 128) out[x] = old[x];
}

void restoreColorRow(
    Bitmap& image, const Bitmap& before, const std::uint8_t* mask, int y, Rect rect) {
    const PixelFormat f = image.pixelFormat();
    std::uint8_t* out = image.mutableScanline(y);
    const std::uint8_t* old = before.scanline(y);
    switch (f) {
    case PixelFormat::Bw1:
        pickRowBits(out, old, mask, rect.x, rect.w);
        return;
    case PixelFormat::Palette8:
        pickRowBytes(out + rect.x, old + rect.x, mask, rect.w);
        return;
    case PixelFormat::Gray16:
    case PixelFormat::Rgb48: {
        const int channels = f == PixelFormat::Gray16 ? 1 : 3;
        auto* o = reinterpret_cast<std::uint16_t*>(out) + std::size_t(rect.x) * channels;
        auto* b = reinterpret_cast<const std::uint16_t*>(old) + std::size_t(rect.x) * channels;
        mixRow(o, b, mask, rect.w, channels);
        return;
    }
    default: {
        const int channels = bitsPerPixel(f) / 8;
        mixRow(out + std::size_t(rect.x) * channels, old + std::size_t(rect.x) * channels, mask,
            rect.w, channels);
    }
    }
}

} // namespace

void restoreUnselected(Bitmap& image, const Bitmap& before, const Selection& selection, Rect rect) {
    rect = rect.intersected(image.rect());
    if (rect.isEmpty()) return;
    const bool alpha = image.hasAlphaPlane() && before.hasAlphaPlane();
    image.detachRows(rect.y, rect.bottom()); // rows are then written from several threads
    parallelFor(rect.y, rect.bottom(), [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            const std::uint8_t* mask = selection.mask().scanline(y) + rect.x;
            restoreColorRow(image, before, mask, y, rect);
            if (alpha)
                mixRow(image.mutableAlphaLine(y) + rect.x, before.alphaLine(y) + rect.x, mask,
                    rect.w, 1);
        }
    });
}

} // namespace ie::proc
