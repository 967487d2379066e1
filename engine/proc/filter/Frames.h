// Frames painted inside the image border and decorations laid over the picture.
#pragma once

#include "document/Selection.h"
#include "imaging/Bitmap.h"

namespace ie::proc {

/// Frame styles; the numbers are stored in effect texts: never renumber.
enum class FrameStyle { Solid = 0, Bevel = 1, Double = 2, InnerShadow = 3, Rounded = 4, Film = 5 };

/// Paints a frame `width` pixels wide in `color` inside the edge of the work area (the image,
/// or the selection's bounds).
void addFrame(
    Bitmap& image, FrameStyle style, int width, Rgb color, const Selection* selection = nullptr);

/// Decorations; the numbers are stored in effect texts: never renumber.
enum class DecorationKind {
    OvalVignette = 0,
    SoftEdges = 1,
    Scanlines = 2,
    Spotlight = 3,
    Grid = 4
};

/// Lays decoration `kind` over the work area at `amount` per cent (0 to 100); `size` is the
/// line spacing of scan lines and grids, and the fade width in per cent for the edge fades.
void decorate(Bitmap& image, DecorationKind kind, int amount, int size, Rgb color,
    const Selection* selection = nullptr);

} // namespace ie::proc
