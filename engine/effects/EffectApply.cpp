// ImageEffect::Apply: from an effect's parameter values to the processing call.
#include "effects/ImageEffect.h"

#include "effects/OtherEffects.h"
#include "imaging/BitmapOps.h"
#include "imaging/Error.h"
#include "imaging/Resample.h"
#include "proc/adjust/BrightnessContrast.h"
#include "proc/adjust/ColorBalance.h"
#include "proc/adjust/ColorTemperature.h"
#include "proc/adjust/Colorize.h"
#include "proc/adjust/Curves.h"
#include "proc/adjust/Equalize.h"
#include "proc/adjust/GrayBalance.h"
#include "proc/adjust/HueSaturation.h"
#include "proc/adjust/Levels.h"
#include "proc/adjust/ReplaceColor.h"
#include "proc/filter/BumpMap.h"
#include "proc/filter/Convolution.h"
#include "proc/filter/Denoise.h"
#include "proc/filter/GradientMap.h"
#include "proc/filter/Morphology.h"
#include "proc/filter/Sharpen.h"
#include "proc/filter/SoftShadow.h"
#include "proc/geometry/Rotate.h"

#include <cmath>

namespace ie {

namespace {

Rgb colorOf(double v) {
    const auto c = static_cast<std::uint32_t>(v);
    return { std::uint8_t(c >> 16), std::uint8_t(c >> 8), std::uint8_t(c) };
}

proc::LevelsParams levelsOf(const ImageEffect& e) {
    auto channel = [&](const std::string& c) {
        return proc::LevelsChannel { e.param(c + ".inBlack"), e.param(c + ".inWhite"),
            e.param(c + ".gamma"), e.param(c + ".outBlack"), e.param(c + ".outWhite") };
    };
    return { channel("master"), channel("red"), channel("green"), channel("blue") };
}

proc::CurvesParams curvesOf(const ImageEffect& e) {
    auto curve = [&](const std::string& c) {
        proc::ToneCurve t;
        t.points.clear();
        const int n = int(e.param(c + ".points"));
        for (int i = 0; i < n; ++i)
            t.points.push_back(
                { e.param(c + ".x" + std::to_string(i)), e.param(c + ".y" + std::to_string(i)) });
        return t;
    };
    return { curve("master"), curve("red"), curve("green"), curve("blue") };
}

Bitmap resized(const Bitmap& image, const ImageEffect& e) {
    int w = int(e.param("width")), h = int(e.param("height"));
    if (w == 0 && h == 0) {
        const double f = e.param("percent") / 100;
        w = int(std::lround(image.width() * f));
        h = int(std::lround(image.height() * f));
    } else if (w == 0) {
        w = int(std::lround(double(image.width()) * h / image.height()));
    } else if (h == 0) {
        h = int(std::lround(double(image.height()) * w / image.width()));
    }
    return resample(image, std::max(w, 1), std::max(h, 1), ResampleFilter(int(e.param("filter"))));
}

Bitmap cropped(const Bitmap& image, const ImageEffect& e) {
    const int l = int(e.param("left")), t = int(e.param("top"));
    const Rect r { l, t, image.width() - l - int(e.param("right")),
        image.height() - t - int(e.param("bottom")) };
    if (r.w < 1 || r.h < 1)
        throw Error("Crop: the margins leave nothing of the " + std::to_string(image.width())
            + " x " + std::to_string(image.height()) + " image.");
    return crop(image, r);
}

Bitmap rotated(const Bitmap& image, const ImageEffect& e) {
    proc::RotateOptions o;
    o.interpolation = proc::Interpolation(int(e.param("interpolation")));
    o.antialias = e.param("antialias") != 0;
    if (e.param("transparent") != 0)
        o.background.reset();
    else {
        const Rgb c = colorOf(e.param("background"));
        o.background = Rgba { c.r, c.g, c.b, 255 };
    }
    return proc::rotate(image, e.param("angle"), o);
}

proc::ConvolutionKernel kernelOf(const ImageEffect& e) {
    proc::ConvolutionKernel k;
    k.size = int(e.param("size"));
    k.divisor = e.param("divisor");
    k.bias = e.param("bias");
    for (int i = 0; i < k.size * k.size; ++i)
        k.weights.push_back(e.param("k" + std::to_string(i)));
    return k;
}

Bitmap shadowed(Bitmap image, const ImageEffect& e) {
    proc::SoftShadowParams s;
    s.radius = int(e.param("radius"));
    s.offsetX = int(e.param("offsetX"));
    s.offsetY = int(e.param("offsetY"));
    s.intensity = int(e.param("opacity"));
    s.color = colorOf(e.param("color"));
    proc::addSoftShadow(image, s);
    return image;
}

} // namespace

void ImageEffect::Apply(Bitmap& image, const Selection* sel) const {
    if (!m_enabled) return;
    validate();
    if (image.isNull()) throw Error("There is no image to apply the effect to.");
    const auto p = [this](const char* id) { return param(id); };
    switch (m_op) {
    case EffectOp::BrightnessContrastExposure:
        return proc::brightnessContrastExposure(
            image, sel, p("brightness"), p("contrast"), p("exposure"));
    case EffectOp::TempTintSat:
        return proc::temperatureTintSaturation(
            image, sel, p("temperature"), p("tint"), p("saturation"));
    case EffectOp::HueSatLum:
        return proc::hueSaturationLuminosity(image, sel, proc::ColorRange(int(p("range"))),
            p("hue"), p("saturation"), p("luminosity"));
    case EffectOp::RgbBalance:
        return proc::rgbBalance(image, sel, p("red"), p("green"), p("blue"));
    case EffectOp::Equalize:
        return proc::equalize(image, sel, p("perChannel") != 0);
    case EffectOp::GrayScaleBalance:
        return proc::grayScaleBalance(image, sel, p("red"), p("green"), p("blue"));
    case EffectOp::Colorize:
        return proc::colorize(image, sel, p("hue"), p("saturation"), p("lightness"));
    case EffectOp::AutoEnhance:
        return proc::autoEnhance(image, sel, p("amount"), p("clip"));
    case EffectOp::ColorCurve:
        return proc::colorCurves(image, sel, curvesOf(*this));
    case EffectOp::Levels:
        return proc::levels(image, sel, levelsOf(*this));
    case EffectOp::ReplaceColor:
        return proc::replaceColor(image, sel, colorOf(p("from")), p("tolerance"), colorOf(p("to")));
    case EffectOp::Resize:
        image = resized(image, *this);
        return;
    case EffectOp::Crop:
        image = cropped(image, *this);
        return;
    case EffectOp::Rotate:
        image = rotated(image, *this);
        return;
    case EffectOp::UserFilter:
        return proc::convolve(image, kernelOf(*this), sel);
    case EffectOp::BumpMap:
        return proc::bumpMap(image, p("azimuth"), p("elevation"), p("depth"), sel);
    case EffectOp::GradientMap:
        return proc::gradientMap(image, colorOf(p("dark")), colorOf(p("light")), sel);
    case EffectOp::Morph:
        return proc::morphology(image, proc::MorphOp(int(p("operation"))), int(p("radius")), sel);
    case EffectOp::Sharpen:
        return proc::unsharpMask(image, p("radius"), p("amount") / 100, int(p("threshold")), sel);
    case EffectOp::SoftShadow:
        image = shadowed(image, *this);
        return;
    case EffectOp::Smoothing:
        return proc::smoothing(image, proc::SmoothMethod(int(p("method"))), p("strength"), sel);
    case EffectOp::OtherEffects:
        return proc::applyCatalogueEffect(image, int(p("group")),
            other_effects::innerEffect(*this).id, other_effects::innerValues(*this), sel);
    }
    throw Error("Unknown effect operation " + std::to_string(int(m_op)) + ".");
}

} // namespace ie
