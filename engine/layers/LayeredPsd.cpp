#include "LayeredPsd.h"

#include "Compositor.h"
#include "ImageLayer.h"
#include "LayerMerge.h"
#include "imaging/Error.h"
#include "io/codecs/PsdLayerSection.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace ie {

namespace {

const std::pair<BlendOperation, const char*> kBlendKeys[] = {
    { BlendOperation::Normal, "norm" },
    { BlendOperation::Add, "lddg" },
    { BlendOperation::Sub, "fsub" },
    { BlendOperation::Div, "fdiv" },
    { BlendOperation::Mul, "mul " },
    { BlendOperation::Max, "lite" },
    { BlendOperation::Min, "dark" },
    { BlendOperation::Screen, "scrn" },
    { BlendOperation::Exclusion, "smud" },
    { BlendOperation::Overlay, "over" },
    { BlendOperation::HardLight, "hLit" },
    { BlendOperation::SoftLight, "sLit" },
    { BlendOperation::ColorBurn, "idiv" },
    { BlendOperation::Hue, "hue " },
    { BlendOperation::Saturation, "sat " },
    { BlendOperation::Color, "colr" },
    { BlendOperation::Luminosity, "lum " },
};

bool isWhole(double v) {
    return v == std::floor(v);
}

/// True when the layer's pixels can go into the file as they are.
bool storesAsIs(const LayerStack& stack, int i) {
    const Layer& l = stack.layer(i);
    if (l.kind() != LayerKind::Image) return false;
    const auto& img = static_cast<const ImageLayer&>(l);
    const bool maskAbove = i + 1 < stack.count() && stack.layer(i + 1).isMask;
    return !maskAbove && l.rotation == 0 && l.flip == 0 && isWhole(l.x) && isWhole(l.y)
        && l.width == img.bitmap.width() && l.height == img.bitmap.height() && !l.softShadow.enabled
        && !l.innerGlow.enabled && l.alphaEdgeFeathering == 0 && !img.magnification.enabled;
}

io::PsdLayer recordOf(const Layer& original, const ImageLayer& pixels) {
    io::PsdLayer out;
    out.name = original.name.toStdString();
    out.left = int(pixels.x);
    out.top = int(pixels.y);
    out.pixels = pixels.bitmap;
    out.opacity
        = std::uint8_t(std::lround(std::clamp(original.effectiveOpacity(), 0.0, 1.0) * 255));
    out.visible = original.visible;
    out.blendKey = psdBlendKey(original.blendOperation);
    return out;
}

/// Layer i of `work` drawn alone into an image layer; its opacity, visibility and blend mode are
/// left to the file's record.
const ImageLayer& rasterise(LayerStack& work, int i) {
    Layer& l = work.layer(i);
    l.visible = true;
    l.opacity = 1;
    l.transparency = 255;
    l.blendOperation = BlendOperation::Normal;
    const int at = mergeLayers(work, { i });
    return static_cast<const ImageLayer&>(work.layer(at));
}

} // namespace

const char* psdBlendKey(BlendOperation op) {
    for (const auto& [o, key] : kBlendKeys)
        if (o == op) return key;
    return "norm";
}

BlendOperation blendFromPsdKey(const std::string& key) {
    for (const auto& [o, k] : kBlendKeys)
        if (key == k) return o;
    return BlendOperation::Normal;
}

void saveLayeredPsd(
    const std::string& path, const LayerStack& stack, const io::FormatParams& params) {
    if (stack.isEmpty()) throw Error("The image has no layers to save");
    LayerStack work = stack; // rasterising replaces layers; the caller's stack stays as it is
    std::vector<io::PsdLayer> records;
    // From the top down, so that merging a layer with its mask leaves the indices below alone.
    for (int i = stack.count() - 1; i >= 0; --i) {
        const Layer& original = stack.layer(i);
        if (original.isMask && i > 0) continue; // drawn into the layer below
        if (storesAsIs(stack, i))
            records.push_back(recordOf(original, static_cast<const ImageLayer&>(original)));
        else
            records.push_back(recordOf(original, rasterise(work, i)));
    }
    std::reverse(records.begin(), records.end());
    io::writeLayeredPsd(path, records, compositeAll(stack), params);
}

LayerStack loadLayeredPsd(const std::string& path) {
    io::PsdLayers file = io::readPsdLayers(path);
    LayerStack stack;
    if (file.layers.empty()) return stack;
    const io::PsdLayer& first = file.layers.front();
    const bool firstIsCanvas = first.left == 0 && first.top == 0
        && first.pixels.width() == file.width && first.pixels.height() == file.height;
    if (!firstIsCanvas) {
        Bitmap clear(file.width, file.height, PixelFormat::Rgb24);
        clear.addAlphaPlane(0);
        clear.fill({ 255, 255, 255, 0 });
        stack.add(std::make_unique<ImageLayer>(std::move(clear)));
        stack.background().name = QStringLiteral("Background");
    }
    for (io::PsdLayer& l : file.layers) {
        if (l.pixels.alphaIsOpaque()) l.pixels.removeAlphaPlane();
        auto layer = std::make_unique<ImageLayer>(std::move(l.pixels));
        layer->name = QString::fromStdString(l.name);
        layer->x = l.left;
        layer->y = l.top;
        layer->opacity = l.opacity / 255.0;
        layer->visible = l.visible;
        layer->blendOperation = blendFromPsdKey(l.blendKey);
        stack.add(std::move(layer));
    }
    stack.setCurrentIndex(stack.count() - 1);
    return stack;
}

} // namespace ie
