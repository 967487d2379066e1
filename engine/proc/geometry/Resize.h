// Resizing a whole image to a new pixel size with one of the 19 resample filters.
#pragma once

#include "imaging/Bitmap.h"
#include "imaging/Resample.h"

namespace ie::proc {

/// `src` resampled to `width` x `height` (aspect ratio not kept) with `filter`. Sizes below 1 or
/// beyond the engine's limits throw ie::Error with a message naming the size.
Bitmap resize(const Bitmap& src, int width, int height, ResampleFilter filter);

/// The new size for a percentage of the old one, rounded half to even, at least 1.
int scaledSide(int side, double percent);

} // namespace ie::proc
