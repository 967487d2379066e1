// Texture overlays: built-in procedural surfaces and a tiled texture image.
#pragma once

#include "document/Selection.h"
#include "imaging/Bitmap.h"

namespace ie::proc {

/// The built-in surfaces; the numbers are stored in effect texts: never renumber.
enum class TextureKind { Canvas = 0, Burlap = 1, Brick = 2, Grain = 3, Linen = 4, Wood = 5 };

/// Relief of a built-in surface at a pixel, -1 to 1, for a pattern `scale` pixels across.
float textureRelief(TextureKind kind, int x, int y, int scale);

/// Lights and darkens the image by the relief of `kind` at `strength` (0 to 100 per cent).
void applyTexture(
    Bitmap& image, TextureKind kind, int scale, int strength, const Selection* selection = nullptr);

/// Overlays `texture` (any format), tiled from the top left, with the overlay blend at
/// `opacity` per cent. An empty texture changes nothing.
void textureOverlay(
    Bitmap& image, const Bitmap& texture, int opacity, const Selection* selection = nullptr);

} // namespace ie::proc
