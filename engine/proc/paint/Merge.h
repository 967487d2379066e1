// Merging another picture into an image at a percentage (the Blend command).
#pragma once

#include "document/Selection.h"
#include "imaging/Bitmap.h"

namespace ie::proc {

/// Mixes `other` into `image` at `percent` (0 keeps the image, 100 shows `other`). `other` is
/// stretched to the image's size when it differs; its transparency lowers its share. The image's
/// own alpha is kept.
void mergeBitmap(
    Bitmap& image, const Bitmap& other, int percent, const Selection* selection = nullptr);

} // namespace ie::proc
