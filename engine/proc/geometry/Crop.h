// Cropping: to a rectangle, to the selection (unselected pixels turn clear), to the opaque part.
#pragma once

#include "document/Selection.h"
#include "imaging/Bitmap.h"

namespace ie::proc {

/// The part of `src` inside `r`; throws when `r` does not meet the image.
Bitmap cropTo(const Bitmap& src, const Rect& r);

/// The selection's bounds cut out of `src`, with the unselected pixels made transparent by the
/// mask's strength (the result has alpha). Throws when nothing is selected.
Bitmap cropToSelection(const Bitmap& src, const Selection& selection);

/// The smallest rectangle holding every pixel that is not fully transparent (the whole image when
/// it has no alpha or is entirely clear).
Rect opaqueBounds(const Bitmap& src);

/// `src` without its fully transparent border.
Bitmap cropTransparentBorder(const Bitmap& src);

} // namespace ie::proc
