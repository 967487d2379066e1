// The engine's pixel formats: their numbering (stored in project files) and their sizes.
#pragma once

#include <cstdint>
#include <string_view>

namespace ie {

/// Pixel formats of an `ie::Bitmap`. The numbers are written into project files: never renumber.
enum class PixelFormat : std::uint8_t {
    None = 0,
    Bw1 = 1, ///< 1 bit per pixel, most significant bit first, 1 = white
    Palette8 = 2, ///< 8-bit index into the bitmap's palette
    Gray8 = 3, ///< 8-bit grey, 0 = black
    Gray16 = 4, ///< 16-bit grey (native endianness)
    Rgb24 = 5, ///< R, G, B bytes
    Rgba32 = 6, ///< R, G, B, A bytes (alpha interleaved, 255 opaque)
    Rgb48 = 7, ///< R, G, B as 16-bit words (native endianness)
    Cmyk32 = 8, ///< C, M, Y, K bytes, 0 = no ink
};

inline constexpr int kPixelFormatCount = 9;

/// Bits one pixel takes in the colour plane.
constexpr int bitsPerPixel(PixelFormat f) {
    switch (f) {
    case PixelFormat::Bw1:
        return 1;
    case PixelFormat::Palette8:
    case PixelFormat::Gray8:
        return 8;
    case PixelFormat::Gray16:
        return 16;
    case PixelFormat::Rgb24:
        return 24;
    case PixelFormat::Rgba32:
    case PixelFormat::Cmyk32:
        return 32;
    case PixelFormat::Rgb48:
        return 48;
    case PixelFormat::None:
        return 0;
    }
    return 0;
}

/// Colour samples per pixel (alpha of Rgba32 not counted).
constexpr int channelCount(PixelFormat f) {
    switch (f) {
    case PixelFormat::Rgb24:
    case PixelFormat::Rgb48:
    case PixelFormat::Rgba32:
        return 3;
    case PixelFormat::Cmyk32:
        return 4;
    case PixelFormat::None:
        return 0;
    default:
        return 1;
    }
}

/// Bits of one colour sample.
constexpr int bitsPerSample(PixelFormat f) {
    switch (f) {
    case PixelFormat::Bw1:
        return 1;
    case PixelFormat::Gray16:
    case PixelFormat::Rgb48:
        return 16;
    case PixelFormat::None:
        return 0;
    default:
        return 8;
    }
}

constexpr bool isValidPixelFormat(int v) {
    return v >= 1 && v < kPixelFormatCount;
}

/// A short stable name ("rgb24", "gray8" ...), used by the CLI and in messages.
std::string_view pixelFormatName(PixelFormat f);

/// The colour-depth wording shown to users ("24-bit RGB", "8-bit grey" ...).
std::string_view pixelFormatDescription(PixelFormat f);

} // namespace ie
