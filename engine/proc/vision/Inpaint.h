// Inpainting: masked pixels are filled from their surroundings (the heal tool's engine).
#pragma once

#include "document/Selection.h"
#include "imaging/Bitmap.h"

namespace ie::proc {

/// The inpainting methods, numbered as the heal card lists them.
enum class InpaintMethod { NavierStokes = 0, Telea = 1 };

/// Fills the pixels of `image` where the Gray8 `mask` (image-sized) is not 0 from their
/// surroundings within `radius` pixels. Only masked pixels change; alpha is kept. Works on every
/// format (deep and paletted images are filled through 8-bit RGB). Throws for a mask of another
/// size or format.
void inpaint(Bitmap& image, const Bitmap& mask, double radius, InpaintMethod method);

/// The same with a selection as the mask (nothing selected changes nothing).
void inpaint(Bitmap& image, const Selection& area, double radius, InpaintMethod method);

} // namespace ie::proc
