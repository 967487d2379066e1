#include "proc/filter/EffectCatalogue.h"

#include "imaging/Error.h"
#include "proc/filter/Blur.h"
#include "proc/filter/Distort.h"
#include "proc/filter/EdgeDetect.h"
#include "proc/filter/Frames.h"
#include "proc/filter/Lens.h"
#include "proc/filter/Morphology.h"
#include "proc/filter/PixelLoop.h"
#include "proc/filter/Sharpen.h"
#include "proc/filter/Stylize.h"
#include "proc/filter/Texture.h"

#include <cmath>

namespace ie::proc {

namespace {

using P = std::vector<double>;

int asInt(double v) {
    return int(std::lround(v));
}
Rgb colorOf(const P& p, std::size_t i) {
    return { std::uint8_t(asInt(p[i])), std::uint8_t(asInt(p[i + 1])),
        std::uint8_t(asInt(p[i + 2])) };
}
std::vector<EffectParam> withColor(std::vector<EffectParam> params, int r, int g, int b) {
    params.push_back({ "red", double(r), 0, 255 });
    params.push_back({ "green", double(g), 0, 255 });
    params.push_back({ "blue", double(b), 0, 255 });
    return params;
}

void negate(Bitmap& image, const Selection* selection) {
    detail::pointEffect(image, selection, "Negative", [](int, int, float* v, int n) {
        for (int i = 0; i < n; ++i)
            v[i] = 1 - v[i];
    });
}

void toGrey(Bitmap& image, const Selection* selection) {
    detail::pointEffect(image, selection, "Drawing", [](int, int, float* v, int n) {
        if (n == 3) v[0] = v[1] = v[2] = 0.299f * v[0] + 0.587f * v[1] + 0.114f * v[2];
    });
}

// Pencil sketch: grey, then the grey divided by its blurred negative (colour dodge).
void pencilSketch(Bitmap& image, double sigma, const Selection* selection) {
    detail::requireFilterable(image, "Pencil sketch");
    toGrey(image, selection);
    Bitmap soft = image;
    negate(soft, nullptr);
    gaussianBlur(soft, sigma);
    detail::dispatch(image.pixelFormat(), [&](auto layout) {
        using L = decltype(layout);
        using T = typename L::Sample;
        detail::pointEffect(image, selection, "Pencil sketch", [&](int x, int y, float* v, int n) {
            const T* s = detail::row<T>(soft, y) + std::size_t(x) * L::channels;
            for (int i = 0; i < n; ++i)
                v[i] = std::min(1.f, v[i] / std::max(1e-3f, 1.f - float(s[i]) / L::maxValue));
        });
    });
}

EffectGroup distortion() {
    return { 1, "Distortion",
        {
            { "wave", "Wave",
                { { "amplitude", 8, 0, 200 }, { "wavelength", 60, 2, 2000 },
                    { "phase", 0, 0, 359 } },
                [](Bitmap& b, const P& p, const Selection* s) { wave(b, p[0], p[1], p[2], s); } },
            { "twirl", "Twirl", { { "angle", 90, -720, 720 } },
                [](Bitmap& b, const P& p, const Selection* s) { twirl(b, p[0], s); } },
            { "pinch", "Pinch", { { "amount", 50, -100, 100 } },
                [](Bitmap& b, const P& p, const Selection* s) { pinch(b, p[0] / 100, s); } },
            { "spherize", "Spherize", { { "amount", 100, -100, 100 } },
                [](Bitmap& b, const P& p, const Selection* s) { spherize(b, p[0] / 100, s); } },
            { "ripple", "Ripple", { { "amplitude", 6, 0, 200 }, { "wavelength", 40, 2, 2000 } },
                [](Bitmap& b, const P& p, const Selection* s) { ripple(b, p[0], p[1], s); } },
            { "motionblur", "Motion Blur", { { "angle", 0, -360, 360 }, { "length", 15, 1, 500 } },
                [](Bitmap& b, const P& p, const Selection* s) {
                    motionBlur(b, p[0], asInt(p[1]), s);
                } },
        } };
}

EffectGroup lensCorrections() {
    return { 2, "Lens Corrections",
        {
            { "lensdistortion", "Barrel / Pincushion", { { "amount", 20, -100, 100 } },
                [](Bitmap& b, const P& p, const Selection* s) { lensDistortion(b, p[0], s); } },
            { "fisheye", "Fisheye", { { "amount", 60, 0, 100 } },
                [](Bitmap& b, const P& p, const Selection* s) { fisheye(b, p[0], s); } },
            { "vignetting", "Vignetting",
                { { "amount", -40, -100, 100 }, { "midpoint", 50, 0, 100 } },
                [](Bitmap& b, const P& p, const Selection* s) { vignette(b, p[0], p[1], s); } },
            { "chromatic", "Chromatic Aberration",
                { { "red", 3, -50, 50 }, { "blue", -3, -50, 50 } },
                [](Bitmap& b, const P& p, const Selection* s) {
                    chromaticAberration(b, p[0], p[1], s);
                } },
            { "lenssharpen", "Lens Softness",
                { { "radius", 1.5, 0.1, 20 }, { "amount", 80, 0, 500 } },
                [](Bitmap& b, const P& p, const Selection* s) {
                    unsharpMask(b, p[0], p[1] / 100, 0, s);
                } },
        } };
}

EffectGroup drawing() {
    return { 3, "Drawing",
        {
            { "sobel", "EdgeDetect_Sobel", {},
                [](Bitmap& b, const P&, const Selection* s) { edgeDetectSobel(b, s); } },
            { "sobelnegative", std::string(kSobelNegativeName), {},
                [](Bitmap& b, const P&, const Selection* s) {
                    edgeDetectSobel(b, s);
                    negate(b, s);
                } },
            { "emboss", "Emboss", { { "angle", 135, 0, 360 }, { "depth", 2, 0, 20 } },
                [](Bitmap& b, const P& p, const Selection* s) {
                    emboss(b, p[0], p[1], s);
                    toGrey(b, s);
                } },
            { "pencil", "Pencil Sketch", { { "radius", 6, 0.5, 50 } },
                [](Bitmap& b, const P& p, const Selection* s) { pencilSketch(b, p[0], s); } },
            { "oilpaint", "Oil Paint", { { "radius", 3, 1, 20 }, { "levels", 20, 2, 256 } },
                [](Bitmap& b, const P& p, const Selection* s) {
                    oilPaint(b, asInt(p[0]), asInt(p[1]), s);
                } },
            { "posterize", "Posterize", { { "levels", 6, 2, 255 } },
                [](Bitmap& b, const P& p, const Selection* s) { posterize(b, asInt(p[0]), s); } },
            { "solarize", "Solarize", { { "threshold", 128, 0, 255 } },
                [](Bitmap& b, const P& p, const Selection* s) { solarize(b, asInt(p[0]), s); } },
        } };
}

EffectGroup pixelization() {
    auto pix = [](PixelShape shape, bool w, bool h) {
        return [=](Bitmap& b, const P& p, const Selection* s) {
            const int n = asInt(p[0]);
            pixelize(b, w ? n : 1, h ? n : 1, shape, s);
        };
    };
    const std::vector<EffectParam> size { { "size", 10, 1, 500 } };
    return { 4, "Pixelization",
        {
            { "pixelize", "Pixelize", size, pix(PixelShape::Square, true, true) },
            { "mosaic", "Mosaic", size, pix(PixelShape::Mosaic, true, true) },
            { "dots", "Dots", size, pix(PixelShape::Dots, true, true) },
            { "hblocks", "Horizontal Blocks", size, pix(PixelShape::Square, true, false) },
            { "vblocks", "Vertical Blocks", size, pix(PixelShape::Square, false, true) },
        } };
}

EffectGroup dilationErosion() {
    auto morph = [](MorphOp op) {
        return
            [=](Bitmap& b, const P& p, const Selection* s) { morphology(b, op, asInt(p[0]), s); };
    };
    const std::vector<EffectParam> radius { { "radius", 2, 0, 100 } };
    return { 5, "Dilation / Erosion",
        {
            { "dilate", "Dilate", radius, morph(MorphOp::Dilate) },
            { "erode", "Erode", radius, morph(MorphOp::Erode) },
            { "open", "Open", radius, morph(MorphOp::Open) },
            { "close", "Close", radius, morph(MorphOp::Close) },
            { "outline", "Outline", radius,
                [](Bitmap& b, const P& p, const Selection* s) {
                    // Morphological gradient: dilated minus eroded.
                    detail::requireFilterable(b, "Outline");
                    Bitmap low = b;
                    erode(low, asInt(p[0]));
                    dilate(b, asInt(p[0]), s);
                    detail::dispatch(b.pixelFormat(), [&](auto layout) {
                        using L = decltype(layout);
                        using T = typename L::Sample;
                        detail::pointEffect(b, s, "Outline", [&](int x, int y, float* v, int n) {
                            const T* e = detail::row<T>(low, y) + std::size_t(x) * L::channels;
                            for (int i = 0; i < n; ++i)
                                v[i] -= float(e[i]) / L::maxValue;
                        });
                    });
                } },
        } };
}

EffectGroup texture() {
    auto tex = [](TextureKind k) {
        return [=](Bitmap& b, const P& p, const Selection* s) {
            applyTexture(b, k, asInt(p[0]), asInt(p[1]), s);
        };
    };
    const std::vector<EffectParam> params { { "scale", 8, 2, 200 }, { "strength", 50, 0, 100 } };
    return { 6, "Texture",
        {
            { "canvas", "Canvas", params, tex(TextureKind::Canvas) },
            { "burlap", "Burlap", params, tex(TextureKind::Burlap) },
            { "brick", "Brick", params, tex(TextureKind::Brick) },
            { "grain", "Grain", params, tex(TextureKind::Grain) },
            { "linen", "Linen", params, tex(TextureKind::Linen) },
            { "wood", "Wood", params, tex(TextureKind::Wood) },
        } };
}

EffectGroup frames() {
    auto frame = [](FrameStyle st) {
        return [=](Bitmap& b, const P& p, const Selection* s) {
            addFrame(b, st, asInt(p[0]), colorOf(p, 1), s);
        };
    };
    auto params = [](int r, int g, int b) {
        return withColor({ { "width", 20, 1, 2000 } }, r, g, b);
    };
    return { 7, "Frame",
        {
            { "solidframe", "Solid", params(255, 255, 255), frame(FrameStyle::Solid) },
            { "bevelframe", "Bevel", params(160, 130, 90), frame(FrameStyle::Bevel) },
            { "doubleframe", "Double Line", params(0, 0, 0), frame(FrameStyle::Double) },
            { "shadowframe", "Inner Shadow", params(0, 0, 0), frame(FrameStyle::InnerShadow) },
            { "roundframe", "Rounded Corners", params(255, 255, 255), frame(FrameStyle::Rounded) },
            { "filmframe", "Film", params(20, 20, 20), frame(FrameStyle::Film) },
        } };
}

EffectGroup decorations() {
    auto deco = [](DecorationKind k) {
        return [=](Bitmap& b, const P& p, const Selection* s) {
            decorate(b, k, asInt(p[0]), asInt(p[1]), colorOf(p, 2), s);
        };
    };
    auto params = [](int size, int r, int g, int b) {
        return withColor({ { "amount", 70, 0, 100 }, { "size", double(size), 1, 1000 } }, r, g, b);
    };
    return { 8, "Decoration",
        {
            { "ovalvignette", "Oval Vignette", params(40, 0, 0, 0),
                deco(DecorationKind::OvalVignette) },
            { "softedges", "Soft Edges", params(30, 255, 255, 255),
                deco(DecorationKind::SoftEdges) },
            { "scanlines", "Scan Lines", params(4, 0, 0, 0), deco(DecorationKind::Scanlines) },
            { "spotlight", "Spotlight", params(1, 0, 0, 0), deco(DecorationKind::Spotlight) },
            { "grid", "Grid", params(32, 255, 255, 255), deco(DecorationKind::Grid) },
            { "noise", "Film Grain", { { "amount", 12, 0, 100 }, { "monochrome", 1, 0, 1 } },
                [](Bitmap& b, const P& p, const Selection* s) {
                    addNoise(b, asInt(p[0]), p[1] != 0, 1, s);
                } },
        } };
}

std::string number(double v) {
    std::string s = std::to_string(v);
    s.erase(s.find_last_not_of('0') + 1);
    if (!s.empty() && s.back() == '.') s.pop_back();
    return s;
}

} // namespace

std::vector<double> CatalogueEffect::defaults() const {
    std::vector<double> v;
    for (const EffectParam& p : params)
        v.push_back(p.defaultValue);
    return v;
}

const std::vector<EffectGroup>& effectCatalogue() {
    static const std::vector<EffectGroup> groups { distortion(), lensCorrections(), drawing(),
        pixelization(), dilationErosion(), texture(), frames(), decorations() };
    return groups;
}

const EffectGroup& effectGroup(int number) {
    if (number < 1 || number > 8)
        throw Error("Unknown effect group " + std::to_string(number) + ".");
    return effectCatalogue()[std::size_t(number - 1)];
}

const CatalogueEffect* findCatalogueEffect(int group, std::string_view id) {
    for (const EffectGroup& g : effectCatalogue()) {
        if (group != 0 && g.number != group) continue;
        for (const CatalogueEffect& e : g.effects)
            if (e.id == id) return &e;
    }
    return nullptr;
}

void checkCatalogueParams(const CatalogueEffect& effect, const std::vector<double>& values) {
    if (values.size() != effect.params.size())
        throw Error("The effect \"" + effect.displayName + "\" takes "
            + std::to_string(effect.params.size()) + " parameters, not "
            + std::to_string(values.size()) + ".");
    for (std::size_t i = 0; i < values.size(); ++i) {
        const EffectParam& p = effect.params[i];
        if (!(values[i] >= p.minimum && values[i] <= p.maximum))
            throw Error("The parameter " + p.id + " of \"" + effect.displayName
                + "\" must be between " + number(p.minimum) + " and " + number(p.maximum) + ".");
    }
}

void applyCatalogueEffect(Bitmap& image, int group, std::string_view id,
    const std::vector<double>& values, const Selection* selection) {
    if (group != 0) effectGroup(group);
    const CatalogueEffect* effect = findCatalogueEffect(group, id);
    if (!effect) throw Error("Unknown effect \"" + std::string(id) + "\".");
    checkCatalogueParams(*effect, values);
    effect->apply(image, values, selection);
}

} // namespace ie::proc
