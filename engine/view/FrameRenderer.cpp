#include "FrameRenderer.h"

#include "imaging/Convert.h"
#include "imaging/Parallel.h"
#include "imaging/Resample.h"
#include "layers/Compositor.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

namespace ie {

namespace {

constexpr int kLight = 255, kDark = 204;

CompositeOptions plainOptions(double zoom) {
    CompositeOptions o;
    o.withAlpha = true;
    o.filter = zoom >= 1 ? ResampleFilter::Nearest : ResampleFilter::Bilinear;
    return o;
}

// The parts of `want` outside `have` (at most four bands).
std::vector<QRect> uncovered(const QRect& want, const QRect& have) {
    const QRect in = want.intersected(have);
    if (in.isEmpty()) return { want };
    std::vector<QRect> out;
    if (in.top() > want.top())
        out.emplace_back(want.left(), want.top(), want.width(), in.top() - want.top());
    if (in.bottom() < want.bottom())
        out.emplace_back(want.left(), in.bottom() + 1, want.width(), want.bottom() - in.bottom());
    if (in.left() > want.left())
        out.emplace_back(want.left(), in.top(), in.left() - want.left(), in.height());
    if (in.right() < want.right())
        out.emplace_back(in.right() + 1, in.top(), want.right() - in.right(), in.height());
    return out;
}

void copyOverlap(const QImage& from, const QRect& fromRect, QImage& to, const QRect& toRect) {
    const QRect in = fromRect.intersected(toRect);
    if (in.isEmpty()) return;
    const std::size_t bytes = std::size_t(in.width()) * 4;
    parallelFor(in.top(), in.bottom() + 1, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y)
            std::memcpy(to.scanLine(y - toRect.top()) + std::size_t(in.left() - toRect.left()) * 4,
                from.constScanLine(y - fromRect.top())
                    + std::size_t(in.left() - fromRect.left()) * 4,
                bytes);
    });
}

} // namespace

void drawOverChessboard(const Bitmap& src, QImage& dst, int dx, int dy, QPoint origin) {
    const bool rgba = src.pixelFormat() == PixelFormat::Rgba32;
    const bool plane = src.hasAlphaPlane();
    const int w = std::min(src.width(), dst.width() - dx);
    const int h = std::min(src.height(), dst.height() - dy);
    if (w <= 0 || h <= 0) return;
    parallelFor(0, h, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            const std::uint8_t* p = src.scanline(y);
            const std::uint8_t* a = plane ? src.alphaLine(y) : nullptr;
            auto* out = reinterpret_cast<QRgb*>(dst.scanLine(y + dy)) + dx;
            const int cy = ((origin.y() + y) / FrameRenderer::kChessCell) & 1;
            for (int x = 0; x < w; ++x) {
                const int n = rgba ? 4 : 3;
                const std::uint8_t* px = p + std::size_t(x) * n;
                const int alpha = rgba ? px[3] : a ? a[x] : 255;
                if (alpha == 255) {
                    out[x] = qRgb(px[0], px[1], px[2]);
                    continue;
                }
                const int cx = ((origin.x() + x) / FrameRenderer::kChessCell) & 1;
                const int bg = (cx ^ cy) ? kDark : kLight;
                const int inv = 255 - alpha;
                out[x] = qRgb((px[0] * alpha + bg * inv + 127) / 255,
                    (px[1] * alpha + bg * inv + 127) / 255, (px[2] * alpha + bg * inv + 127) / 255);
            }
        }
    });
}

void FrameRenderer::reset() {
    m_frame = QImage();
    m_rect = QRect();
    m_refined = false;
}

void FrameRenderer::renderPart(const LayerStack& shown, const QRect& part) {
    const Bitmap b = composite(shown, part.x() / m_zoom, part.y() / m_zoom, part.width() / m_zoom,
        part.height() / m_zoom, part.width(), part.height(), plainOptions(m_zoom));
    drawOverChessboard(b, m_frame, part.x() - m_rect.x(), part.y() - m_rect.y(), part.topLeft());
}

void FrameRenderer::render(
    const LayerStack& stack, double zoom, const QRect& rect, std::uint64_t version) {
    if (rect.isEmpty() || stack.isEmpty()) {
        reset();
        return;
    }
    const bool sameContent = !m_frame.isNull() && zoom == m_zoom && version == m_version;
    if (sameContent && rect == m_rect) return;
    // Levels left out of the first frame are built by the render after it, pan or not.
    if (!sameContent || m_levels.hasPending())
        m_levels.sync(stack, !std::exchange(m_deferNewLevels, false));
    m_level = m_levels.levelFor(zoom);
    const LayerStack shown = m_level > 0 ? m_levels.standIn(stack, m_level) : LayerStack();
    const LayerStack& source = m_level > 0 ? shown : stack;

    QImage next(rect.size(), QImage::Format_RGB32);
    std::vector<QRect> parts { rect };
    if (sameContent) {
        copyOverlap(m_frame, m_rect, next, rect);
        parts = uncovered(rect, m_rect);
    } else {
        m_refined = false;
    }
    m_frame = std::move(next);
    m_rect = rect;
    m_zoom = zoom;
    m_version = version;
    for (const QRect& part : parts)
        renderPart(source, part);
    if (sameContent && !parts.empty()) m_refined = false;
}

bool FrameRenderer::refine(const LayerStack& stack, int filter) {
    if (m_frame.isNull() || m_refined || filter <= 0 || filter >= kResampleFilterCount
        || m_zoom == 1 || stack.isEmpty())
        return false;
    // Composite at the level's own resolution (1:1 when zoomed in), then scale with the filter.
    const int level = m_levels.levelFor(m_zoom);
    const double s = ReducedLevels::scaleOf(level);
    const LayerStack shown = level > 0 ? m_levels.standIn(stack, level) : LayerStack();
    const LayerStack& source = level > 0 ? shown : stack;
    const double cx = m_rect.x() / m_zoom, cy = m_rect.y() / m_zoom;
    const double cw = m_rect.width() / m_zoom, ch = m_rect.height() / m_zoom;
    constexpr int kPad = 3; // filter support beyond the frame's edges
    const int lx0 = int(std::floor(cx * s)) - kPad, ly0 = int(std::floor(cy * s)) - kPad;
    const int lx1 = int(std::ceil((cx + cw) * s)) + kPad,
              ly1 = int(std::ceil((cy + ch) * s)) + kPad;
    CompositeOptions o;
    o.withAlpha = true;
    o.filter = ResampleFilter::Nearest;
    const Bitmap part = convertTo(composite(source, lx0 / s, ly0 / s, (lx1 - lx0) / s,
                                      (ly1 - ly0) / s, lx1 - lx0, ly1 - ly0, o),
        PixelFormat::Rgba32);
    Bitmap scaled(m_rect.width(), m_rect.height(), PixelFormat::Rgba32);
    resampleInto(part, cx * s - lx0, cy * s - ly0, cw * s, ch * s, scaled,
        static_cast<ResampleFilter>(filter));
    drawOverChessboard(scaled, m_frame, 0, 0, m_rect.topLeft());
    m_refined = true;
    return true;
}

} // namespace ie
