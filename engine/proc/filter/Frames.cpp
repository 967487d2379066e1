#include "proc/filter/Frames.h"

#include "proc/filter/PixelLoop.h"

namespace ie::proc {

using namespace detail;

namespace {

// The colour as samples 0..1 (grey images use its brightness).
struct Paint {
    float c[3];
    Paint(Rgb color, int n) {
        if (n == 1) {
            c[0] = float(lumaOf(color.r, color.g, color.b)) / 255.f;
        } else {
            c[0] = color.r / 255.f;
            c[1] = color.g / 255.f;
            c[2] = color.b / 255.f;
        }
    }
};

inline void mixTo(float* v, int n, const float* c, float t) {
    for (int i = 0; i < n; ++i)
        v[i] += (c[i] - v[i]) * t;
}

inline void shadeBy(float* v, int n, float f) {
    for (int i = 0; i < n; ++i)
        v[i] = f < 0 ? v[i] * (1 + f) : v[i] + (1 - v[i]) * f;
}

} // namespace

void addFrame(Bitmap& image, FrameStyle style, int width, Rgb color, const Selection* selection) {
    requireFilterable(image, "Frame");
    if (width <= 0) return;
    const Rect r = workRect(image, selection);
    const float w = float(width);
    const int channels = image.pixelFormat() == PixelFormat::Gray8 ? 1 : 3;
    const Paint paint(color, channels);
    pointEffect(image, selection, "Frame", [&](int x, int y, float* v, int n) {
        const int left = x - r.x, top = y - r.y, right = r.right() - 1 - x,
                  bottom = r.bottom() - 1 - y;
        const float d = float(std::min(std::min(left, right), std::min(top, bottom)));
        switch (style) {
        case FrameStyle::Solid:
            if (d < w) mixTo(v, n, paint.c, 1);
            return;
        case FrameStyle::Bevel:
            if (d < w) {
                mixTo(v, n, paint.c, 1);
                const bool lit = std::min(left, top) <= std::min(right, bottom);
                shadeBy(v, n, lit ? 0.35f : -0.35f);
            }
            return;
        case FrameStyle::Double:
            if (d < w / 3 || (d >= 2 * w / 3 && d < w)) mixTo(v, n, paint.c, 1);
            return;
        case FrameStyle::InnerShadow:
            if (d < w) mixTo(v, n, paint.c, (1 - d / w) * (1 - d / w));
            return;
        case FrameStyle::Rounded: {
            const float cx = std::max(0.f, w - float(std::min(left, right)));
            const float cy = std::max(0.f, w - float(std::min(top, bottom)));
            const float outside = std::hypot(cx, cy) - w;
            if (cx > 0 && cy > 0) mixTo(v, n, paint.c, std::clamp(outside + 0.5f, 0.f, 1.f));
            return;
        }
        case FrameStyle::Film: {
            if (d >= w) return;
            const bool sides = std::min(top, bottom) < width;
            const int along = sides ? x : y;
            const bool hole
                = d > w * 0.3f && d < w * 0.7f && along % std::max(4, width) < width / 2;
            mixTo(v, n, paint.c, 1);
            if (hole) shadeBy(v, n, 0.8f);
            return;
        }
        }
    });
}

void decorate(Bitmap& image, DecorationKind kind, int amount, int size, Rgb color,
    const Selection* selection) {
    requireFilterable(image, "Decoration");
    const float a = float(std::clamp(amount, 0, 100)) / 100.f;
    if (a == 0) return;
    const Frame2D f(workRect(image, selection));
    const Rect r = workRect(image, selection);
    const int channels = image.pixelFormat() == PixelFormat::Gray8 ? 1 : 3;
    const Paint paint(color, channels);
    const int step = std::max(2, size);
    const float fade = std::clamp(float(size), 1.f, 100.f) / 100.f;
    pointEffect(image, selection, "Decoration", [&](int x, int y, float* v, int n) {
        const float dx = (float(x) - f.cx) / f.rx, dy = (float(y) - f.cy) / f.ry;
        const float oval = std::sqrt(dx * dx + dy * dy);
        switch (kind) {
        case DecorationKind::OvalVignette: {
            const float t = std::clamp((oval - (1 - fade)) / fade, 0.f, 1.f);
            mixTo(v, n, paint.c, t * a);
            return;
        }
        case DecorationKind::SoftEdges: {
            const float edge = float(std::min(std::min(x - r.x, r.right() - 1 - x),
                                   std::min(y - r.y, r.bottom() - 1 - y)))
                / (fade * 0.5f * float(std::min(r.w, r.h)) + 1);
            mixTo(v, n, paint.c, (1 - std::clamp(edge, 0.f, 1.f)) * a);
            return;
        }
        case DecorationKind::Scanlines:
            if ((y - r.y) % step < step / 2) mixTo(v, n, paint.c, a * 0.6f);
            return;
        case DecorationKind::Spotlight:
            shadeBy(v, n,
                oval < 0.6f ? a * 0.25f * (1 - oval / 0.6f) : -a * std::min(1.f, oval - 0.6f));
            return;
        case DecorationKind::Grid:
            if ((x - r.x) % step == 0 || (y - r.y) % step == 0) mixTo(v, n, paint.c, a);
            return;
        }
    });
}

} // namespace ie::proc
