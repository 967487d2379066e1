#include "proc/geometry/Flip.h"

#include "imaging/BitmapOps.h"

namespace ie::proc {

void flip(Bitmap& image, FlipDirection direction) {
    if (image.isNull()) return;
    if (direction == FlipDirection::Horizontal)
        flipHorizontal(image);
    else
        flipVertical(image);
}

} // namespace ie::proc
