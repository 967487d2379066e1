// Red-eye removal: strongly red pixels lose their excess red.
#pragma once

#include "document/Selection.h"
#include "imaging/Bitmap.h"

namespace ie::proc {

/// In the selection (the user draws it round the eyes; the whole image without one), pixels whose
/// red clearly dominates green and blue get red brought down to the mean of green and blue, with a
/// gradual change near the limit so the pupil's edge stays soft.
void removeRedEyes(Bitmap& image, const Selection* selection);

} // namespace ie::proc
