// Decoding of one TIFF directory (page) into a bitmap.
#pragma once

#include "../Codec.h"

#include <string>

namespace ie::io {

/// Pages (directories) of a TIFF file. Throws ie::Error when the file can't be read.
int tiffPageCount(const std::string& path);

/// Decodes page `pageIndex` (0-based). Rows come in stored order: the orientation tag is left to
/// the caller, who reads it from the EXIF of page 0. Throws ie::Error on any failure.
DecodedImage readTiffPage(const std::string& path, int pageIndex);

} // namespace ie::io
