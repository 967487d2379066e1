// Foreground extraction: the object inside a rectangle, separated from its background.
#pragma once

#include "imaging/Bitmap.h"

namespace ie::proc {

/// The rectangle Detect Object searches: the selection's bounds, shrunk when they cover the whole
/// image (left and top + 1, right and bottom - 2) so that a border of background remains.
Rect objectSearchRect(const Rect& selectionBounds, int width, int height);

/// A Gray8 mask the size of `image`: 255 where the object inside `rect` lies, 0 elsewhere, found
/// by graph-cut segmentation with `iterations` rounds. Large images are segmented at a reduced
/// size and the mask scaled back. Throws ie::Error for a rectangle too small to hold an object.
Bitmap extractForeground(const Bitmap& image, const Rect& rect, int iterations = 5);

} // namespace ie::proc
