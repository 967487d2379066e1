// Writing TIFF files of one or several pages.
#pragma once

#include "../../imaging/Bitmap.h"
#include "../FormatParams.h"
#include "../Metadata.h"

#include <string>
#include <vector>

namespace ie::io {

/// Writes `pages` as the pages of one TIFF file (any pixel formats, alpha kept as unassociated
/// alpha), compressed as `params` asks. The ICC profile of `metadata` goes into the first page;
/// EXIF, IPTC and XMP are left to exiv2. Throws ie::Error on failure.
void writeTiffPages(const std::string& path, const std::vector<Bitmap>& pages,
    const FormatParams& params, const Metadata& metadata = {});

} // namespace ie::io
