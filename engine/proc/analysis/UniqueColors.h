// The number of distinct colours of an image.
#pragma once

#include "imaging/Bitmap.h"

#include <cstdint>

namespace ie::proc {

/// Distinct 24-bit RGB colours of `image` (alpha ignored; 16-bit samples reduced to 8 bits).
std::int64_t countUniqueColors(const Bitmap& image);

} // namespace ie::proc
