// Morphological filters: dilate, erode, open and close over a square neighbourhood.
#pragma once

#include "document/Selection.h"
#include "imaging/Bitmap.h"

namespace ie::proc {

/// The four morphological operations; the numbers are stored in effect texts: never renumber.
enum class MorphOp { Dilate = 0, Erode = 1, Open = 2, Close = 3 };

/// Applies `op` with a (2 x radius + 1) square, channel by channel (Rgba32 alpha included):
/// dilate takes the maximum, erode the minimum, open is erode then dilate, close the reverse.
/// Radius 0 leaves the image as it is.
void morphology(Bitmap& image, MorphOp op, int radius, const Selection* selection = nullptr);

inline void dilate(Bitmap& image, int radius, const Selection* selection = nullptr) {
    morphology(image, MorphOp::Dilate, radius, selection);
}
inline void erode(Bitmap& image, int radius, const Selection* selection = nullptr) {
    morphology(image, MorphOp::Erode, radius, selection);
}

} // namespace ie::proc
