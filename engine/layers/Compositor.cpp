#include "Compositor.h"

#include "AlphaBlur.h"
#include "Blend.h"
#include "ImageLayer.h"
#include "LayerSampler.h"
#include "imaging/Error.h"
#include "imaging/Parallel.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <optional>

namespace ie {

namespace {

// A plane of 8-bit values over a box of output pixels.
struct AlphaPlane {
    PixelBox box;
    std::vector<std::uint8_t> values;
    const std::uint8_t* row(int y) const {
        return values.data() + std::size_t(y - box.y0) * box.width();
    }
    std::uint8_t* row(int y) { return values.data() + std::size_t(y - box.y0) * box.width(); }
};

// Everything the row loop needs about one drawn layer.
struct Drawn {
    const Layer* layer = nullptr;
    std::unique_ptr<LayerSampler> sampler;
    std::unique_ptr<LayerSampler> mask; // the mask layer directly above, if any
    bool maskInverted = false;
    int opacity = 255;
    BlendOperation op = BlendOperation::Normal;
    PixelBox visible; // output pixels the layer draws (its span inside the output region)
    std::optional<AlphaPlane> coverage; // alpha with mask and feathering, when effects need it
    std::optional<AlphaPlane> glow; // inner glow strength
    Rgb glowColor;
    std::optional<AlphaPlane> shadow; // shadow alpha, already offset
    Rgb shadowColor;
};

struct Scratch {
    std::vector<std::uint8_t> pixels, maskPixels, cov, mask, tinted;
};

// Mask values of [x0, x1) of row y: the mask layer's luminance times its alpha (inverted
// luminance for an inverted mask); 0 outside the mask layer.
void maskRow(const LayerSampler& mask, bool inverted, int y, int x0, int x1, std::uint8_t* out,
    std::vector<std::uint8_t>& scratch) {
    std::memset(out, 0, std::size_t(x1 - x0));
    const PixelBox& s = mask.span();
    if (!s.containsRow(y)) return;
    const int a0 = std::max(x0, s.x0), a1 = std::min(x1, s.x1);
    if (a1 <= a0) return;
    const LayerSampler::Run r = mask.run(y, a0, a1, scratch);
    for (int i = a0; i < a1; ++i) {
        const std::uint8_t* p = r.rgb + std::size_t(i - a0) * r.rgbStep;
        const int a = r.alpha ? r.alpha[(i - a0) * r.alphaStep] : 255;
        const int luma = lumaOf(p[0], p[1], p[2]);
        out[i - x0] = static_cast<std::uint8_t>(div255(a * (inverted ? 255 - luma : luma)));
    }
}

// Alpha of the layer (times its mask) over [x0, x1) of row y, before opacity.
void layerAlpha(const Drawn& d, int y, int x0, int x1, std::uint8_t* out, Scratch& s) {
    d.sampler->alphaInto(y, x0, x1, out, s.pixels);
    if (!d.mask) return;
    s.mask.resize(std::size_t(x1 - x0));
    maskRow(*d.mask, d.maskInverted, y, x0, x1, s.mask.data(), s.maskPixels);
    for (int i = 0; i < x1 - x0; ++i)
        out[i] = std::uint8_t(div255(out[i] * s.mask[i]));
}

bool hasEffects(const Layer& l) {
    return l.alphaEdgeFeathering > 0 || l.innerGlow.enabled || l.softShadow.enabled;
}

// How far the blurs of a layer's effects spread, in output pixels.
int blurReach(const Layer& l, double scale) {
    double r = 0;
    if (l.alphaEdgeFeathering > 0) r = std::max(r, double(std::min(l.alphaEdgeFeathering, 255)));
    if (l.innerGlow.enabled) r = std::max(r, std::min(l.innerGlow.radius, 1e4));
    if (l.softShadow.enabled) r = std::max(r, std::min(l.softShadow.radius, 1e4));
    return static_cast<int>(std::ceil(r * 1.5 * scale)) + 1;
}

// Builds the coverage, glow and shadow planes of a layer with effects, over its span grown by
// the blurs' reach.
void prepareEffects(Drawn& d, double scale, const PixelBox& output) {
    const Layer& l = *d.layer;
    const PixelBox box = d.sampler->span().expanded(blurReach(l, scale));
    AlphaPlane cov { box, std::vector<std::uint8_t>(std::size_t(box.width()) * box.height()) };
    parallelFor(box.y0, box.y1, [&](int y0, int y1) {
        Scratch s;
        for (int y = y0; y < y1; ++y)
            layerAlpha(d, y, box.x0, box.x1, cov.row(y), s);
    });
    if (l.alphaEdgeFeathering > 0) {
        // Inside the edge the blurred alpha falls from 255 to about 128; stretching that fall
        // to 255..0 gives a ramp ending at the edge.
        std::vector<std::uint8_t> blurred = cov.values;
        blurAlpha(blurred, box.width(), box.height(), std::min(l.alphaEdgeFeathering, 255) * scale);
        for (std::size_t i = 0; i < blurred.size(); ++i)
            cov.values[i] = std::uint8_t(div255(cov.values[i] * std::max(0, 2 * blurred[i] - 255)));
    }
    if (l.innerGlow.enabled && l.innerGlow.radius > 0) {
        AlphaPlane g { box, cov.values };
        blurAlpha(g.values, box.width(), box.height(), l.innerGlow.radius * scale);
        for (std::size_t i = 0; i < g.values.size(); ++i)
            g.values[i]
                = std::uint8_t(std::min(255, 2 * div255(cov.values[i] * (255 - g.values[i]))));
        d.glow = std::move(g);
        d.glowColor = l.innerGlow.color;
    }
    if (l.softShadow.enabled) {
        const int dx = static_cast<int>(std::lround(l.softShadow.offsetX * scale));
        const int dy = static_cast<int>(std::lround(l.softShadow.offsetY * scale));
        AlphaPlane sh { { box.x0 + dx, box.y0 + dy, box.x1 + dx, box.y1 + dy }, cov.values };
        blurAlpha(sh.values, box.width(), box.height(), l.softShadow.radius * scale);
        const int k = std::max(0, l.softShadow.intensity);
        for (auto& v : sh.values)
            v = std::uint8_t(std::min(255, v * k / 100));
        if (!sh.box.intersected(output).isEmpty()) d.shadow = std::move(sh);
        d.shadowColor = l.softShadow.color;
    }
    d.coverage = std::move(cov);
}

// The margin around the output that a layer's effects reach into, in output pixels.
int effectMargin(const Layer& l, double scale) {
    if (!hasEffects(l)) return 0;
    const double offset = l.softShadow.enabled
        ? std::min(1e5, std::max(std::abs(l.softShadow.offsetX), std::abs(l.softShadow.offsetY)))
        : 0.0;
    return blurReach(l, scale) + static_cast<int>(std::ceil(offset * scale));
}

// True when the layer hides everything below it inside the output region.
bool covers(const Layer& l, bool masked, const PixelBox& region, const OutputMapping& m) {
    if (l.kind() != LayerKind::Image || masked || hasEffects(l) || l.rotation != 0) return false;
    if (l.blendOperation != BlendOperation::Normal || l.effectiveOpacity() < 1) return false;
    const Bitmap& b = static_cast<const ImageLayer&>(l).bitmap;
    if (b.isNull() || b.hasAlpha()) return false;
    const PixelBox box = m.pixelsOf(l.x, l.y, l.width, l.height);
    return box.x0 <= region.x0 && box.y0 <= region.y0 && box.x1 >= region.x1 && box.y1 >= region.y1;
}

// Blends one layer's part of output row y into `dst` (RGBA of the output row).
void drawRow(const Drawn& d, int y, int x0, int x1, std::uint8_t* dst, Scratch& s) {
    if (d.shadow && d.shadow->box.containsRow(y)) {
        const int a0 = std::max(x0, d.shadow->box.x0), a1 = std::min(x1, d.shadow->box.x1);
        if (a1 > a0) {
            s.cov.resize(std::size_t(a1 - a0));
            const std::uint8_t* src = d.shadow->row(y) + (a0 - d.shadow->box.x0);
            for (int i = 0; i < a1 - a0; ++i)
                s.cov[i] = std::uint8_t(div255(src[i] * d.opacity));
            const std::uint8_t colour[3] = { d.shadowColor.r, d.shadowColor.g, d.shadowColor.b };
            blendSpan(BlendOperation::Normal, dst + std::size_t(a0) * 4, colour, 0, s.cov.data(),
                a1 - a0, y);
        }
    }
    if (!d.visible.containsRow(y)) return;
    const int a0 = std::max(x0, d.visible.x0), a1 = std::min(x1, d.visible.x1);
    if (a1 <= a0) return;
    const int n = a1 - a0;
    LayerSampler::Run r = d.sampler->run(y, a0, a1, s.pixels);
    const std::uint8_t* cov = nullptr;
    if (d.coverage) {
        s.cov.assign(d.coverage->row(y) + (a0 - d.coverage->box.x0),
            d.coverage->row(y) + (a1 - d.coverage->box.x0));
        cov = s.cov.data();
    } else if (d.mask) {
        s.cov.resize(std::size_t(n));
        layerAlpha(d, y, a0, a1, s.cov.data(), s);
        r = d.sampler->run(y, a0, a1, s.pixels); // layerAlpha may have reused the scratch
        cov = s.cov.data();
    } else if (r.alpha || d.opacity < 255) {
        s.cov.resize(std::size_t(n));
        for (int i = 0; i < n; ++i)
            s.cov[i] = r.alpha ? r.alpha[i * r.alphaStep] : 255;
        cov = s.cov.data();
    }
    if (cov && d.opacity < 255)
        for (int i = 0; i < n; ++i)
            s.cov[i] = std::uint8_t(div255(s.cov[i] * d.opacity));
    if (d.glow) {
        s.tinted.resize(std::size_t(n) * 3);
        const std::uint8_t* g = d.glow->row(y) + (a0 - d.glow->box.x0);
        const std::uint8_t gc[3] = { d.glowColor.r, d.glowColor.g, d.glowColor.b };
        for (int i = 0; i < n; ++i)
            for (int c = 0; c < 3; ++c)
                s.tinted[i * 3 + c]
                    = std::uint8_t(div255(r.rgb[i * r.rgbStep + c] * (255 - g[i]) + gc[c] * g[i]));
        r.rgb = s.tinted.data();
        r.rgbStep = 3;
    }
    blendSpan(d.op, dst + std::size_t(a0) * 4, r.rgb, r.rgbStep, cov, n, y);
}

} // namespace

Bitmap composite(const LayerStack& stack, double srcX, double srcY, double srcW, double srcH,
    int outW, int outH, const CompositeOptions& opt) {
    Plane::checkSize(outW, outH);
    if (!(srcW > 0 && srcH > 0) || !std::isfinite(srcX + srcY + srcW + srcH))
        throw Error("Invalid rectangle to composite");
    const OutputMapping m { srcX, srcY, srcW / outW, srcH / outH };
    const double scale = outW / srcW;
    const PixelBox output { 0, 0, outW, outH };
    const PixelBox canvas = m.pixelsOf(0, 0, stack.canvasWidth(), stack.canvasHeight());

    std::vector<bool> listed(stack.count(), opt.layers.empty());
    for (int i : opt.layers)
        if (i >= 0 && i < stack.count()) listed[i] = true;
    auto maskOf = [&](int i) {
        return i + 1 < stack.count() && stack.layer(i + 1).isMask ? &stack.layer(i + 1) : nullptr;
    };

    std::vector<int> order;
    for (int i = 0; i < stack.count(); ++i) {
        const Layer& l = stack.layer(i);
        if (listed[i] && l.visible && !l.isMask && l.effectiveOpacity() > 0) order.push_back(i);
    }
    // Layers under an opaque full cover are never seen.
    for (std::size_t k = order.size(); k-- > 1;) {
        const Layer& l = stack.layer(order[k]);
        const PixelBox region = opt.cropToCanvas ? output.intersected(canvas) : output;
        if (covers(l, maskOf(order[k]) != nullptr, region, m)) {
            order.erase(order.begin(), order.begin() + static_cast<std::ptrdiff_t>(k));
            break;
        }
    }

    std::vector<Drawn> drawn;
    for (int i : order) {
        const Layer& l = stack.layer(i);
        const PixelBox region
            = (opt.cropToCanvas || l.cropped) ? output.intersected(canvas) : output;
        if (region.isEmpty()) continue;
        Drawn d;
        d.layer = &l;
        const PixelBox reach = region.expanded(effectMargin(l, scale));
        const PixelBox limit = (opt.cropToCanvas || l.cropped) ? reach.intersected(canvas) : reach;
        d.sampler = std::make_unique<LayerSampler>(l, m, limit, opt.filter);
        if (d.sampler->span().isEmpty()) continue;
        if (const Layer* mk = maskOf(i)) {
            d.mask = std::make_unique<LayerSampler>(*mk, m, limit, opt.filter);
            d.maskInverted = mk->maskInverted;
        }
        d.opacity = static_cast<int>(std::lround(l.effectiveOpacity() * 255));
        d.op = l.blendOperation;
        d.visible = d.sampler->span().intersected(region);
        if (hasEffects(l)) prepareEffects(d, scale, region);
        drawn.push_back(std::move(d));
    }

    Bitmap out(outW, outH, PixelFormat::Rgb24);
    if (opt.withAlpha) out.addAlphaPlane(0);
    out.detach();
    parallelFor(
        0, outH,
        [&](int y0, int y1) {
            Scratch s;
            std::vector<std::uint8_t> row(std::size_t(outW) * 4);
            for (int y = y0; y < y1; ++y) {
                const Rgb bg = opt.background;
                const std::uint8_t init[4] = { opt.withAlpha ? std::uint8_t(0) : bg.r,
                    opt.withAlpha ? std::uint8_t(0) : bg.g, opt.withAlpha ? std::uint8_t(0) : bg.b,
                    opt.withAlpha ? std::uint8_t(0) : std::uint8_t(255) };
                for (int x = 0; x < outW; ++x)
                    std::memcpy(&row[std::size_t(x) * 4], init, 4);
                for (const Drawn& d : drawn)
                    drawRow(d, y, 0, outW, row.data(), s);
                std::uint8_t* rgb = out.mutableScanline(y);
                std::uint8_t* alpha = opt.withAlpha ? out.mutableAlphaLine(y) : nullptr;
                for (int x = 0; x < outW; ++x) {
                    const std::uint8_t* p = &row[std::size_t(x) * 4];
                    rgb[x * 3] = p[0], rgb[x * 3 + 1] = p[1], rgb[x * 3 + 2] = p[2];
                    if (alpha) alpha[x] = p[3];
                }
            }
        },
        8);
    return out;
}

Bitmap composite(
    const LayerStack& stack, const Rect& rect, double scale, const CompositeOptions& opt) {
    if (!(scale > 0) || !std::isfinite(scale)) throw Error("Invalid scale to composite");
    const int w = std::max(1, static_cast<int>(std::lround(rect.w * scale)));
    const int h = std::max(1, static_cast<int>(std::lround(rect.h * scale)));
    return composite(stack, rect.x, rect.y, rect.w, rect.h, w, h, opt);
}

Bitmap compositeAll(const LayerStack& stack, const CompositeOptions& opt) {
    if (stack.isEmpty()) throw Error("There are no layers to composite");
    const int w = std::max(1, stack.canvasWidth()), h = std::max(1, stack.canvasHeight());
    return composite(stack, 0, 0, w, h, w, h, opt);
}

} // namespace ie
