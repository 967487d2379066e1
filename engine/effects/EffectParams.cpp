#include "effects/EffectParams.h"

#include <array>

namespace ie {

namespace {

constexpr ParamKind I = ParamKind::Integer;
constexpr ParamKind C = ParamKind::Color;

const EffectParam kBrightness[]
    = { { "brightness", 0, -100, 100 }, { "contrast", 0, -100, 100 }, { "exposure", 0, -5, 5 } };
const EffectParam kTempTint[]
    = { { "temperature", 0, -100, 100 }, { "tint", 0, -100, 100 }, { "saturation", 0, -100, 100 } };
const EffectParam kHsl[] = { { "range", 0, 0, 6, I }, { "hue", 0, -180, 180 },
    { "saturation", 0, -100, 100 }, { "luminosity", 0, -100, 100 } };
const EffectParam kRgb[]
    = { { "red", 0, -100, 100 }, { "green", 0, -100, 100 }, { "blue", 0, -100, 100 } };
// Room for a 7 x 7 kernel; a size of n uses the first n x n values, row by row.
const EffectParam kUserFilter[] = { { "size", 3, 1, 7, I }, { "divisor", 1, -10000, 10000 },
    { "bias", 0, -255, 255 }, { "k0", 0, -1000, 1000 }, { "k1", 0, -1000, 1000 },
    { "k2", 0, -1000, 1000 }, { "k3", 0, -1000, 1000 }, { "k4", 1, -1000, 1000 },
    { "k5", 0, -1000, 1000 }, { "k6", 0, -1000, 1000 }, { "k7", 0, -1000, 1000 },
    { "k8", 0, -1000, 1000 }, { "k9", 0, -1000, 1000 }, { "k10", 0, -1000, 1000 },
    { "k11", 0, -1000, 1000 }, { "k12", 0, -1000, 1000 }, { "k13", 0, -1000, 1000 },
    { "k14", 0, -1000, 1000 }, { "k15", 0, -1000, 1000 }, { "k16", 0, -1000, 1000 },
    { "k17", 0, -1000, 1000 }, { "k18", 0, -1000, 1000 }, { "k19", 0, -1000, 1000 },
    { "k20", 0, -1000, 1000 }, { "k21", 0, -1000, 1000 }, { "k22", 0, -1000, 1000 },
    { "k23", 0, -1000, 1000 }, { "k24", 0, -1000, 1000 }, { "k25", 0, -1000, 1000 },
    { "k26", 0, -1000, 1000 }, { "k27", 0, -1000, 1000 }, { "k28", 0, -1000, 1000 },
    { "k29", 0, -1000, 1000 }, { "k30", 0, -1000, 1000 }, { "k31", 0, -1000, 1000 },
    { "k32", 0, -1000, 1000 }, { "k33", 0, -1000, 1000 }, { "k34", 0, -1000, 1000 },
    { "k35", 0, -1000, 1000 }, { "k36", 0, -1000, 1000 }, { "k37", 0, -1000, 1000 },
    { "k38", 0, -1000, 1000 }, { "k39", 0, -1000, 1000 }, { "k40", 0, -1000, 1000 },
    { "k41", 0, -1000, 1000 }, { "k42", 0, -1000, 1000 }, { "k43", 0, -1000, 1000 },
    { "k44", 0, -1000, 1000 }, { "k45", 0, -1000, 1000 }, { "k46", 0, -1000, 1000 },
    { "k47", 0, -1000, 1000 }, { "k48", 0, -1000, 1000 } };
const EffectParam kEqualize[] = { { "perChannel", 0, 0, 1, I } };
const EffectParam kBumpMap[]
    = { { "azimuth", 135, 0, 360 }, { "elevation", 45, 1, 90 }, { "depth", 3, 0, 100 } };
const EffectParam kGradientMap[]
    = { { "dark", 0, 0, 0xFFFFFF, C }, { "light", 0xFFFFFF, 0, 0xFFFFFF, C } };
const EffectParam kMorph[] = { { "operation", 0, 0, 3, I }, { "radius", 1, 0, 50, I } };
const EffectParam kRotate[]
    = { { "angle", 0, -360, 360 }, { "interpolation", 2, 0, 2, I }, { "antialias", 1, 0, 1, I },
          { "background", 0xFFFFFF, 0, 0xFFFFFF, C }, { "transparent", 0, 0, 1, I } };
const EffectParam kGrayBalance[]
    = { { "red", 30, 0, 200 }, { "green", 59, 0, 200 }, { "blue", 11, 0, 200 } };
const EffectParam kColorize[]
    = { { "hue", 30, 0, 360 }, { "saturation", 25, 0, 100 }, { "lightness", 0, -100, 100 } };
const EffectParam kSharpen[]
    = { { "amount", 100, 0, 500 }, { "radius", 1, 0.1, 100 }, { "threshold", 0, 0, 255, I } };
const EffectParam kResize[] = { { "width", 0, 0, 100000, I }, { "height", 0, 0, 100000, I },
    { "percent", 100, 1, 1000 }, { "filter", 5, 0, 18, I } };
const EffectParam kShadow[] = { { "radius", 10, 0, 100, I }, { "offsetX", 10, -200, 200, I },
    { "offsetY", 10, -200, 200, I }, { "color", 0, 0, 0xFFFFFF, C }, { "opacity", 90, 0, 100, I } };
const EffectParam kAutoEnhance[] = { { "amount", 100, 0, 100 }, { "clip", 0.5, 0, 10 } };
const EffectParam kCrop[] = { { "left", 0, 0, 100000, I }, { "top", 0, 0, 100000, I },
    { "right", 0, 0, 100000, I }, { "bottom", 0, 0, 100000, I } };
const EffectParam kCurves[] = { { "master.points", 2, 2, 8, I }, { "master.x0", 0, 0, 255 },
    { "master.y0", 0, 0, 255 }, { "master.x1", 255, 0, 255 }, { "master.y1", 255, 0, 255 },
    { "master.x2", 0, 0, 255 }, { "master.y2", 0, 0, 255 }, { "master.x3", 0, 0, 255 },
    { "master.y3", 0, 0, 255 }, { "master.x4", 0, 0, 255 }, { "master.y4", 0, 0, 255 },
    { "master.x5", 0, 0, 255 }, { "master.y5", 0, 0, 255 }, { "master.x6", 0, 0, 255 },
    { "master.y6", 0, 0, 255 }, { "master.x7", 0, 0, 255 }, { "master.y7", 0, 0, 255 },
    { "red.points", 2, 2, 8, I }, { "red.x0", 0, 0, 255 }, { "red.y0", 0, 0, 255 },
    { "red.x1", 255, 0, 255 }, { "red.y1", 255, 0, 255 }, { "red.x2", 0, 0, 255 },
    { "red.y2", 0, 0, 255 }, { "red.x3", 0, 0, 255 }, { "red.y3", 0, 0, 255 },
    { "red.x4", 0, 0, 255 }, { "red.y4", 0, 0, 255 }, { "red.x5", 0, 0, 255 },
    { "red.y5", 0, 0, 255 }, { "red.x6", 0, 0, 255 }, { "red.y6", 0, 0, 255 },
    { "red.x7", 0, 0, 255 }, { "red.y7", 0, 0, 255 }, { "green.points", 2, 2, 8, I },
    { "green.x0", 0, 0, 255 }, { "green.y0", 0, 0, 255 }, { "green.x1", 255, 0, 255 },
    { "green.y1", 255, 0, 255 }, { "green.x2", 0, 0, 255 }, { "green.y2", 0, 0, 255 },
    { "green.x3", 0, 0, 255 }, { "green.y3", 0, 0, 255 }, { "green.x4", 0, 0, 255 },
    { "green.y4", 0, 0, 255 }, { "green.x5", 0, 0, 255 }, { "green.y5", 0, 0, 255 },
    { "green.x6", 0, 0, 255 }, { "green.y6", 0, 0, 255 }, { "green.x7", 0, 0, 255 },
    { "green.y7", 0, 0, 255 }, { "blue.points", 2, 2, 8, I }, { "blue.x0", 0, 0, 255 },
    { "blue.y0", 0, 0, 255 }, { "blue.x1", 255, 0, 255 }, { "blue.y1", 255, 0, 255 },
    { "blue.x2", 0, 0, 255 }, { "blue.y2", 0, 0, 255 }, { "blue.x3", 0, 0, 255 },
    { "blue.y3", 0, 0, 255 }, { "blue.x4", 0, 0, 255 }, { "blue.y4", 0, 0, 255 },
    { "blue.x5", 0, 0, 255 }, { "blue.y5", 0, 0, 255 }, { "blue.x6", 0, 0, 255 },
    { "blue.y6", 0, 0, 255 }, { "blue.x7", 0, 0, 255 }, { "blue.y7", 0, 0, 255 } };
const EffectParam kLevels[] = { { "master.inBlack", 0, 0, 254, I },
    { "master.inWhite", 255, 1, 255, I }, { "master.gamma", 1, 0.1, 10 },
    { "master.outBlack", 0, 0, 255, I }, { "master.outWhite", 255, 0, 255, I },
    { "red.inBlack", 0, 0, 254, I }, { "red.inWhite", 255, 1, 255, I }, { "red.gamma", 1, 0.1, 10 },
    { "red.outBlack", 0, 0, 255, I }, { "red.outWhite", 255, 0, 255, I },
    { "green.inBlack", 0, 0, 254, I }, { "green.inWhite", 255, 1, 255, I },
    { "green.gamma", 1, 0.1, 10 }, { "green.outBlack", 0, 0, 255, I },
    { "green.outWhite", 255, 0, 255, I }, { "blue.inBlack", 0, 0, 254, I },
    { "blue.inWhite", 255, 1, 255, I }, { "blue.gamma", 1, 0.1, 10 },
    { "blue.outBlack", 0, 0, 255, I }, { "blue.outWhite", 255, 0, 255, I } };
const EffectParam kSmoothing[] = { { "method", 0, 0, 4, I }, { "strength", 2, 0, 100 } };
const EffectParam kReplaceColor[] = { { "from", 0xFF0000, 0, 0xFFFFFF, C },
    { "tolerance", 10, 0, 100 }, { "to", 0xFF0000, 0, 0xFFFFFF, C } };
// The inner effect of the filter catalogue (group 1 to 8, its position in the group) and up to
// eight of its parameters; the defaults of p1..p8 come from the inner effect itself.
const EffectParam kOther[] = { { "group", 1, 1, 8, I }, { "effect", 0, 0, 99, I },
    { "p1", 0, -1e6, 1e6 }, { "p2", 0, -1e6, 1e6 }, { "p3", 0, -1e6, 1e6 }, { "p4", 0, -1e6, 1e6 },
    { "p5", 0, -1e6, 1e6 }, { "p6", 0, -1e6, 1e6 }, { "p7", 0, -1e6, 1e6 },
    { "p8", 0, -1e6, 1e6 } };

struct OpInfo {
    std::string_view name;
    std::span<const EffectParam> params;
};

const std::array<OpInfo, kEffectOpLast> kOps = { {
    { "Brightness / Contrast / Exposure", kBrightness },
    { "Temperature / Tint / Saturation", kTempTint },
    { "Hue / Saturation / Luminosity", kHsl },
    { "Color Balance", kRgb },
    { "Custom Filter", kUserFilter },
    { "Equalization", kEqualize },
    { "Bump Map", kBumpMap },
    { "Gradient Map", kGradientMap },
    { "Morphing", kMorph },
    { "Rotate", kRotate },
    { "Gray-Scale Balance", kGrayBalance },
    { "Colorization", kColorize },
    { "Sharpen", kSharpen },
    { "Resize", kResize },
    { "Shadow", kShadow },
    { "Auto-enhancement", kAutoEnhance },
    { "Crop", kCrop },
    { "Color Curve", kCurves },
    { "Levels", kLevels },
    { "Denoise / Smooth", kSmoothing },
    { "Color Change (Pick)", kReplaceColor },
    { "All Filters", kOther },
} };

} // namespace

std::span<const EffectParam> effectParams(int op) {
    return isEffectOp(op) ? kOps[std::size_t(op - 1)].params : std::span<const EffectParam> {};
}

std::string_view effectName(int op) {
    return isEffectOp(op) ? kOps[std::size_t(op - 1)].name : std::string_view {};
}

} // namespace ie
