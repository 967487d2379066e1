// Layered PSD files: the layer records and their channel pixels, read and written.
#pragma once

#include "../../imaging/Bitmap.h"
#include "../FormatParams.h"

#include <string>
#include <vector>

namespace ie::io {

/// One pixel layer of a PSD file, placed on the canvas.
struct PsdLayer {
    std::string name; ///< UTF-8
    int left = 0, top = 0; ///< position on the canvas (may be outside it)
    Bitmap pixels; ///< Rgb24 with an alpha plane when read; Rgb24 or Rgba32, with or without alpha,
                   ///< when written
    std::uint8_t opacity = 255;
    bool visible = true;
    std::string blendKey = "norm"; ///< the format's four-character blend mode
};

/// The layers of a file, bottom first, with the canvas size.
struct PsdLayers {
    int width = 0, height = 0;
    std::vector<PsdLayer> layers;
};

/// Writes an 8-bit RGB PSD (PSB when the path ends in .psb) holding `layers`, bottom first, and
/// `merged` as the merged image that readers without layer support show.
void writeLayeredPsd(const std::string& path, const std::vector<PsdLayer>& layers,
    const Bitmap& merged, const FormatParams& params = {});

/// The pixel layers of a PSD or PSB file, bottom first; none for a flat file or a colour mode
/// whose layers we don't read (the merged image then stands for the picture). Group markers
/// and empty layers are skipped; user masks are applied to the layer's transparency.
/// Throws ie::Error for a damaged file.
PsdLayers readPsdLayers(const std::string& path);

} // namespace ie::io
