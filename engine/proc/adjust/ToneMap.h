// Per-channel tone maps applied through lookup tables: the engine of levels, curves, brightness,
// negative and the other adjustments where each output sample depends on its input sample alone.
#pragma once

#include "document/Selection.h"
#include "imaging/Bitmap.h"

#include <functional>

namespace ie::proc {

/// Maps a sample from 0 to 1 of channel 0 (red), 1 (green) or 2 (blue) to its new value (clamped
/// to 0 to 1 afterwards). Called once per table entry, never per pixel.
using ToneFunction = std::function<double(int channel, double value)>;

/// Applies `map` to the selected pixels (all without a selection). Rgb24, Rgba32 and Rgb48 map each
/// channel; Gray8 and Gray16 take the luma of the three mapped values of their grey. Alpha is kept.
/// Throws ie::Error naming `operation` for other formats.
void applyToneMap(
    Bitmap& image, const Selection* selection, const ToneFunction& map, const char* operation);

/// The same on `rect` only, with no selection handling (for callers that blend themselves).
void applyToneMapIn(Bitmap& image, Rect rect, const ToneFunction& map);

} // namespace ie::proc
