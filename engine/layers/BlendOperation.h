// The blend operations a layer is composited with; the numbers are stored in project files.
#pragma once

#include <cstdint>
#include <string_view>

namespace ie {

/// How a layer's colour combines with what lies below it. The order is fixed (it is the order of
/// the brush operation list and the number written into layer records): never renumber.
enum class BlendOperation : std::uint8_t {
    Normal = 0,
    Add,
    Sub,
    Div,
    Mul,
    Or,
    And,
    Xor,
    Max,
    Min,
    Average,
    Screen,
    Negation,
    Exclusion,
    Overlay,
    HardLight,
    SoftLight,
    XFader,
    ColorEdge,
    ColorBurn,
    InverseColorDodge,
    InverseColorBurn,
    SoftDodge,
    SoftBurn,
    Reflect,
    Glow,
    Freeze,
    Eat,
    Subtractive,
    Interpolation,
    Stamp,
    Red,
    Green,
    Blue,
    Hue,
    Saturation,
    Color,
    Luminosity,
    StereoBW, ///< anaglyph helpers, only offered for layers
    StereoColor,
    StereoColorDubois,
    StereoEven,
    StereoOdd,
    Luminosity2,
};

/// Number of blend operations (valid numbers are 0 to kBlendOperationCount - 1).
inline constexpr int kBlendOperationCount = 44;

/// The operation's short display name ("Normal", "Add", ...), "?" outside the range.
std::string_view blendOperationName(BlendOperation op);

/// The operation for a stored number; out-of-range numbers give Normal.
constexpr BlendOperation blendOperationFromNumber(int n) {
    return n >= 0 && n < kBlendOperationCount ? static_cast<BlendOperation>(n)
                                              : BlendOperation::Normal;
}

} // namespace ie
