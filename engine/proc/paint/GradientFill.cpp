#include "proc/paint/GradientFill.h"

#include "proc/MaskBlend.h"
#include "proc/paint/PixelMap.h"

#include <algorithm>
#include <cmath>

namespace ie::proc {

namespace {

struct Point {
    double x, y;
};

// Projection of p onto the segment a-b, 0 at a and 1 at b.
double along(Point a, Point b, Point p) {
    const double dx = b.x - a.x, dy = b.y - a.y, len2 = dx * dx + dy * dy;
    return len2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / len2 : 0;
}

double centred(double t) {
    return 1 - std::abs(2 * t - 1);
}

double radial(Point c, double radius, Point p) {
    return std::hypot(p.x - c.x, p.y - c.y) / std::max(radius, 1e-6);
}

} // namespace

double gradientPosition(GradientKind kind, const Rect& r, double x, double y) {
    const double l = r.x, t = r.y, rt = r.right(), b = r.bottom();
    const double cx = (l + rt) / 2, cy = (t + b) / 2, diag = std::hypot(r.w, r.h);
    const Point p { x, y };
    double v = 0;
    switch (kind) {
    case GradientKind::None:
        return 0;
    case GradientKind::Horizontal:
        v = along({ l, cy }, { rt, cy }, p);
        break;
    case GradientKind::Vertical:
        v = along({ cx, t }, { cx, b }, p);
        break;
    case GradientKind::HorizontalCenter:
        v = centred(along({ l, cy }, { rt, cy }, p));
        break;
    case GradientKind::VerticalCenter:
        v = centred(along({ cx, t }, { cx, b }, p));
        break;
    case GradientKind::Diagonal:
        v = along({ l, t }, { rt, b }, p);
        break;
    case GradientKind::Diagonal2:
        v = along({ rt, t }, { l, b }, p);
        break;
    case GradientKind::DiagonalCenter:
        v = centred(along({ l, t }, { rt, b }, p));
        break;
    case GradientKind::DiagonalCenter2:
        v = centred(along({ rt, t }, { l, b }, p));
        break;
    case GradientKind::Left:
        v = radial({ l, cy }, r.w, p);
        break;
    case GradientKind::Right:
        v = radial({ rt, cy }, r.w, p);
        break;
    case GradientKind::Top:
        v = radial({ cx, t }, r.h, p);
        break;
    case GradientKind::Bottom:
        v = radial({ cx, b }, r.h, p);
        break;
    case GradientKind::TopLeft:
        v = radial({ l, t }, diag, p);
        break;
    case GradientKind::TopRight:
        v = radial({ rt, t }, diag, p);
        break;
    case GradientKind::BottomLeft:
        v = radial({ l, b }, diag, p);
        break;
    case GradientKind::BottomRight:
        v = radial({ rt, b }, diag, p);
        break;
    }
    return std::clamp(v, 0.0, 1.0);
}

void fillGradient(
    Bitmap& image, Rgba color1, Rgba color2, GradientKind kind, const Selection* selection) {
    const auto mix = [](std::uint8_t a, std::uint8_t b, double t) {
        return std::uint8_t(std::lround(a + (double(b) - a) * t));
    };
    editSelected(image, selection, [&](Bitmap& b, Rect r) {
        mapPixels(b, r, [&](int x, int y, Rgba& c) {
            const double t = gradientPosition(kind, r, x + 0.5, y + 0.5);
            c = { mix(color1.r, color2.r, t), mix(color1.g, color2.g, t),
                mix(color1.b, color2.b, t), mix(color1.a, color2.a, t) };
            return true;
        });
    });
}

} // namespace ie::proc
