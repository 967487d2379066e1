#include "ShapePath.h"

#include <QPolygonF>
#include <QTransform>
#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <numbers>

namespace ie {

namespace {

using Path = QPainterPath;
constexpr double kPi = std::numbers::pi;

// All shapes are built in the unit square and mapped onto the target rectangle at the end.
Path polygon(std::initializer_list<QPointF> pts) {
    Path p;
    p.addPolygon(QPolygonF(pts));
    p.closeSubpath();
    return p;
}

// Stretches a polygon's bounding box onto the unit square.
Path fitted(const QPolygonF& poly) {
    const QRectF b = poly.boundingRect();
    QTransform t;
    t.scale(1 / b.width(), 1 / b.height());
    t.translate(-b.left(), -b.top());
    Path p;
    p.addPolygon(t.map(poly));
    p.closeSubpath();
    return p;
}

// A regular polygon (inner = 1) or star with `n` points, the first pointing up.
QPolygonF starPoints(int n, double inner, double radius = 0.5, QPointF c = { 0.5, 0.5 }) {
    QPolygonF poly;
    const bool star = inner < 1;
    const int count = star ? 2 * n : n;
    for (int i = 0; i < count; ++i) {
        const double a = -kPi / 2 + i * 2 * kPi / count;
        const double r = (star && (i % 2)) ? radius * inner : radius;
        poly << QPointF(c.x() + r * std::cos(a), c.y() + r * std::sin(a));
    }
    return poly;
}

Path regular(int n) {
    return fitted(starPoints(n, 1));
}
Path star(int n, double inner) {
    return fitted(starPoints(n, inner));
}

Path ellipse(double x, double y, double w, double h) {
    Path p;
    p.addEllipse(QRectF(x, y, w, h));
    return p;
}

Path rect(double x, double y, double w, double h) {
    Path p;
    p.addRect(QRectF(x, y, w, h));
    return p;
}

Path roundRect(double x, double y, double w, double h, double r) {
    Path p;
    p.addRoundedRect(QRectF(x, y, w, h), r, r);
    return p;
}

// Rotations and mirrors of the unit square, for the directional variants.
Path turned(const Path& p, int quarterTurnsClockwise) {
    QTransform t;
    t.translate(0.5, 0.5);
    t.rotate(90.0 * quarterTurnsClockwise);
    t.translate(-0.5, -0.5);
    return t.map(p);
}

Path mirrored(const Path& p) {
    return QTransform(-1, 0, 0, 1, 1, 0).map(p);
}

double param(int modifier, double fallback) {
    return modifier > 0 ? std::clamp(modifier / 100.0, 0.01, 1.0) : fallback;
}

Path arrowRight() {
    return polygon(
        { { 0, 0.3 }, { 0.6, 0.3 }, { 0.6, 0 }, { 1, 0.5 }, { 0.6, 1 }, { 0.6, 0.7 }, { 0, 0.7 } });
}

Path thinArrowRight() {
    return polygon({ { 0, 0.45 }, { 0.7, 0.45 }, { 0.7, 0.2 }, { 1, 0.5 }, { 0.7, 0.8 },
        { 0.7, 0.55 }, { 0, 0.55 } });
}

Path chevronRight() {
    return polygon({ { 0, 0 }, { 0.6, 0 }, { 1, 0.5 }, { 0.6, 1 }, { 0, 1 }, { 0.4, 0.5 } });
}

Path cross(double t) {
    const double a = 0.5 - t / 2, b = 0.5 + t / 2;
    return polygon({ { a, 0 }, { b, 0 }, { b, a }, { 1, a }, { 1, b }, { b, b }, { b, 1 }, { a, 1 },
        { a, b }, { 0, b }, { 0, a }, { a, a } });
}

Path xCross(double d) {
    return polygon(
        { { d, 0 }, { 0.5, 0.5 - d }, { 1 - d, 0 }, { 1, d }, { 0.5 + d, 0.5 }, { 1, 1 - d },
            { 1 - d, 1 }, { 0.5, 0.5 + d }, { d, 1 }, { 0, 1 - d }, { 0.5 - d, 0.5 }, { 0, d } });
}

Path heart() {
    Path p;
    p.moveTo(0.5, 0.25);
    p.cubicTo(0.5, 0.05, 0.1, -0.05, 0.02, 0.25);
    p.cubicTo(-0.05, 0.55, 0.3, 0.75, 0.5, 1);
    p.cubicTo(0.7, 0.75, 1.05, 0.55, 0.98, 0.25);
    p.cubicTo(0.9, -0.05, 0.5, 0.05, 0.5, 0.25);
    p.closeSubpath();
    return p;
}

Path burst() {
    QPolygonF poly;
    const double radii[] = { 0.5, 0.28, 0.42, 0.25, 0.5, 0.3, 0.45, 0.22, 0.48, 0.27, 0.4, 0.3 };
    const int n = 12;
    for (int i = 0; i < 2 * n; ++i) {
        const double a = -kPi / 2 + i * kPi / n;
        const double r = (i % 2) ? 0.22 : radii[(i / 2) % 12];
        poly << QPointF(0.5 + r * std::cos(a), 0.5 + r * std::sin(a));
    }
    return fitted(poly);
}

// The part of an ellipse inscribed in (x, y, w, h) between two angles, closed through its centre.
Path pie(double x, double y, double w, double h, double start, double sweep) {
    Path p;
    p.moveTo(x + w / 2, y + h / 2);
    p.arcTo(QRectF(x, y, w, h), start, sweep);
    p.closeSubpath();
    return p;
}

Path gear(int teeth) {
    QPolygonF poly;
    const int steps = teeth * 4;
    for (int i = 0; i < steps; ++i) {
        const double a = -kPi / 2 + i * 2 * kPi / steps;
        const double r = (i % 4 < 2) ? 0.5 : 0.38;
        poly << QPointF(0.5 + r * std::cos(a), 0.5 + r * std::sin(a));
    }
    Path p;
    p.addPolygon(poly);
    p.closeSubpath();
    p.addEllipse(QPointF(0.5, 0.5), 0.14, 0.14);
    p.setFillRule(Qt::OddEvenFill);
    return p;
}

Path flower(int petals) {
    Path p = ellipse(0.3, 0.3, 0.4, 0.4);
    const double r = petals > 6 ? 0.15 : 0.2;
    for (int i = 0; i < petals; ++i) {
        const double a = -kPi / 2 + i * 2 * kPi / petals;
        const QPointF c(0.5 + (0.5 - r) * std::cos(a), 0.5 + (0.5 - r) * std::sin(a));
        p = p.united(ellipse(c.x() - r, c.y() - r, 2 * r, 2 * r));
    }
    return p;
}

Path cloud() {
    Path p = ellipse(0.05, 0.35, 0.35, 0.45);
    p = p.united(ellipse(0.2, 0.1, 0.4, 0.5));
    p = p.united(ellipse(0.45, 0.05, 0.4, 0.5));
    p = p.united(ellipse(0.6, 0.3, 0.4, 0.45));
    p = p.united(ellipse(0.25, 0.45, 0.5, 0.5));
    p = p.united(ellipse(0, 0.5, 0.3, 0.3));
    return p;
}

Path sun() {
    Path p = ellipse(0.27, 0.27, 0.46, 0.46);
    for (int i = 0; i < 12; ++i) {
        const double a = i * 2 * kPi / 12, da = 0.12;
        auto at = [](double ang, double r) {
            return QPointF(0.5 + r * std::cos(ang), 0.5 + r * std::sin(ang));
        };
        p = p.united(polygon({ at(a - da, 0.3), at(a, 0.5), at(a + da, 0.3) }));
    }
    return p;
}

Path bubbleTail(const Path& body, double bottom) {
    return body.united(polygon({ { 0.2, bottom - 0.05 }, { 0.1, 1 }, { 0.42, bottom - 0.05 } }));
}

Path wave(int periods) {
    Path p;
    const double amp = 0.12, step = 1.0 / periods;
    p.moveTo(0, amp);
    for (int i = 0; i < periods; ++i)
        p.cubicTo(i * step + step / 3, amp - 2 * amp, i * step + 2 * step / 3, amp + 2 * amp,
            (i + 1) * step, amp);
    p.lineTo(1, 1 - amp);
    for (int i = periods - 1; i >= 0; --i)
        p.cubicTo(i * step + 2 * step / 3, 1 - amp + 2 * amp, i * step + step / 3,
            1 - amp - 2 * amp, i * step, 1 - amp);
    p.closeSubpath();
    return p;
}

Path frame(const Path& outer, const Path& inner) {
    return outer.subtracted(inner);
}

Path unitShape(ShapeKind s, int modifier) {
    switch (s) {
    case ShapeKind::Ellipse:
        return ellipse(0, 0, 1, 1);
    case ShapeKind::Circle:
    case ShapeKind::Square:
    case ShapeKind::Rectangle:
        return rect(0, 0, 1, 1); // Circle and Square are fitted to a square by the caller.
    case ShapeKind::RoundRect:
        return roundRect(0, 0, 1, 1, param(modifier, 0.15));
    case ShapeKind::Triangle:
        return polygon({ { 0.5, 0 }, { 1, 1 }, { 0, 1 } });
    case ShapeKind::TriangleDown:
        return polygon({ { 0, 0 }, { 1, 0 }, { 0.5, 1 } });
    case ShapeKind::TriangleLeft:
        return polygon({ { 0, 0.5 }, { 1, 0 }, { 1, 1 } });
    case ShapeKind::TriangleRight:
        return polygon({ { 0, 0 }, { 1, 0.5 }, { 0, 1 } });
    case ShapeKind::RightTriangle:
        return polygon({ { 0, 0 }, { 0, 1 }, { 1, 1 } });
    case ShapeKind::RightTriangle2:
        return polygon({ { 1, 0 }, { 1, 1 }, { 0, 1 } });
    case ShapeKind::RightTriangle3:
        return polygon({ { 0, 0 }, { 1, 0 }, { 1, 1 } });
    case ShapeKind::RightTriangle4:
        return polygon({ { 0, 0 }, { 1, 0 }, { 0, 1 } });
    case ShapeKind::Diamond:
        return polygon({ { 0.5, 0 }, { 1, 0.5 }, { 0.5, 1 }, { 0, 0.5 } });
    case ShapeKind::Pentagon:
        return regular(5);
    case ShapeKind::Hexagon:
        return regular(6);
    case ShapeKind::Heptagon:
        return regular(7);
    case ShapeKind::Octagon:
        return regular(8);
    case ShapeKind::Nonagon:
        return regular(9);
    case ShapeKind::Decagon:
        return regular(10);
    case ShapeKind::Dodecagon:
        return regular(12);
    case ShapeKind::Parallelogram:
        return polygon({ { 0.25, 0 }, { 1, 0 }, { 0.75, 1 }, { 0, 1 } });
    case ShapeKind::Trapezoid:
        return polygon({ { 0.25, 0 }, { 0.75, 0 }, { 1, 1 }, { 0, 1 } });
    case ShapeKind::TrapezoidDown:
        return polygon({ { 0, 0 }, { 1, 0 }, { 0.75, 1 }, { 0.25, 1 } });
    case ShapeKind::Cross:
        return cross(param(modifier, 1.0 / 3));
    case ShapeKind::ThinCross:
        return cross(param(modifier, 0.15));
    case ShapeKind::XCross:
        return xCross(param(modifier, 0.15));
    case ShapeKind::Heart:
        return heart();
    case ShapeKind::Star3:
        return star(3, param(modifier, 0.3));
    case ShapeKind::Star4:
        return star(4, param(modifier, 0.4));
    case ShapeKind::Star5:
        return star(5, param(modifier, 0.45));
    case ShapeKind::Star6:
        return star(6, param(modifier, 0.55));
    case ShapeKind::Star7:
        return star(7, param(modifier, 0.6));
    case ShapeKind::Star8:
        return star(8, param(modifier, 0.6));
    case ShapeKind::Star10:
        return star(10, param(modifier, 0.65));
    case ShapeKind::Star12:
        return star(12, param(modifier, 0.7));
    case ShapeKind::Star16:
        return star(16, param(modifier, 0.75));
    case ShapeKind::Star24:
        return star(24, param(modifier, 0.8));
    case ShapeKind::Star32:
        return star(32, param(modifier, 0.85));
    case ShapeKind::Burst:
        return burst();
    case ShapeKind::Crescent:
        return ellipse(0, 0, 1, 1).subtracted(ellipse(0.3, -0.05, 0.85, 0.9));
    case ShapeKind::Lightning:
        return polygon({ { 0.35, 0 }, { 0.75, 0 }, { 0.55, 0.38 }, { 0.85, 0.38 }, { 0.2, 1 },
            { 0.38, 0.52 }, { 0.12, 0.52 } });
    case ShapeKind::ArrowRight:
        return arrowRight();
    case ShapeKind::ArrowLeft:
        return mirrored(arrowRight());
    case ShapeKind::ArrowUp:
        return turned(arrowRight(), 3);
    case ShapeKind::ArrowDown:
        return turned(arrowRight(), 1);
    case ShapeKind::ArrowLeftRight:
        return polygon({ { 0, 0.5 }, { 0.25, 0 }, { 0.25, 0.3 }, { 0.75, 0.3 }, { 0.75, 0 },
            { 1, 0.5 }, { 0.75, 1 }, { 0.75, 0.7 }, { 0.25, 0.7 }, { 0.25, 1 } });
    case ShapeKind::ArrowUpDown:
        return turned(unitShape(ShapeKind::ArrowLeftRight, modifier), 1);
    case ShapeKind::ArrowQuad:
        return polygon({ { 0.5, 0 }, { 0.68, 0.18 }, { 0.58, 0.18 }, { 0.58, 0.42 }, { 0.82, 0.42 },
            { 0.82, 0.32 }, { 1, 0.5 }, { 0.82, 0.68 }, { 0.82, 0.58 }, { 0.58, 0.58 },
            { 0.58, 0.82 }, { 0.68, 0.82 }, { 0.5, 1 }, { 0.32, 0.82 }, { 0.42, 0.82 },
            { 0.42, 0.58 }, { 0.18, 0.58 }, { 0.18, 0.68 }, { 0, 0.5 }, { 0.18, 0.32 },
            { 0.18, 0.42 }, { 0.42, 0.42 }, { 0.42, 0.18 }, { 0.32, 0.18 } });
    case ShapeKind::ThinArrowRight:
        return thinArrowRight();
    case ShapeKind::ThinArrowLeft:
        return mirrored(thinArrowRight());
    case ShapeKind::ThinArrowUp:
        return turned(thinArrowRight(), 3);
    case ShapeKind::ThinArrowDown:
        return turned(thinArrowRight(), 1);
    case ShapeKind::ChevronRight:
        return chevronRight();
    case ShapeKind::ChevronLeft:
        return mirrored(chevronRight());
    case ShapeKind::ChevronUp:
        return turned(chevronRight(), 3);
    case ShapeKind::ChevronDown:
        return turned(chevronRight(), 1);
    case ShapeKind::PentagonArrowRight:
        return polygon({ { 0, 0 }, { 0.7, 0 }, { 1, 0.5 }, { 0.7, 1 }, { 0, 1 } });
    case ShapeKind::PentagonArrowLeft:
        return polygon({ { 0, 0.5 }, { 0.3, 0 }, { 1, 0 }, { 1, 1 }, { 0.3, 1 } });
    case ShapeKind::SemicircleTop:
        return pie(0, 0, 1, 2, 0, 180);
    case ShapeKind::SemicircleBottom:
        return pie(0, -1, 1, 2, 180, 180);
    case ShapeKind::SemicircleLeft:
        return pie(0, 0, 2, 1, 90, 180);
    case ShapeKind::SemicircleRight:
        return pie(-1, 0, 2, 1, -90, 180);
    case ShapeKind::QuarterTopLeft:
        return pie(0, 0, 2, 2, 90, 90);
    case ShapeKind::QuarterTopRight:
        return pie(-1, 0, 2, 2, 0, 90);
    case ShapeKind::QuarterBottomRight:
        return pie(-1, -1, 2, 2, 270, 90);
    case ShapeKind::QuarterBottomLeft:
        return pie(0, -1, 2, 2, 180, 90);
    case ShapeKind::Pie:
        return pie(0, 0, 1, 1, 45, 270);
    case ShapeKind::Ring: {
        const double t = param(modifier, 0.25) / 2;
        return frame(ellipse(0, 0, 1, 1), ellipse(t, t, 1 - 2 * t, 1 - 2 * t));
    }
    case ShapeKind::RectFrame: {
        const double t = param(modifier, 0.2) / 2;
        return frame(rect(0, 0, 1, 1), rect(t, t, 1 - 2 * t, 1 - 2 * t));
    }
    case ShapeKind::RoundRectFrame: {
        const double t = param(modifier, 0.2) / 2;
        return frame(roundRect(0, 0, 1, 1, 0.2), roundRect(t, t, 1 - 2 * t, 1 - 2 * t, 0.12));
    }
    case ShapeKind::Gear6:
        return gear(6);
    case ShapeKind::Gear8:
        return gear(8);
    case ShapeKind::Gear12:
        return gear(12);
    case ShapeKind::Flower5:
        return flower(5);
    case ShapeKind::Flower8:
        return flower(8);
    case ShapeKind::Drop: {
        Path p;
        p.moveTo(0.5, 0);
        p.cubicTo(0.6, 0.25, 1, 0.45, 1, 0.68);
        p.cubicTo(1, 0.9, 0.78, 1, 0.5, 1);
        p.cubicTo(0.22, 1, 0, 0.9, 0, 0.68);
        p.cubicTo(0, 0.45, 0.4, 0.25, 0.5, 0);
        p.closeSubpath();
        return p;
    }
    case ShapeKind::Shield: {
        Path p;
        p.moveTo(0, 0);
        p.lineTo(1, 0);
        p.lineTo(1, 0.45);
        p.cubicTo(1, 0.75, 0.7, 0.9, 0.5, 1);
        p.cubicTo(0.3, 0.9, 0, 0.75, 0, 0.45);
        p.closeSubpath();
        return p;
    }
    case ShapeKind::Tag: {
        Path p = polygon({ { 0, 0.5 }, { 0.3, 0 }, { 1, 0 }, { 1, 1 }, { 0.3, 1 } });
        return p.subtracted(ellipse(0.2, 0.42, 0.16, 0.16));
    }
    case ShapeKind::Cloud:
        return cloud();
    case ShapeKind::Sun:
        return sun();
    case ShapeKind::SpeechBubbleRect:
        return bubbleTail(rect(0, 0, 1, 0.75), 0.75);
    case ShapeKind::SpeechBubbleRound:
        return bubbleTail(roundRect(0, 0, 1, 0.75, 0.15), 0.75);
    case ShapeKind::SpeechBubbleEllipse:
        return bubbleTail(ellipse(0, 0, 1, 0.78), 0.72);
    case ShapeKind::ThoughtBubble: {
        Path p = ellipse(0, 0, 1, 0.72);
        p.addEllipse(QRectF(0.18, 0.76, 0.12, 0.1));
        p.addEllipse(QRectF(0.08, 0.9, 0.08, 0.08));
        return p;
    }
    case ShapeKind::Cylinder: {
        Path p;
        p.moveTo(0, 0.125);
        p.lineTo(0, 0.875);
        p.arcTo(QRectF(0, 0.75, 1, 0.25), 180, 180);
        p.lineTo(1, 0.125);
        p.arcTo(QRectF(0, 0, 1, 0.25), 0, 180);
        p.closeSubpath();
        p.addEllipse(QRectF(0, 0, 1, 0.25));
        p.setFillRule(Qt::WindingFill);
        return p;
    }
    case ShapeKind::Cube: {
        Path p
            = polygon({ { 0, 0.25 }, { 0.25, 0 }, { 1, 0 }, { 1, 0.75 }, { 0.75, 1 }, { 0, 1 } });
        p.moveTo(0, 0.25);
        p.lineTo(0.75, 0.25);
        p.lineTo(1, 0);
        p.moveTo(0.75, 0.25);
        p.lineTo(0.75, 1);
        return p;
    }
    case ShapeKind::Bevel: {
        const double t = param(modifier, 0.15);
        Path p = rect(0, 0, 1, 1);
        p.addRect(QRectF(t, t, 1 - 2 * t, 1 - 2 * t));
        p.setFillRule(Qt::WindingFill);
        for (QPointF a : { QPointF(0, 0), QPointF(1, 0), QPointF(1, 1), QPointF(0, 1) }) {
            p.moveTo(a);
            p.lineTo(a.x() ? 1 - t : t, a.y() ? 1 - t : t);
        }
        return p;
    }
    case ShapeKind::Plaque: {
        const double r = param(modifier, 0.15);
        Path p = rect(0, 0, 1, 1);
        for (QPointF c : { QPointF(0, 0), QPointF(1, 0), QPointF(1, 1), QPointF(0, 1) })
            p = p.subtracted(ellipse(c.x() - r, c.y() - r, 2 * r, 2 * r));
        return p;
    }
    case ShapeKind::Wave:
        return wave(1);
    case ShapeKind::DoubleWave:
        return wave(2);
    case ShapeKind::Banner:
        return polygon({ { 0, 0.3 }, { 0.2, 0.3 }, { 0.2, 0.1 }, { 0.8, 0.1 }, { 0.8, 0.3 },
            { 1, 0.3 }, { 0.9, 0.6 }, { 1, 0.9 }, { 0.8, 0.9 }, { 0.8, 0.7 }, { 0.2, 0.7 },
            { 0.2, 0.9 }, { 0, 0.9 }, { 0.1, 0.6 } });
    case ShapeKind::CheckMark:
        return polygon(
            { { 0, 0.55 }, { 0.15, 0.4 }, { 0.38, 0.62 }, { 0.85, 0 }, { 1, 0.15 }, { 0.38, 1 } });
    case ShapeKind::NoSymbol: {
        Path ring = frame(ellipse(0, 0, 1, 1), ellipse(0.12, 0.12, 0.76, 0.76));
        QTransform t;
        t.translate(0.5, 0.5);
        t.rotate(45);
        const Path bar = t.map(rect(-0.4, -0.06, 0.8, 0.12));
        return ring.united(bar);
    }
    case ShapeKind::Egg: {
        Path p;
        p.moveTo(0.5, 0);
        p.cubicTo(0.85, 0, 1, 0.45, 1, 0.65);
        p.cubicTo(1, 0.88, 0.78, 1, 0.5, 1);
        p.cubicTo(0.22, 1, 0, 0.88, 0, 0.65);
        p.cubicTo(0, 0.45, 0.15, 0, 0.5, 0);
        p.closeSubpath();
        return p;
    }
    case ShapeKind::Lens:
        return ellipse(-0.5, 0, 1.5, 1).intersected(ellipse(0, 0, 1.5, 1)).translated(0, 0);
    case ShapeKind::Kite:
        return polygon({ { 0.5, 0 }, { 1, 0.35 }, { 0.5, 1 }, { 0, 0.35 } });
    case ShapeKind::ChamferRect: {
        const double c = param(modifier, 0.2);
        return polygon({ { c, 0 }, { 1 - c, 0 }, { 1, c }, { 1, 1 - c }, { 1 - c, 1 }, { c, 1 },
            { 0, 1 - c }, { 0, c } });
    }
    case ShapeKind::SnipCornerRect:
        return polygon({ { 0, 0 }, { 0.8, 0 }, { 1, 0.2 }, { 1, 1 }, { 0, 1 } });
    case ShapeKind::RoundTopRect:
        return roundRect(0, 0, 1, 1, 0.2).united(rect(0, 0.5, 1, 0.5));
    case ShapeKind::CornerL:
        return polygon({ { 0, 0 }, { 0.35, 0 }, { 0.35, 0.65 }, { 1, 0.65 }, { 1, 1 }, { 0, 1 } });
    case ShapeKind::Tee:
        return polygon({ { 0, 0 }, { 1, 0 }, { 1, 0.3 }, { 0.65, 0.3 }, { 0.65, 1 }, { 0.35, 1 },
            { 0.35, 0.3 }, { 0, 0.3 } });
    case ShapeKind::Arch:
        return frame(pie(0, 0, 1, 1, 0, 180).united(rect(0, 0.5, 1, 0.5)),
            pie(0.25, 0.25, 0.5, 0.5, 0, 180).united(rect(0.25, 0.5, 0.5, 0.6)));
    case ShapeKind::Bowtie:
        return polygon({ { 0, 0 }, { 0.5, 0.4 }, { 1, 0 }, { 1, 1 }, { 0.5, 0.6 }, { 0, 1 } });
    case ShapeKind::Hourglass:
        return polygon({ { 0, 0 }, { 1, 0 }, { 0.55, 0.5 }, { 1, 1 }, { 0, 1 }, { 0.45, 0.5 } });
    case ShapeKind::Crown:
        return polygon({ { 0, 1 }, { 0, 0.2 }, { 0.25, 0.55 }, { 0.5, 0 }, { 0.75, 0.55 },
            { 1, 0.2 }, { 1, 1 } });
    case ShapeKind::House:
        return polygon({ { 0.5, 0 }, { 1, 0.45 }, { 0.85, 0.45 }, { 0.85, 1 }, { 0.15, 1 },
            { 0.15, 0.45 }, { 0, 0.45 } });
    case ShapeKind::Pill:
    case ShapeKind::Scallop:
        return rect(0, 0, 1, 1); // drawn by the caller, which knows the aspect ratio
    case ShapeKind::Sparkle: {
        Path p;
        p.moveTo(0.5, 0);
        p.quadTo(0.55, 0.45, 1, 0.5);
        p.quadTo(0.55, 0.55, 0.5, 1);
        p.quadTo(0.45, 0.55, 0, 0.5);
        p.quadTo(0.45, 0.45, 0.5, 0);
        p.closeSubpath();
        return p;
    }
    case ShapeKind::DiamondFrame: {
        const double t = param(modifier, 0.2);
        return frame(unitShape(ShapeKind::Diamond, 0),
            polygon({ { 0.5, t }, { 1 - t, 0.5 }, { 0.5, 1 - t }, { t, 0.5 } }));
    }
    case ShapeKind::Octagram: {
        QTransform t;
        t.translate(0.5, 0.5);
        t.rotate(45);
        t.scale(0.7071, 0.7071);
        t.translate(-0.5, -0.5);
        return rect(0.1464, 0.1464, 0.7071, 0.7071)
            .united(t.map(rect(0.1464, 0.1464, 0.7071, 0.7071)));
    }
    case ShapeKind::Hexagram:
        return polygon({ { 0.5, 0 }, { 1, 0.75 }, { 0, 0.75 } })
            .united(polygon({ { 0, 0.25 }, { 1, 0.25 }, { 0.5, 1 } }));
    case ShapeKind::Pentagram: {
        const QPolygonF five = starPoints(5, 1);
        QPolygonF pent;
        for (int i = 0; i < 5; ++i)
            pent << five[(i * 2) % 5];
        Path p = fitted(pent);
        p.setFillRule(Qt::OddEvenFill);
        return p;
    }
    case ShapeKind::CircleCross:
        return ellipse(0, 0, 1, 1).subtracted(cross(0.12));
    case ShapeKind::Target: {
        Path p = ellipse(0, 0, 1, 1);
        p.addEllipse(QRectF(0.15, 0.15, 0.7, 0.7));
        p.addEllipse(QRectF(0.3, 0.3, 0.4, 0.4));
        p.setFillRule(Qt::OddEvenFill);
        return p;
    }
    }
    return rect(0, 0, 1, 1);
}

QRectF centredSquare(const QRectF& r) {
    const double s = std::min(r.width(), r.height());
    return QRectF(r.center().x() - s / 2, r.center().y() - s / 2, s, s);
}

Path scallop(const QRectF& r) {
    const QRectF sq = centredSquare(r);
    const int bumps = 12;
    const double R = sq.width() / 2, br = R * 0.22;
    Path p;
    p.addEllipse(sq.center(), R - br, R - br);
    for (int i = 0; i < bumps; ++i) {
        const double a = i * 2 * kPi / bumps;
        p = p.united([&] {
            Path c;
            c.addEllipse(QPointF(sq.center().x() + (R - br) * std::cos(a),
                             sq.center().y() + (R - br) * std::sin(a)),
                br, br);
            return c;
        }());
    }
    return p;
}

} // namespace

QPainterPath shapePath(ShapeKind shape, const QRectF& rect, int modifier) {
    if (rect.width() <= 0 || rect.height() <= 0) return {};
    if (shape == ShapeKind::Circle) {
        Path p;
        p.addEllipse(centredSquare(rect));
        return p;
    }
    if (shape == ShapeKind::Square) {
        Path p;
        p.addRect(centredSquare(rect));
        return p;
    }
    if (shape == ShapeKind::Pill) {
        const double r = std::min(rect.width(), rect.height()) / 2;
        Path p;
        p.addRoundedRect(rect, r, r);
        return p;
    }
    if (shape == ShapeKind::Scallop) return scallop(rect);
    const Path unit = unitShape(shapeKindFromNumber(static_cast<int>(shape)), modifier);
    QTransform t;
    t.translate(rect.left(), rect.top());
    t.scale(rect.width(), rect.height());
    Path p = t.map(unit);
    p.setFillRule(unit.fillRule());
    return p;
}

} // namespace ie
