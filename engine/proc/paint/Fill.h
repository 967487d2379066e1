// Flat fills of the selection (or the whole image): a colour, an opacity, an opacity ramp.
#pragma once

#include "document/Selection.h"
#include "imaging/Bitmap.h"

namespace ie::proc {

/// Paints `color` over the selected pixels; its alpha is stored too where the image has alpha.
void fillColor(Bitmap& image, Rgba color, const Selection* selection = nullptr);

/// Direction of an opacity ramp.
enum class AlphaGradient { None, Horizontal, Vertical };

/// Sets the opacity of the selected pixels to `alpha` (the image gets alpha when it has none);
/// with a direction, the opacity runs from `alpha` to `endAlpha` across the selection's bounds.
void fillAlpha(Bitmap& image, std::uint8_t alpha, const Selection* selection = nullptr,
    AlphaGradient direction = AlphaGradient::None, std::uint8_t endAlpha = 0);

} // namespace ie::proc
