#include "PaintStyle.h"

#include <QLinearGradient>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>

namespace ie {

QColor toQColor(ColorRef color, int alpha) {
    const Rgb c = rgbOf(color);
    return QColor(c.r, c.g, c.b, std::clamp(alpha, 0, 255));
}

QPen makePen(ColorRef color, double width, LineStyle style, Qt::PenJoinStyle join) {
    if (width <= 0 || !isColor(color)) return QPen(Qt::NoPen);
    QPen pen(toQColor(color), width);
    pen.setJoinStyle(join);
    pen.setCapStyle(Qt::FlatCap);
    switch (style) {
    case LineStyle::Solid:
        break;
    case LineStyle::Dash:
        pen.setStyle(Qt::DashLine);
        break;
    case LineStyle::Dot:
        pen.setStyle(Qt::DotLine);
        break;
    case LineStyle::DashDot:
        pen.setStyle(Qt::DashDotLine);
        break;
    case LineStyle::DashDotDot:
        pen.setStyle(Qt::DashDotDotLine);
        break;
    case LineStyle::WideDash:
        // Dash lengths are in pen widths; thin guide paths still need visible dashes.
        pen.setDashPattern({ 6.0 / std::min(width, 2.0), 4.0 / std::min(width, 2.0) });
        break;
    case LineStyle::WideDot:
        pen.setCapStyle(Qt::RoundCap);
        pen.setDashPattern({ 0.01, 3 });
        break;
    }
    return pen;
}

namespace {

void setStops(QGradient& g, const QColor& c1, const QColor& c2, bool centred) {
    g.setColorAt(0, c1);
    if (centred) {
        g.setColorAt(0.5, c2);
        g.setColorAt(1, c1);
    } else {
        g.setColorAt(1, c2);
    }
}

QBrush linear(QPointF from, QPointF to, const QColor& c1, const QColor& c2, bool centred) {
    QLinearGradient g(from, to);
    setStops(g, c1, c2, centred);
    return QBrush(g);
}

QBrush radial(QPointF centre, double radius, const QColor& c1, const QColor& c2) {
    QRadialGradient g(centre, std::max(radius, 1e-6));
    setStops(g, c1, c2, false);
    return QBrush(g);
}

} // namespace

QBrush makeFill(
    const QRectF& r, ColorRef color1, ColorRef color2, GradientKind kind, int alpha1, int alpha2) {
    if (!isColor(color1)) return QBrush(Qt::NoBrush);
    const QColor c1 = toQColor(color1, alpha1);
    if (kind == GradientKind::None || !isColor(color2)) return QBrush(c1);
    const QColor c2 = toQColor(color2, alpha2);
    const double diag = std::hypot(r.width(), r.height());
    const QPointF midLeft(r.left(), r.center().y()), midRight(r.right(), r.center().y());
    const QPointF midTop(r.center().x(), r.top()), midBottom(r.center().x(), r.bottom());
    switch (kind) {
    case GradientKind::None:
        break;
    case GradientKind::Horizontal:
        return linear(midLeft, midRight, c1, c2, false);
    case GradientKind::Vertical:
        return linear(midTop, midBottom, c1, c2, false);
    case GradientKind::HorizontalCenter:
        return linear(midLeft, midRight, c1, c2, true);
    case GradientKind::VerticalCenter:
        return linear(midTop, midBottom, c1, c2, true);
    case GradientKind::Diagonal:
        return linear(r.topLeft(), r.bottomRight(), c1, c2, false);
    case GradientKind::Diagonal2:
        return linear(r.topRight(), r.bottomLeft(), c1, c2, false);
    case GradientKind::DiagonalCenter:
        return linear(r.topLeft(), r.bottomRight(), c1, c2, true);
    case GradientKind::DiagonalCenter2:
        return linear(r.topRight(), r.bottomLeft(), c1, c2, true);
    case GradientKind::Left:
        return radial(midLeft, r.width(), c1, c2);
    case GradientKind::Right:
        return radial(midRight, r.width(), c1, c2);
    case GradientKind::Top:
        return radial(midTop, r.height(), c1, c2);
    case GradientKind::Bottom:
        return radial(midBottom, r.height(), c1, c2);
    case GradientKind::TopLeft:
        return radial(r.topLeft(), diag, c1, c2);
    case GradientKind::TopRight:
        return radial(r.topRight(), diag, c1, c2);
    case GradientKind::BottomLeft:
        return radial(r.bottomLeft(), diag, c1, c2);
    case GradientKind::BottomRight:
        return radial(r.bottomRight(), diag, c1, c2);
    }
    return QBrush(c1);
}

QFont toQFont(const Font& font) {
    QFont f(font.name);
    f.setPixelSize(std::max(1, font.pixelSize()));
    f.setBold(font.bold());
    f.setItalic(font.italic());
    f.setUnderline(font.underline());
    f.setStrikeOut(font.strikeOut());
    return f;
}

} // namespace ie
