// The gradient directions of shape, polyline and text fills; the numbers are stored in files.
#pragma once

#include <cstdint>

namespace ie {

/// Direction of a two-colour fill gradient (colour 1 to colour 2). Never renumber.
enum class GradientKind : std::uint8_t {
    None = 0, ///< plain fill with colour 1
    Horizontal, ///< left to right
    Vertical, ///< top to bottom
    HorizontalCenter, ///< colour 2 in the vertical middle line, colour 1 at left and right
    VerticalCenter, ///< colour 2 in the horizontal middle line, colour 1 at top and bottom
    Diagonal, ///< top-left to bottom-right
    Diagonal2, ///< top-right to bottom-left
    DiagonalCenter, ///< colour 2 along the top-right/bottom-left diagonal
    DiagonalCenter2, ///< colour 2 along the top-left/bottom-right diagonal
    Left, ///< radial from the left edge's middle
    Right,
    Top,
    Bottom,
    TopLeft, ///< radial from the top-left corner
    TopRight,
    BottomLeft,
    BottomRight,
};

/// Number of gradient kinds.
inline constexpr int kGradientKindCount = 17;

/// The kind for a stored number; out-of-range numbers give None.
constexpr GradientKind gradientKindFromNumber(int n) {
    return n >= 0 && n < kGradientKindCount ? static_cast<GradientKind>(n) : GradientKind::None;
}

} // namespace ie
