// Mirroring of a whole image, left-right or top-bottom.
#pragma once

#include "imaging/Bitmap.h"

namespace ie::proc {

/// Which way an image is mirrored.
enum class FlipDirection { Horizontal, Vertical };

/// Mirrors `image` in place (colour and alpha).
void flip(Bitmap& image, FlipDirection direction);

} // namespace ie::proc
