// Small colour value types shared by bitmaps, palettes and drawing.
#pragma once

#include <cstdint>

namespace ie {

/// An 8-bit RGB colour (palette entries, fills).
struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

/// An 8-bit RGBA colour; a = 255 is opaque.
struct Rgba {
    std::uint8_t r = 0, g = 0, b = 0, a = 255;
    friend bool operator==(const Rgba&, const Rgba&) = default;
};

/// Luma of an RGB triple with the Rec. 601 weights, rounded (the engine's grey conversion).
constexpr std::uint8_t lumaOf(int r, int g, int b) {
    return static_cast<std::uint8_t>((r * 19595 + g * 38470 + b * 7471 + 32768) >> 16);
}

} // namespace ie
