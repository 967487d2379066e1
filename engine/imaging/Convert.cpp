#include "Convert.h"

#include "Error.h"

namespace ie {

Bitmap convertTo(const Bitmap& src, PixelFormat format, const ConvertOptions&) {
    if (src.pixelFormat() == format) return src;
    throw Error("conversion not implemented");
}

std::vector<Rgb> quantizePalette(const Bitmap&, int) {
    return {};
}

} // namespace ie
