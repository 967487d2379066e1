// The effect operations (numbered 1 to 22 as preset files store them) and the table of each
// operation's parameters with defaults and ranges, read by the effect text and the dialogs.
#pragma once

#include <span>
#include <string_view>

namespace ie {

/// Effect operations; the numbers are written into preset files: never renumber.
enum class EffectOp : int {
    BrightnessContrastExposure = 1,
    TempTintSat = 2,
    HueSatLum = 3,
    RgbBalance = 4,
    UserFilter = 5,
    Equalize = 6,
    BumpMap = 7,
    GradientMap = 8,
    Morph = 9,
    Rotate = 10,
    GrayScaleBalance = 11,
    Colorize = 12,
    Sharpen = 13,
    Resize = 14,
    SoftShadow = 15,
    AutoEnhance = 16,
    Crop = 17,
    ColorCurve = 18,
    Levels = 19,
    Smoothing = 20,
    ReplaceColor = 21,
    OtherEffects = 22,
};

inline constexpr int kEffectOpFirst = 1;
inline constexpr int kEffectOpLast = 22;

/// The version written into effect texts. A parameter added later carries the version that
/// introduced it; texts of older versions read it as its default.
inline constexpr int kEffectTextVersion = 1;

/// How a parameter's value is read and shown.
enum class ParamKind {
    Real, ///< any number in range
    Integer, ///< whole numbers only
    Color, ///< a whole number 0xRRGGBB (0 to 16777215)
};

/// One parameter of an operation.
struct EffectParam {
    const char* id; ///< stable name, e.g. "contrast" or "red.gamma"
    double defaultValue;
    double min;
    double max;
    ParamKind kind = ParamKind::Real;
    int since = 1; ///< effect text version that introduced it
};

/// True for 1 to 22.
constexpr bool isEffectOp(int op) {
    return op >= kEffectOpFirst && op <= kEffectOpLast;
}

/// The parameters of `op` in their text order (empty span for an unknown number).
std::span<const EffectParam> effectParams(int op);

/// The display name of `op` ("Levels"), empty for an unknown number.
std::string_view effectName(int op);

} // namespace ie
