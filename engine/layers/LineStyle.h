// The pen styles of lines, polylines and shape borders; the numbers are stored in files.
#pragma once

#include <cstdint>

namespace ie {

/// Dash pattern of a stroked outline. Never renumber.
enum class LineStyle : std::uint8_t {
    Solid = 0,
    Dash,
    Dot,
    DashDot,
    DashDotDot,
    WideDash, ///< long dashes with long gaps (paths use it so they stay visible)
    WideDot, ///< round dots with wide gaps
};

/// Number of line styles.
inline constexpr int kLineStyleCount = 7;

/// The style for a stored number; out-of-range numbers give Solid.
constexpr LineStyle lineStyleFromNumber(int n) {
    return n >= 0 && n < kLineStyleCount ? static_cast<LineStyle>(n) : LineStyle::Solid;
}

} // namespace ie
