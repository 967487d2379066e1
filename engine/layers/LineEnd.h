// The shapes drawn at the start and end of a line layer; the numbers are stored in files.
#pragma once

#include <cstdint>

namespace ie {

/// A line end decoration. Never renumber.
enum class LineEnd : std::uint8_t {
    None = 0,
    Arrow = 1, ///< filled triangle pointing away from the line
    Circle = 2,
    Diamond = 3,
    Arrow2 = 4, ///< open arrow head (two strokes)
    ReverseArrow = 5, ///< filled triangle pointing back along the line
    Bar = 6, ///< a stroke across the line
    Dot = 7, ///< a small filled circle
};

/// Number of line ends.
inline constexpr int kLineEndCount = 8;

/// The end for a stored number; out-of-range numbers give None.
constexpr LineEnd lineEndFromNumber(int n) {
    return n >= 0 && n < kLineEndCount ? static_cast<LineEnd>(n) : LineEnd::None;
}

} // namespace ie
