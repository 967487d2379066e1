#include "PixelFormat.h"

namespace ie {

std::string_view pixelFormatName(PixelFormat f) {
    switch (f) {
    case PixelFormat::Bw1:
        return "bw1";
    case PixelFormat::Palette8:
        return "palette8";
    case PixelFormat::Gray8:
        return "gray8";
    case PixelFormat::Gray16:
        return "gray16";
    case PixelFormat::Rgb24:
        return "rgb24";
    case PixelFormat::Rgba32:
        return "rgba32";
    case PixelFormat::Rgb48:
        return "rgb48";
    case PixelFormat::Cmyk32:
        return "cmyk32";
    case PixelFormat::None:
        break;
    }
    return "none";
}

std::string_view pixelFormatDescription(PixelFormat f) {
    switch (f) {
    case PixelFormat::Bw1:
        return "1-bit black and white";
    case PixelFormat::Palette8:
        return "8-bit paletted";
    case PixelFormat::Gray8:
        return "8-bit grey";
    case PixelFormat::Gray16:
        return "16-bit grey";
    case PixelFormat::Rgb24:
        return "24-bit RGB";
    case PixelFormat::Rgba32:
        return "32-bit RGBA";
    case PixelFormat::Rgb48:
        return "48-bit RGB";
    case PixelFormat::Cmyk32:
        return "32-bit CMYK";
    case PixelFormat::None:
        break;
    }
    return "-";
}

} // namespace ie
