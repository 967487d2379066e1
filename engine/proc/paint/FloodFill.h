// Flood fill from a seed pixel: the connected area of similar colour gets a colour or an opacity.
#pragma once

#include "document/Selection.h"
#include "imaging/Bitmap.h"

namespace ie::proc {

/// What a flood fill changes.
struct FloodFill {
    Rgba color { 0, 0, 0, 255 }; ///< the new colour (colour fill)
    std::uint8_t alpha = 255; ///< the new opacity (alpha fill)
    bool alphaOnly = false; ///< alpha fill: only the opacity changes
    int tolerance = 0; ///< 0 to 255: largest channel difference from the seed colour
};

/// Fills the 4-connected area around (x, y) whose colours differ from the seed's by at most the
/// tolerance in every channel (alpha included), inside the selection when there is one. Returns
/// the number of pixels reached; a seed outside the image changes nothing.
std::int64_t floodFill(
    Bitmap& image, int x, int y, const FloodFill& fill, const Selection* selection = nullptr);

} // namespace ie::proc
