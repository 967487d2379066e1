// Plumbing shared by the filters: format dispatch, an untouched source copy and row bands.
#pragma once

#include "document/Selection.h"
#include "imaging/Bitmap.h"

#include <algorithm>
#include <cstdint>
#include <functional>

namespace ie::proc::detail {

/// A sample type and the interleaved samples per pixel of a filterable format.
template <class T, int C> struct Layout {
    using Sample = T;
    static constexpr int channels = C;
    static constexpr float maxValue = sizeof(T) == 1 ? 255.f : 65535.f;
};

/// True for the formats filters work on: Gray8, Rgb24, Rgba32 and Rgb48.
bool isFilterable(PixelFormat f);

/// Throws ie::Error naming `what` when the image's format is not filterable.
void requireFilterable(const Bitmap& image, const char* what);

/// Calls `fn(Layout<T, C>{})` for the image's format (Rgba32 counts its alpha as a fourth sample).
template <class Fn> decltype(auto) dispatch(PixelFormat f, Fn&& fn) {
    switch (f) {
    case PixelFormat::Gray8:
        return fn(Layout<std::uint8_t, 1> {});
    case PixelFormat::Rgba32:
        return fn(Layout<std::uint8_t, 4> {});
    case PixelFormat::Rgb48:
        return fn(Layout<std::uint16_t, 3> {});
    default:
        return fn(Layout<std::uint8_t, 3> {});
    }
}

/// Runs `fn(src, image, rect)` inside the selection's work rectangle: `src` is the image as it
/// was (a copy-on-write share), `image` has the rows of `rect` made private so `fn` may write
/// them from several threads while reading any pixel of `src`.
void filterWithSource(Bitmap& image, const Selection* selection, const char* what,
    const std::function<void(const Bitmap& src, Bitmap& dst, Rect rect)>& fn);

/// Same as filterWithSource without the selection: `rect` is the part to change.
void filterRect(Bitmap& image, Rect rect,
    const std::function<void(const Bitmap& src, Bitmap& dst, Rect rect)>& fn);

/// Splits rows [y0, y1) into bands, a few per core, and runs `body(b0, b1)` on each in
/// parallel. Bands are at least `minRows` rows (filters with a start-up cost per band).
void forBands(int y0, int y1, int minRows, const std::function<void(int, int)>& body);

/// Copies the interleaved alpha of Rgba32 rows of `rect` from `src` back into `dst` (filters
/// that change colour only). Does nothing for other formats.
void keepInterleavedAlpha(const Bitmap& src, Bitmap& dst, Rect rect);

/// Typed row pointers.
template <class T> const T* row(const Bitmap& b, int y) {
    return reinterpret_cast<const T*>(b.scanline(y));
}
template <class T> T* mutableRow(Bitmap& b, int y) {
    return reinterpret_cast<T*>(b.mutableScanline(y));
}

/// Loads samples of pixels [x0, x1) of a row into floats; columns outside [0, width) repeat the
/// edge pixel.
template <class T> void loadRow(const T* src, int width, int channels, int x0, int x1, float* out) {
    int x = x0;
    for (; x < 0 && x < x1; ++x)
        for (int c = 0; c < channels; ++c)
            *out++ = src[c];
    const int mid = std::min(x1, width);
    if (x < mid) {
        const T* s = src + std::size_t(x) * channels;
        const int n = (mid - x) * channels;
        for (int i = 0; i < n; ++i)
            out[i] = s[i];
        out += n;
        x = mid;
    }
    const T* last = src + std::size_t(width - 1) * channels;
    for (; x < x1; ++x)
        for (int c = 0; c < channels; ++c)
            *out++ = last[c];
}

/// Stores floats as samples, rounded and clamped to the sample range.
template <class T> void storeRow(const float* in, int n, T* out) {
    constexpr float hi = sizeof(T) == 1 ? 255.f : 65535.f;
    for (int i = 0; i < n; ++i)
        out[i] = T(std::clamp(in[i] + 0.5f, 0.f, hi + 0.49f));
}

} // namespace ie::proc::detail
