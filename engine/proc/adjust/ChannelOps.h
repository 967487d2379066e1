// Whole-channel operations: the negative and the channel permutation.
#pragma once

#include "document/Selection.h"
#include "imaging/Bitmap.h"

#include <string_view>

namespace ie::proc {

/// Inverts every colour channel of the selected pixels (alpha kept).
void negative(Bitmap& image, const Selection* selection);

/// Rearranges the channels. `order` holds three letters R, G or B (any case) naming, for the
/// destination channels in the order blue, green, red, the source channel each is taken from: "RGB"
/// swaps red and blue, "BGR" changes nothing. Throws ie::Error for any other text. Grey images are
/// left as they are.
void disposeChannels(Bitmap& image, const Selection* selection, std::string_view order);

} // namespace ie::proc
