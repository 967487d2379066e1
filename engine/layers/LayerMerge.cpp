#include "LayerMerge.h"

#include "Compositor.h"
#include "imaging/Error.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace ie {

namespace {

// The canvas box a layer's pixels can reach, rotation and effects included.
struct Bounds {
    double x0 = 1e300, y0 = 1e300, x1 = -1e300, y1 = -1e300;
    void add(const Layer& l) {
        const double rad = l.rotation * std::numbers::pi / 180;
        const double cs = std::cos(rad), sn = std::sin(rad);
        const double cx = l.x + l.rotationCenterX * l.width,
                     cy = l.y + l.rotationCenterY * l.height;
        double grow = 0;
        if (l.softShadow.enabled)
            grow = l.softShadow.radius * 1.5
                + std::max(std::abs(l.softShadow.offsetX), std::abs(l.softShadow.offsetY));
        for (const auto& [bx, by] : { std::pair { 0.0, 0.0 }, { l.width, 0.0 }, { 0.0, l.height },
                 { l.width, l.height } }) {
            const double rx = bx - l.rotationCenterX * l.width,
                         ry = by - l.rotationCenterY * l.height;
            const double px = cx + cs * rx + sn * ry, py = cy - sn * rx + cs * ry;
            x0 = std::min(x0, px - grow), x1 = std::max(x1, px + grow);
            y0 = std::min(y0, py - grow), y1 = std::max(y1, py + grow);
        }
    }
};

std::unique_ptr<ImageLayer> imageFrom(const LayerProperties& props, Bitmap pixels) {
    auto out = std::make_unique<ImageLayer>();
    static_cast<LayerProperties&>(*out) = props;
    out->bitmap = std::move(pixels);
    return out;
}

} // namespace

void mergeAll(LayerStack& stack) {
    if (stack.isEmpty()) return;
    Bitmap merged = compositeAll(stack);
    LayerProperties props;
    props.width = merged.width();
    props.height = merged.height();
    props.name = stack.background().name;
    props.locked = stack.background().locked;
    props.boxVisible = stack.background().boxVisible;
    stack.clear();
    stack.add(imageFrom(props, std::move(merged)));
}

int mergeLayers(LayerStack& stack, const std::vector<int>& indices) {
    std::vector<int> chosen;
    for (int i : indices)
        if (i >= 0 && i < stack.count()) chosen.push_back(i);
    std::sort(chosen.begin(), chosen.end());
    chosen.erase(std::unique(chosen.begin(), chosen.end()), chosen.end());
    if (chosen.empty()) throw Error("No layers to merge");
    // A merged layer takes its mask with it.
    std::vector<int> all = chosen;
    for (int i : chosen)
        if (i + 1 < stack.count() && stack.layer(i + 1).isMask) all.push_back(i + 1);
    std::sort(all.begin(), all.end());
    all.erase(std::unique(all.begin(), all.end()), all.end());

    Bounds b;
    for (int i : chosen)
        if (!stack.layer(i).isMask) b.add(stack.layer(i));
    if (b.x1 <= b.x0) b = { 0, 0, 1, 1 };
    const double x0 = std::floor(b.x0), y0 = std::floor(b.y0);
    const int w = std::max(1, static_cast<int>(std::ceil(b.x1) - x0));
    const int h = std::max(1, static_cast<int>(std::ceil(b.y1) - y0));
    CompositeOptions opt;
    opt.layers = chosen;
    opt.cropToCanvas = false;
    Bitmap merged = composite(stack, x0, y0, w, h, w, h, opt);

    const int at = all.front();
    LayerProperties props;
    props.x = x0;
    props.y = y0;
    props.width = w;
    props.height = h;
    props.name = stack.layer(chosen.front()).name;
    props.selected = true;
    for (auto it = all.rbegin(); it != all.rend(); ++it)
        stack.remove(*it);
    stack.insert(at, imageFrom(props, std::move(merged)));
    stack.setCurrentIndex(at);
    return at;
}

std::unique_ptr<ImageLayer> toImageLayer(const Layer& layer, double quality) {
    if (!(quality > 0) || !std::isfinite(quality)) throw Error("Invalid conversion quality");
    // Composite the layer alone, upright and in place, in a stack whose canvas is its box.
    std::unique_ptr<Layer> upright = layer.clone();
    upright->x = upright->y = 0;
    upright->rotation = 0;
    upright->flip = 0;
    upright->visible = true;
    upright->isMask = false;
    upright->opacity = 1;
    upright->transparency = 255;
    upright->blendOperation = BlendOperation::Normal;
    upright->softShadow.enabled = upright->innerGlow.enabled = false;
    upright->alphaEdgeFeathering = 0;
    const double w = std::max(1.0, layer.width), h = std::max(1.0, layer.height);
    LayerStack alone;
    alone.add(std::move(upright));
    const int pw = std::max(1, static_cast<int>(std::lround(w * quality)));
    const int ph = std::max(1, static_cast<int>(std::lround(h * quality)));
    CompositeOptions opt;
    opt.cropToCanvas = false;
    Bitmap pixels = composite(alone, 0, 0, w, h, pw, ph, opt);
    return imageFrom(layer, std::move(pixels));
}

void convertToImageLayer(LayerStack& stack, int i, double quality) {
    const Layer& l = stack.layer(i);
    if (l.kind() == LayerKind::Image) return;
    std::unique_ptr<ImageLayer> img = toImageLayer(l, quality);
    const int current = stack.currentIndex();
    stack.remove(i);
    stack.insert(i, std::move(img));
    stack.setCurrentIndex(current);
}

} // namespace ie
