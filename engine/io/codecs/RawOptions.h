// The RAW import options turned into LibRaw's decoding parameters, and the one option LibRaw
// has no parameter for.
#pragma once

#include "../../imaging/Bitmap.h"
#include "../RawParams.h"

#include <libraw_types.h>

namespace ie::io {

/// Sets every field of `out` that the options decide; the others keep LibRaw's defaults.
void applyRawParams(const RawParams& params, libraw_output_params_t& out);

/// Automatic colour adjustment of a decoded Rgb24 or Rgb48 image: each channel is stretched so
/// that its darkest and brightest 0.1 % of pixels reach black and white, which also removes a
/// colour cast left by the white balance. Other formats are left alone.
void autoAdjustColors(Bitmap& bmp);

} // namespace ie::io
