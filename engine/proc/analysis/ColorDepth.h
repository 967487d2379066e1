// The wording of an image's colour depth: black and white, a number of colours, or of bits.
#pragma once

#include "imaging/Bitmap.h"

#include <string>

namespace ie::proc {

/// "Black and white" for 1 bit, "N colors" up to 8 bits, "N bit" above (bits per sample times
/// samples per pixel). English: callers translate.
std::string colorDepthText(int bitsPerSample, int samplesPerPixel);

/// The wording for an image (alpha counted as a sample).
std::string colorDepthText(const Bitmap& image);

} // namespace ie::proc
