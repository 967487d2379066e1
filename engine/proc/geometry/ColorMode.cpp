#include "proc/geometry/ColorMode.h"

#include "imaging/Convert.h"
#include "imaging/Error.h"

#include <string>

namespace ie::proc {

Bitmap toGray(const Bitmap& src) {
    return convertTo(src, PixelFormat::Gray8);
}

Bitmap toRgb24(const Bitmap& src) {
    return convertTo(src, PixelFormat::Rgb24);
}

Bitmap toPalette8(const Bitmap& src, int colors, bool dither) {
    if (colors < 2 || colors > 256)
        throw Error("A palette holds 2 to 256 colours, not " + std::to_string(colors) + ".");
    ConvertOptions o;
    o.paletteColors = colors;
    o.dither = dither;
    return convertTo(src, PixelFormat::Palette8, o);
}

Bitmap toCmyk(const Bitmap& src) {
    return convertTo(src, PixelFormat::Cmyk32);
}

Bitmap fromCmyk(const Bitmap& src) {
    if (src.pixelFormat() != PixelFormat::Cmyk32) throw Error("The image is not in CMYK mode.");
    return convertTo(src, PixelFormat::Rgb24);
}

Bitmap changeMode(const Bitmap& src, PixelFormat format) {
    if (!isValidPixelFormat(int(format))) throw Error("Unknown pixel format.");
    return convertTo(src, format);
}

} // namespace ie::proc
