// Interleaved grey, RGB and RGBA sample rows in and out of bitmaps, for the codecs whose
// libraries exchange plain 8- or 16-bit samples.
#pragma once

#include "../../imaging/Bitmap.h"

#include <cstddef>
#include <cstdint>

namespace ie::io {

/// What one row of plain samples holds.
struct SampleLayout {
    int colors = 3; ///< 1 grey, 3 RGB
    bool alpha = false; ///< an alpha sample after the colours
    int bits = 8; ///< 8, or 16 in native-endian words

    int samples() const { return colors + (alpha ? 1 : 0); }
    std::size_t rowBytes(int width) const {
        return std::size_t(width) * std::size_t(samples()) * std::size_t(bits / 8);
    }
};

/// The layout that keeps the most of `bmp`: grey for grey, bilevel and grey palettes, RGB
/// otherwise; 16 bits for 16-bit formats unless `maxBits` is 8; alpha when it is not all opaque.
SampleLayout plainLayoutOf(const Bitmap& bmp, int maxBits = 16);

/// `bmp` converted to the pixel format packRow reads for `layout` (a shared copy when it is
/// already there).
Bitmap toLayout(const Bitmap& bmp, const SampleLayout& layout);

/// Row `y` of a bitmap from toLayout as interleaved samples, alpha last.
void packRow(const Bitmap& bmp, int y, const SampleLayout& layout, std::uint8_t* out);

/// A bitmap that unpackRow fills: Gray8, Gray16, Rgb24 or Rgb48, with an alpha plane when the
/// layout has alpha.
Bitmap newBitmapFor(int width, int height, const SampleLayout& layout);

/// Stores interleaved samples into row `y` of a bitmap from newBitmapFor.
void unpackRow(Bitmap& bmp, int y, const SampleLayout& layout, const std::uint8_t* in);

} // namespace ie::io
