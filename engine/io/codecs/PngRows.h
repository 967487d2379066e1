// How bitmap rows map to PNG sample rows and back: the chosen colour type, packing of alpha
// planes and palettes into samples on writing, and splitting them out again on reading.
#pragma once

#include "../../imaging/Bitmap.h"

#include <array>
#include <cstdint>
#include <vector>

namespace ie::io::png_rows {

/// What the rows libpng delivers on reading hold, and the bitmap they become.
struct Layout {
    PixelFormat format = PixelFormat::None;
    bool alpha = false; ///< an alpha sample follows the colour samples (split into the plane)
    bool paletteAlpha = false; ///< palette with tRNS: alpha comes from the index
    int bytesPerSample = 1; ///< 2 for 16-bit files (native byte order)

    int fileBitsPerPixel() const;
};

/// Bytes of one row libpng delivers for `layout`.
std::size_t fileRowBytes(const Layout& layout, int width);

/// Moves the colour samples of `in` (one file row) into row `y` of `bmp` and the alpha samples
/// into its alpha plane.
void splitAlpha(const Layout& layout, const std::uint8_t* in, Bitmap& bmp, int y);

using AlphaTable = std::array<std::uint8_t, 256>;

/// Fills the alpha plane of a paletted bitmap from the alpha of each index.
void alphaFromPalette(const AlphaTable& table, Bitmap& bmp);

/// The PNG form a bitmap is written in.
struct Target {
    int colorType = 0; ///< PNG_COLOR_TYPE_*
    int bitDepth = 8;
    bool alphaFromPlane = false; ///< the alpha plane is interleaved into the samples
    bool expandPalette = false; ///< palette entries written as RGBA (alpha not per index)
    std::vector<Rgb> palette; ///< PLTE, covering every index used
    std::vector<std::uint8_t> trns; ///< tRNS of a paletted target

    int samplesPerPixel() const;
};

/// The lossless PNG form of `bmp` (any format but Cmyk32).
Target chooseTarget(const Bitmap& bmp);

/// Bytes of one PNG row of `target`.
std::size_t targetRowBytes(const Target& target, int width);

/// Row `y` as PNG samples (big-endian 16-bit): the bitmap's own row when it already is one,
/// else packed into `buffer` (targetRowBytes long).
const std::uint8_t* packRow(const Bitmap& bmp, int y, const Target& target, std::uint8_t* buffer);

} // namespace ie::io::png_rows
