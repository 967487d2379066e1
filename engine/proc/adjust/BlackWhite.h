// Black and white: every pixel pure black or white, by a threshold (automatic by Otsu's method)
// or by ordered dithering.
#pragma once

#include "document/Selection.h"
#include "imaging/Bitmap.h"

namespace ie::proc {

/// Otsu's threshold of the selected pixels' luma: the level that best separates two classes.
int otsuThreshold(const Bitmap& image, const Selection* selection);

/// Selected pixels whose luma is at or above `threshold` (0 to 255) become white, the others black;
/// -1 picks the threshold by Otsu's method. The pixel format is kept, so a selection still works.
void convertToBWThreshold(Bitmap& image, const Selection* selection, int threshold);

/// Black and white by an 8 x 8 ordered (Bayer) dither of the luma, which keeps mid-tones as
/// patterns. The pixel format is kept.
void convertToBWOrdered(Bitmap& image, const Selection* selection);

} // namespace ie::proc
