#include "BlendOperation.h"

#include <array>

namespace ie {

namespace {
constexpr std::array<std::string_view, kBlendOperationCount> kNames {
    "Normal",
    "Add",
    "Sub",
    "Div",
    "Mul",
    "OR",
    "AND",
    "XOR",
    "MAX",
    "MIN",
    "Average",
    "Screen",
    "Negation",
    "Exclusion",
    "Overlay",
    "HardLight",
    "SoftLight",
    "XFader",
    "ColorEdge",
    "ColorBurn",
    "InverseColorDodge",
    "InverseColorBurn",
    "SoftDodge",
    "SoftBurn",
    "Reflect",
    "Glow",
    "Freeze",
    "Eat",
    "Subtractive",
    "Interpolation",
    "Stamp",
    "Red",
    "Green",
    "Blue",
    "Hue",
    "Saturation",
    "Color",
    "Luminosity",
    "Stereo B+W",
    "Stereo Color",
    "Stereo Color Dubois",
    "Stereo Even",
    "Stereo Odd",
    "Luminosity 2",
};
static_assert(static_cast<int>(BlendOperation::Luminosity2) == kBlendOperationCount - 1);
} // namespace

std::string_view blendOperationName(BlendOperation op) {
    const int n = static_cast<int>(op);
    return n < kBlendOperationCount ? kNames[n] : "?";
}

} // namespace ie
