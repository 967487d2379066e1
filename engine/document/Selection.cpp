#include "Selection.h"

#include "imaging/Error.h"
#include "imaging/Parallel.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <deque>

namespace ie {

namespace {

Bitmap filledShape(int w, int h, std::uint8_t value) {
    Bitmap b(w, h, PixelFormat::Gray8);
    b.fill({ value, value, value, 255 });
    return b;
}

// Renders an antialiased path into a Gray8 coverage bitmap of `area`'s size.
Bitmap rasterize(const QPainterPath& path, const Rect& area) {
    QImage img(area.w, area.h, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        p.translate(-area.x, -area.y);
        p.fillPath(path, Qt::white);
    }
    Bitmap out(area.w, area.h, PixelFormat::Gray8);
    for (int y = 0; y < area.h; ++y) {
        const auto* src = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        std::uint8_t* dst = out.mutableScanline(y);
        for (int x = 0; x < area.w; ++x)
            dst[x] = std::uint8_t(qAlpha(src[x]));
    }
    return out;
}

Rect boundsOf(const QRectF& r) {
    const int x0 = int(std::floor(r.left())), y0 = int(std::floor(r.top()));
    const int x1 = int(std::ceil(r.right())), y1 = int(std::ceil(r.bottom()));
    return { x0, y0, x1 - x0, y1 - y0 };
}

// Running maximum (or minimum) over a window of 2 * radius + 1 samples, O(n).
void runningExtreme(
    const std::uint8_t* in, std::uint8_t* out, int n, int stride, int radius, bool wantMax) {
    std::deque<int> q;
    auto better = [&](int a, int b) {
        return wantMax ? in[a * stride] >= in[b * stride] : in[a * stride] <= in[b * stride];
    };
    int next = 0;
    for (int i = 0; i < n; ++i) {
        const int hi = std::min(n - 1, i + radius);
        for (; next <= hi; ++next) {
            while (!q.empty() && better(next, q.back()))
                q.pop_back();
            q.push_back(next);
        }
        while (q.front() < i - radius)
            q.pop_front();
        out[i * stride] = in[q.front() * stride];
    }
}

// Square structuring element: separable running extreme over rows then columns. Pixels
// outside the canvas count as unselected.
Bitmap morph(const Bitmap& mask, int radius, bool dilate) {
    const int w = mask.width(), h = mask.height();
    std::vector<std::uint8_t> tmp(std::size_t(w) * h), res(std::size_t(w) * h);
    for (int y = 0; y < h; ++y)
        std::memcpy(tmp.data() + std::size_t(y) * w, mask.scanline(y), w);
    parallelFor(0, h, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y)
            runningExtreme(tmp.data() + std::size_t(y) * w, res.data() + std::size_t(y) * w, w, 1,
                radius, dilate);
    });
    parallelFor(0, w, [&](int x0, int x1) {
        for (int x = x0; x < x1; ++x)
            runningExtreme(res.data() + x, tmp.data() + x, h, w, radius, dilate);
    });
    Bitmap out(w, h, PixelFormat::Gray8);
    for (int y = 0; y < h; ++y)
        std::memcpy(out.mutableScanline(y), tmp.data() + std::size_t(y) * w, w);
    if (!dilate) { // erosion: the canvas edge is unselected
        for (int y = 0; y < h; ++y) {
            std::uint8_t* row = out.mutableScanline(y);
            for (int x = 0; x < w; ++x)
                if (x < radius || y < radius || x >= w - radius || y >= h - radius) row[x] = 0;
        }
    }
    return out;
}

// One box-blur pass of radius r along rows (stride 1) or columns.
void boxPass(std::vector<float>& data, int w, int h, int r, bool horizontal) {
    const int lines = horizontal ? h : w, n = horizontal ? w : h;
    const std::size_t step = horizontal ? 1 : std::size_t(w);
    parallelFor(0, lines, [&](int l0, int l1) {
        std::vector<float> line(n), prefix(n + 1);
        for (int l = l0; l < l1; ++l) {
            float* base = data.data() + (horizontal ? std::size_t(l) * w : std::size_t(l));
            for (int i = 0; i < n; ++i)
                line[i] = base[i * step];
            prefix[0] = 0;
            for (int i = 0; i < n; ++i)
                prefix[i + 1] = prefix[i] + line[i];
            for (int i = 0; i < n; ++i) {
                const int a = std::max(0, i - r), b = std::min(n - 1, i + r);
                base[i * step] = (prefix[b + 1] - prefix[a]) / float(2 * r + 1);
            }
        }
    });
}

} // namespace

Selection::Selection(int width, int height) {
    resize(width, height);
}

void Selection::resize(int width, int height) {
    m_width = width;
    m_height = height;
    m_mask = Bitmap();
    m_bounds = {};
}

std::uint8_t Selection::at(int x, int y) const {
    if (isEmpty() || x < 0 || y < 0 || x >= m_width || y >= m_height) return 0;
    return m_mask.scanline(y)[x];
}

void Selection::ensureMask() {
    if (m_mask.isNull()) {
        m_mask = Bitmap(m_width, m_height, PixelFormat::Gray8);
        m_mask.fill({ 0, 0, 0, 255 });
    }
}

void Selection::combine(const Bitmap& shape, const Rect& shapeRect, SelectionMode mode) {
    if (m_width <= 0 || m_height <= 0) throw Error("The selection has no canvas");
    if (mode == SelectionMode::New) clear();
    if (mode == SelectionMode::Subtract && isEmpty()) return;
    ensureMask();
    const Rect canvas { 0, 0, m_width, m_height };
    const Rect r = shapeRect.intersected(canvas);
    if (mode == SelectionMode::Intersect) {
        for (int y = 0; y < m_height; ++y) {
            std::uint8_t* row = m_mask.mutableScanline(y);
            const bool inside = y >= r.y && y < r.bottom();
            for (int x = 0; x < m_width; ++x) {
                if (!inside || x < r.x || x >= r.right()) {
                    row[x] = 0;
                    continue;
                }
                const int s = shape.scanline(y - shapeRect.y)[x - shapeRect.x];
                row[x] = std::uint8_t((row[x] * s + 127) / 255);
            }
        }
    } else {
        for (int y = r.y; y < r.bottom(); ++y) {
            std::uint8_t* row = m_mask.mutableScanline(y);
            const std::uint8_t* s = shape.scanline(y - shapeRect.y) + (r.x - shapeRect.x);
            for (int x = 0; x < r.w; ++x) {
                std::uint8_t& d = row[r.x + x];
                d = mode == SelectionMode::Subtract ? std::uint8_t((d * (255 - s[x]) + 127) / 255)
                                                    : std::max(d, s[x]);
            }
        }
    }
    updateBounds();
}

void Selection::updateBounds() {
    int x0 = m_width, y0 = m_height, x1 = -1, y1 = -1;
    for (int y = 0; y < m_height; ++y) {
        const std::uint8_t* row = m_mask.scanline(y);
        int first = -1, last = -1;
        for (int x = 0; x < m_width; ++x)
            if (row[x]) {
                if (first < 0) first = x;
                last = x;
            }
        if (first < 0) continue;
        x0 = std::min(x0, first);
        x1 = std::max(x1, last);
        y0 = std::min(y0, y);
        y1 = y;
    }
    if (x1 < 0) {
        clear();
        return;
    }
    m_bounds = { x0, y0, x1 - x0 + 1, y1 - y0 + 1 };
}

void Selection::selectRect(const Rect& r, SelectionMode mode) {
    if (r.isEmpty()) {
        if (mode == SelectionMode::New || mode == SelectionMode::Intersect) clear();
        return;
    }
    const Rect c = r.intersected({ 0, 0, m_width, m_height });
    if (c.isEmpty()) {
        if (mode == SelectionMode::New || mode == SelectionMode::Intersect) clear();
        return;
    }
    combine(filledShape(c.w, c.h, 255), c, mode);
}

void Selection::selectEllipse(const Rect& r, SelectionMode mode) {
    QPainterPath path;
    path.addEllipse(QRectF(r.x, r.y, r.w, r.h));
    const Rect area = boundsOf(path.boundingRect()).intersected({ 0, 0, m_width, m_height });
    if (area.isEmpty()) {
        selectRect({}, mode);
        return;
    }
    combine(rasterize(path, area), area, mode);
}

void Selection::selectPolygon(const std::vector<QPointF>& points, SelectionMode mode) {
    if (points.size() < 3) {
        selectRect({}, mode);
        return;
    }
    QPainterPath path;
    path.addPolygon(QPolygonF(QList<QPointF>(points.begin(), points.end())));
    path.closeSubpath();
    const Rect area = boundsOf(path.boundingRect()).intersected({ 0, 0, m_width, m_height });
    if (area.isEmpty()) {
        selectRect({}, mode);
        return;
    }
    combine(rasterize(path, area), area, mode);
}

void Selection::selectMagicWand(
    const Bitmap& image, int sx, int sy, int tolerance, SelectionMode mode, bool contiguous) {
    const int w = std::min(image.width(), m_width), h = std::min(image.height(), m_height);
    if (sx < 0 || sy < 0 || sx >= w || sy >= h) return;
    const int tol = std::clamp(tolerance, 0, 100) * 255 / 100;
    const Rgba seed = image.pixel(sx, sy);
    auto similar = [&](int x, int y) {
        const Rgba c = image.pixel(x, y);
        return std::abs(c.r - seed.r) <= tol && std::abs(c.g - seed.g) <= tol
            && std::abs(c.b - seed.b) <= tol && std::abs(c.a - seed.a) <= tol;
    };
    Bitmap shape = filledShape(w, h, 0);
    if (!contiguous) {
        parallelFor(0, h, [&](int y0, int y1) {
            for (int y = y0; y < y1; ++y) {
                std::uint8_t* row = shape.mutableScanline(y);
                for (int x = 0; x < w; ++x)
                    row[x] = similar(x, y) ? 255 : 0;
            }
        });
    } else {
        // Scanline flood fill: each stack entry is a seed pixel whose run is filled at once.
        std::vector<std::pair<int, int>> stack { { sx, sy } };
        while (!stack.empty()) {
            auto [x, y] = stack.back();
            stack.pop_back();
            std::uint8_t* row = shape.mutableScanline(y);
            if (row[x]) continue;
            int l = x, r = x;
            while (l > 0 && !row[l - 1] && similar(l - 1, y))
                --l;
            while (r < w - 1 && !row[r + 1] && similar(r + 1, y))
                ++r;
            std::memset(row + l, 255, r - l + 1);
            for (int ny : { y - 1, y + 1 }) {
                if (ny < 0 || ny >= h) continue;
                const std::uint8_t* nrow = shape.scanline(ny);
                bool inRun = false;
                for (int nx = l; nx <= r; ++nx) {
                    const bool ok = !nrow[nx] && similar(nx, ny);
                    if (ok && !inRun) stack.push_back({ nx, ny });
                    inRun = ok;
                }
            }
        }
    }
    combine(shape, { 0, 0, w, h }, mode);
}

void Selection::selectMask(const Bitmap& mask, SelectionMode mode) {
    if (mask.pixelFormat() != PixelFormat::Gray8)
        throw Error("A selection mask must be 8-bit grey");
    combine(mask, { 0, 0, mask.width(), mask.height() }, mode);
}

void Selection::selectAll() {
    selectRect({ 0, 0, m_width, m_height });
}

void Selection::clear() {
    m_mask = Bitmap();
    m_bounds = {};
}

void Selection::invert() {
    ensureMask();
    for (int y = 0; y < m_height; ++y) {
        std::uint8_t* row = m_mask.mutableScanline(y);
        for (int x = 0; x < m_width; ++x)
            row[x] = std::uint8_t(255 - row[x]);
    }
    updateBounds();
}

void Selection::feather(double radius) {
    if (isEmpty() || radius <= 0) return;
    // Three box passes approximate a Gaussian of sigma ~ radius / 2.
    const int r = std::max(1, int(std::lround(radius / 2)));
    const int w = m_width, h = m_height;
    std::vector<float> data(std::size_t(w) * h);
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* row = m_mask.scanline(y);
        for (int x = 0; x < w; ++x)
            data[std::size_t(y) * w + x] = row[x];
    }
    for (int pass = 0; pass < 3; ++pass) {
        boxPass(data, w, h, r, true);
        boxPass(data, w, h, r, false);
    }
    for (int y = 0; y < h; ++y) {
        std::uint8_t* row = m_mask.mutableScanline(y);
        for (int x = 0; x < w; ++x)
            row[x] = std::uint8_t(std::clamp(std::lround(data[std::size_t(y) * w + x]), 0L, 255L));
    }
    updateBounds();
}

void Selection::border(int width) {
    if (isEmpty() || width <= 0) return;
    const int outer = width / 2, inner = width - outer;
    const Bitmap grown = morph(m_mask, std::max(outer, 0), true);
    const Bitmap shrunk = morph(m_mask, inner, false);
    for (int y = 0; y < m_height; ++y) {
        std::uint8_t* row = m_mask.mutableScanline(y);
        const std::uint8_t *g = grown.scanline(y), *s = shrunk.scanline(y);
        for (int x = 0; x < m_width; ++x)
            row[x] = std::uint8_t(std::max(0, g[x] - s[x]));
    }
    updateBounds();
}

bool operator==(const Selection& a, const Selection& b) {
    if (a.m_width != b.m_width || a.m_height != b.m_height || a.m_bounds != b.m_bounds)
        return false;
    return a.isEmpty() || a.m_mask.samePixels(b.m_mask);
}

} // namespace ie
