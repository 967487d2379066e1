// Colour modes of a whole image: grey, 24-bit RGB, 8-bit paletted, CMYK and back.
#pragma once

#include "imaging/Bitmap.h"

namespace ie::proc {

/// `src` as 8-bit grey (Rec. 601 luma), alpha kept.
Bitmap toGray(const Bitmap& src);
/// `src` as 24-bit RGB, alpha kept as a plane.
Bitmap toRgb24(const Bitmap& src);
/// `src` reduced to at most `colors` (2 to 256) palette entries, optionally dithered.
Bitmap toPalette8(const Bitmap& src, int colors = 256, bool dither = false);
/// `src` as CMYK bytes (0 = no ink).
Bitmap toCmyk(const Bitmap& src);
/// A CMYK image back to 24-bit RGB.
Bitmap fromCmyk(const Bitmap& src);
/// `src` in `format`: the mode menu's one call.
Bitmap changeMode(const Bitmap& src, PixelFormat format);

} // namespace ie::proc
