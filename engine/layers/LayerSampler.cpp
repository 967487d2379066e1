#include "LayerSampler.h"

#include "ImageLayer.h"
#include "VectorLayer.h"
#include "imaging/BitmapOps.h"
#include "imaging/Convert.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

namespace ie {

PixelBox PixelBox::intersected(const PixelBox& o) const {
    PixelBox r { std::max(x0, o.x0), std::max(y0, o.y0), std::min(x1, o.x1), std::min(y1, o.y1) };
    if (r.isEmpty()) return {};
    return r;
}

namespace {

int centreFloor(double v) {
    return static_cast<int>(std::ceil(v - 0.5));
}

// The largest vector rendering made for one composite; beyond it the image is scaled up.
constexpr double kMaxVectorPixels = 64e6;
constexpr int kMaxVectorSide = 16384;

// A vector layer's QImage (premultiplied) as an Rgba32 bitmap.
Bitmap fromPremultiplied(const QImage& img) {
    const QImage rgba = img.convertToFormat(QImage::Format_RGBA8888);
    Bitmap bmp(rgba.width(), rgba.height(), PixelFormat::Rgba32);
    for (int y = 0; y < rgba.height(); ++y)
        std::memcpy(bmp.mutableScanline(y), rgba.constScanLine(y), std::size_t(rgba.width()) * 4);
    return bmp;
}

Bitmap pixelsOf(const Layer& layer, double scaleX, double scaleY) {
    if (layer.kind() == LayerKind::Image) {
        const Bitmap& b = static_cast<const ImageLayer&>(layer).bitmap;
        if (b.isNull()) return {};
        if (b.pixelFormat() == PixelFormat::Rgb24 || b.pixelFormat() == PixelFormat::Rgba32)
            return b;
        return convertTo(b, PixelFormat::Rgb24);
    }
    double w = std::max(1.0, std::round(layer.width * scaleX));
    double h = std::max(1.0, std::round(layer.height * scaleY));
    const double shrink = std::min(
        { 1.0, std::sqrt(kMaxVectorPixels / (w * h)), kMaxVectorSide / w, kMaxVectorSide / h });
    w = std::max(1.0, std::floor(w * shrink));
    h = std::max(1.0, std::floor(h * shrink));
    return fromPremultiplied(static_cast<const VectorLayer&>(layer).rendered(int(w), int(h)));
}

} // namespace

PixelBox OutputMapping::pixelsOf(double x, double y, double w, double h) const {
    return { centreFloor((x - originX) / stepX), centreFloor((y - originY) / stepY),
        centreFloor((x + w - originX) / stepX), centreFloor((y + h - originY) / stepY) };
}

LayerSampler::LayerSampler(
    const Layer& layer, const OutputMapping& m, const PixelBox& region, ResampleFilter filter) {
    if (!(layer.width > 0 && layer.height > 0)) return;
    m_pixels = pixelsOf(layer, 1 / m.stepX, 1 / m.stepY);
    if (m_pixels.isNull()) return;
    const double w = layer.width, h = layer.height;
    const double sw = m_pixels.width(), sh = m_pixels.height();
    const double rad = layer.rotation * std::numbers::pi / 180;
    const double cs = std::cos(rad), sn = std::sin(rad);
    const double cx = layer.x + layer.rotationCenterX * w, cy = layer.y + layer.rotationCenterY * h;
    const bool flipH = layer.flip & kFlipHorizontal, flipV = layer.flip & kFlipVertical;

    // Output (X, Y) -> canvas -> box (rotation undone about the centre, flips) -> pixels.
    auto toPixel = [&](double X, double Y) {
        const double dx = m.originX + X * m.stepX - cx, dy = m.originY + Y * m.stepY - cy;
        double lu = cs * dx - sn * dy + layer.rotationCenterX * w;
        double lv = sn * dx + cs * dy + layer.rotationCenterY * h;
        if (flipH) lu = w - lu;
        if (flipV) lv = h - lv;
        return std::pair { lu * sw / w, lv * sh / h };
    };
    const auto [u0, v0] = toPixel(0, 0);
    const auto [u1, v1] = toPixel(1, 0);
    const auto [u2, v2] = toPixel(0, 1);
    m_a = u1 - u0, m_b = u2 - u0, m_c = u0;
    m_d = v1 - v0, m_e = v2 - v0, m_f = v0;

    // The box's corners on the output give the span.
    double minX = 1e300, minY = 1e300, maxX = -1e300, maxY = -1e300;
    for (const auto& [bx, by] : { std::pair { 0.0, 0.0 }, { w, 0.0 }, { 0.0, h }, { w, h } }) {
        const double rx = bx - layer.rotationCenterX * w, ry = by - layer.rotationCenterY * h;
        const double px = cx + cs * rx + sn * ry, py = cy - sn * rx + cs * ry;
        const double ox = (px - m.originX) / m.stepX, oy = (py - m.originY) / m.stepY;
        minX = std::min(minX, ox), maxX = std::max(maxX, ox);
        minY = std::min(minY, oy), maxY = std::max(maxY, oy);
    }
    PixelBox span { centreFloor(minX), centreFloor(minY), centreFloor(maxX), centreFloor(maxY) };
    span = span.intersected(region);
    if (span.isEmpty()) return;

    const double eps = 1e-9;
    const bool axisAligned = std::abs(m_b) < eps && std::abs(m_d) < eps;
    const bool unit = axisAligned && std::abs(m_a - 1) * span.width() < 0.5
        && std::abs(m_e - 1) * span.height() < 0.5;
    if (unit)
        prepareDirect(span);
    else if (axisAligned)
        prepareScaled(span, filter);
    else {
        // Rotated: reduce strongly shrunk pixels first so bilinear reading does not alias.
        const double step = std::max(std::hypot(m_a, m_d), std::hypot(m_b, m_e));
        if (step > 2) {
            const int rw = std::max(1, int(std::lround(sw / step)));
            const int rh = std::max(1, int(std::lround(sh / step)));
            const double kx = rw / sw, ky = rh / sh;
            m_pixels = resample(m_pixels, rw, rh, filter);
            m_a *= kx, m_b *= kx, m_c *= kx;
            m_d *= ky, m_e *= ky, m_f *= ky;
        }
        m_span = span;
    }
}

void LayerSampler::prepareDirect(const PixelBox& span) {
    m_direct = true;
    m_offX = static_cast<int>(std::floor(m_a * (span.x0 + 0.5) + m_c + 1e-7)) - span.x0;
    m_offY = static_cast<int>(std::floor(m_e * (span.y0 + 0.5) + m_f + 1e-7)) - span.y0;
    m_span = span.intersected(
        { -m_offX, -m_offY, m_pixels.width() - m_offX, m_pixels.height() - m_offY });
}

void LayerSampler::prepareScaled(const PixelBox& span, ResampleFilter filter) {
    // Resample exactly the covered output pixels, then read them directly.
    const double uA = m_a * span.x0 + m_c, uB = m_a * span.x1 + m_c;
    const double vA = m_e * span.y0 + m_f, vB = m_e * span.y1 + m_f;
    Bitmap scaled(span.width(), span.height(), m_pixels.pixelFormat());
    if (m_pixels.hasAlphaPlane()) scaled.addAlphaPlane();
    resampleInto(m_pixels, std::min(uA, uB), std::min(vA, vB), std::abs(uB - uA), std::abs(vB - vA),
        scaled, filter);
    if (m_a < 0) flipHorizontal(scaled);
    if (m_e < 0) flipVertical(scaled);
    m_pixels = std::move(scaled);
    m_direct = true;
    m_offX = -span.x0;
    m_offY = -span.y0;
    m_span = span;
}

LayerSampler::Run LayerSampler::run(
    int y, int x0, int x1, std::vector<std::uint8_t>& scratch) const {
    Run r;
    if (m_direct) {
        const bool rgba = m_pixels.pixelFormat() == PixelFormat::Rgba32;
        const int sx = x0 + m_offX, sy = y + m_offY;
        r.rgbStep = rgba ? 4 : 3;
        r.rgb = m_pixels.scanline(sy) + std::size_t(sx) * r.rgbStep;
        if (rgba) {
            r.alpha = r.rgb + 3;
            r.alphaStep = 4;
        } else if (m_pixels.hasAlphaPlane()) {
            r.alpha = m_pixels.alphaLine(sy) + sx;
        }
        return r;
    }
    scratch.resize(std::size_t(x1 - x0) * 4);
    sampleBilinear(y, x0, x1, scratch.data());
    r.rgb = scratch.data();
    r.rgbStep = 4;
    r.alpha = scratch.data() + 3;
    r.alphaStep = 4;
    return r;
}

void LayerSampler::alphaInto(
    int y, int x0, int x1, std::uint8_t* out, std::vector<std::uint8_t>& scratch) const {
    std::memset(out, 0, std::size_t(std::max(0, x1 - x0)));
    if (!m_span.containsRow(y)) return;
    const int a0 = std::max(x0, m_span.x0), a1 = std::min(x1, m_span.x1);
    if (a1 <= a0) return;
    const Run r = run(y, a0, a1, scratch);
    std::uint8_t* o = out + (a0 - x0);
    if (!r.alpha) {
        std::memset(o, 255, std::size_t(a1 - a0));
        return;
    }
    for (int i = 0; i < a1 - a0; ++i)
        o[i] = r.alpha[i * r.alphaStep];
}

void LayerSampler::sampleBilinear(int y, int x0, int x1, std::uint8_t* out) const {
    const int pw = m_pixels.width(), ph = m_pixels.height();
    const bool rgba = m_pixels.pixelFormat() == PixelFormat::Rgba32;
    const int step = rgba ? 4 : 3;
    const bool plane = m_pixels.hasAlphaPlane();
    const double Y = y + 0.5;
    for (int i = x0; i < x1; ++i, out += 4) {
        const double X = i + 0.5;
        const double u = m_a * X + m_b * Y + m_c - 0.5, v = m_d * X + m_e * Y + m_f - 0.5;
        int iu = static_cast<int>(std::floor(u)), iv = static_cast<int>(std::floor(v));
        int fu = static_cast<int>(std::lround((u - iu) * 256));
        int fv = static_cast<int>(std::lround((v - iv) * 256));
        if (fu == 256) ++iu, fu = 0;
        if (fv == 256) ++iv, fv = 0;
        std::uint64_t sum[3] = { 0, 0, 0 }, wsum = 0;
        for (int t = 0; t < 4; ++t) {
            const int px = iu + (t & 1), py = iv + (t >> 1);
            const int w = ((t & 1) ? fu : 256 - fu) * ((t >> 1) ? fv : 256 - fv);
            if (w == 0 || px < 0 || py < 0 || px >= pw || py >= ph) continue;
            const std::uint8_t* p = m_pixels.scanline(py) + std::size_t(px) * step;
            const int a = rgba ? p[3] : plane ? m_pixels.alphaLine(py)[px] : 255;
            const std::uint64_t wa = std::uint64_t(w) * a;
            wsum += wa;
            sum[0] += wa * p[0], sum[1] += wa * p[1], sum[2] += wa * p[2];
        }
        if (wsum == 0) {
            out[0] = out[1] = out[2] = out[3] = 0;
            continue;
        }
        for (int c = 0; c < 3; ++c)
            out[c] = static_cast<std::uint8_t>((sum[c] + wsum / 2) / wsum);
        out[3] = static_cast<std::uint8_t>((wsum + 32768) >> 16);
    }
}

} // namespace ie
