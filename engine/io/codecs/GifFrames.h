// Writing GIF files of one image or of several animation frames.
#pragma once

#include "../../imaging/Bitmap.h"
#include "../FormatParams.h"

#include <string>
#include <vector>

namespace ie::io {

/// Writes `frames` as one GIF: a still image for one frame, a looping animation for several
/// (each frame shown whole, params.gifFrameDelayMs apart). Paletted bitmaps keep their palette;
/// others are reduced to 256 colours (dithered when params.gifDither). Alpha below
/// params.gifTransparentThreshold becomes the transparent colour. Throws ie::Error on failure.
void writeGifFrames(
    const std::string& path, const std::vector<Bitmap>& frames, const FormatParams& params);

} // namespace ie::io
