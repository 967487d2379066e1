// Histogram equalization and automatic enhancement: tone maps computed from the picture itself.
#pragma once

#include "document/Selection.h"
#include "imaging/Bitmap.h"

namespace ie::proc {

/// Spreads the selected pixels' tones evenly over the range. With `perChannel` each channel is
/// equalized on its own histogram (which may shift colours); otherwise one map, from the luma
/// histogram, applies to all three channels.
void equalize(Bitmap& image, const Selection* selection, bool perChannel);

/// Stretches each channel so that `clipPercent` (0 to 10) of the selected pixels fall at either
/// end, which also removes a colour cast; `amount` (0 to 100) blends the result with the original.
void autoEnhance(Bitmap& image, const Selection* selection, double amount, double clipPercent);

} // namespace ie::proc
