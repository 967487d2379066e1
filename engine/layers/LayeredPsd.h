// A layer stack saved as a layered PSD file, and the layers of a PSD file as a stack.
#pragma once

#include "LayerStack.h"
#include "io/FormatParams.h"

#include <string>

namespace ie {

/// Saves `stack` as a layered PSD (PSB for .psb): one pixel layer per layer, bottom first, with
/// its name, position, opacity, visibility and blend mode, plus the merged image. Vector,
/// scaled, rotated or flipped layers and their masks and effects are drawn into pixels; masks
/// are not written as layers of their own. Blend operations the format lacks are saved as normal.
void saveLayeredPsd(
    const std::string& path, const LayerStack& stack, const io::FormatParams& params = {});

/// The layers of a PSD or PSB file as a stack whose background has the canvas size; an empty
/// stack when the file holds no layers we read (load its merged image instead).
LayerStack loadLayeredPsd(const std::string& path);

/// The format's four-character blend key for `op` ("norm" when it has none), and back
/// (Normal for unknown keys).
const char* psdBlendKey(BlendOperation op);
BlendOperation blendFromPsdKey(const std::string& key);

} // namespace ie
