// Encoding of a bitmap as a WebP file with its EXIF, XMP and ICC chunks.
#pragma once

#include "../../imaging/Bitmap.h"
#include "../FormatParams.h"
#include "../Metadata.h"

#include <string>

namespace ie::io {

/// Writes `bitmap` lossy or lossless as `params` asks; alpha is kept, and lossless output holds
/// the exact colours even under fully transparent pixels. Throws ie::Error on failure.
void writeWebp(const std::string& path, const Bitmap& bitmap, const FormatParams& params,
    const Metadata& metadata);

} // namespace ie::io
