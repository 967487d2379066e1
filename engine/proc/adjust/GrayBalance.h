// Grey-scale balance: a grey picture mixed from the channels with the user's weights.
#pragma once

#include "document/Selection.h"
#include "imaging/Bitmap.h"

namespace ie::proc {

/// Every selected pixel becomes the grey red% * R + green% * G + blue% * B (each weight 0 to
/// 200 percent; 30, 59, 11 is the usual luma). The pixel format is kept.
void grayScaleBalance(
    Bitmap& image, const Selection* selection, double red, double green, double blue);

} // namespace ie::proc
