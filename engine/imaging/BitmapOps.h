// Whole-bitmap operations: crop, copy of a rectangle, drawing with alpha, flips, right-angle turns.
#pragma once

#include "Bitmap.h"

namespace ie {

/// The part of `src` inside `r` (clipped), same format, alpha and resolution.
Bitmap crop(const Bitmap& src, const Rect& r);

/// Copies the `srcRect` part of `src` into `dst` at (dx, dy), clipped, converting the format when
/// they differ. Alpha is copied when both have it; a destination plane receives 255 otherwise.
void copyRect(const Bitmap& src, const Rect& srcRect, Bitmap& dst, int dx, int dy);

/// Draws `src` over `dst` at (dx, dy) with source-over alpha blending, scaled by `opacity`
/// (0 to 1). The destination's alpha, when present, becomes the union coverage.
void drawOnto(Bitmap& dst, const Bitmap& src, int dx, int dy, double opacity = 1.0);

void flipHorizontal(Bitmap& bmp);
void flipVertical(Bitmap& bmp);

/// Turned clockwise by 90, 180 or 270 degrees (other values throw).
Bitmap rotateRightAngle(const Bitmap& src, int degreesClockwise);

} // namespace ie
