// Layer colours as the project file stores them (0x00BBGGRR) and their conversion to ie::Rgb.
#pragma once

#include "imaging/Color.h"

#include <cstdint>

namespace ie {

/// A colour value 0x00BBGGRR; values with any bit above the low 24 set mean "no colour".
using ColorRef = std::int32_t;

/// "No colour": an outline or fill with this colour is not drawn.
inline constexpr ColorRef kNoColor = 0x1FFFFFFF;

/// True for a drawable colour (not kNoColor nor any other value above 0x00FFFFFF).
constexpr bool isColor(ColorRef c) {
    return (static_cast<std::uint32_t>(c) & 0xFF000000u) == 0;
}

/// The value of an RGB colour.
constexpr ColorRef colorRef(Rgb c) {
    return c.r | (c.g << 8) | (c.b << 16);
}
constexpr ColorRef colorRef(int r, int g, int b) {
    return colorRef(Rgb { std::uint8_t(r), std::uint8_t(g), std::uint8_t(b) });
}

/// The RGB colour of a value (the high byte ignored).
constexpr Rgb rgbOf(ColorRef c) {
    return { std::uint8_t(c & 0xFF), std::uint8_t((c >> 8) & 0xFF),
        std::uint8_t((c >> 16) & 0xFF) };
}

} // namespace ie
