// Conversion of bitmaps between every pair of pixel formats.
#pragma once

#include "Bitmap.h"

namespace ie {

/// How a reduction to a palette or to 1 bit is made.
struct ConvertOptions {
    int paletteColors = 256; ///< colours of an 8-bit paletted result (2 to 256)
    bool dither = false; ///< Floyd-Steinberg error diffusion for paletted and 1-bit results
    int threshold = 128; ///< 1-bit: luma at or above this becomes white (when not dithering)
};

/// `src` in `format`. The alpha plane is kept (Rgba32 results take it into their pixels, Rgba32
/// sources give it out as a plane); resolution is kept. Converting to the same format returns a
/// shared copy.
Bitmap convertTo(const Bitmap& src, PixelFormat format, const ConvertOptions& options = {});

/// The palette (at most `colors` entries) a median-cut quantizer picks for an RGB bitmap.
std::vector<Rgb> quantizePalette(const Bitmap& src, int colors);

} // namespace ie
