#include "Grips.h"

#include <QLineF>

namespace ie {

bool isCornerGrip(Grip g) {
    return g == Grip::TopLeft || g == Grip::TopRight || g == Grip::BottomRight
        || g == Grip::BottomLeft;
}

std::array<QPointF, 8> gripPositions(const QPolygonF& b) {
    auto mid = [](QPointF a, QPointF c) { return (a + c) / 2; };
    return { b[0], mid(b[0], b[1]), b[1], mid(b[1], b[2]), b[2], mid(b[2], b[3]), b[3],
        mid(b[3], b[0]) };
}

Grip gripAt(const QPolygonF& box, QPointF p, bool withSides) {
    if (box.size() < 4) return Grip::None;
    const auto pos = gripPositions(box);
    for (int i = 0; i < 8; ++i) {
        if (!withSides && (i % 2) == 1) continue;
        if (QLineF(pos[std::size_t(i)], p).length() <= kGripSize + 2) return Grip(i);
    }
    return Grip::None;
}

void paintGrip(QPainter& p, QPointF c, GripShape shape) {
    p.save();
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.setRenderHint(QPainter::Antialiasing, shape == GripShape::Circle);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    const QRectF r(c.x() - kGripSize, c.y() - kGripSize, 2 * kGripSize, 2 * kGripSize);
    if (shape == GripShape::Circle)
        p.drawEllipse(r);
    else
        p.drawRect(r);
    p.restore();
}

void paintInvertingOutline(QPainter& p, const QPolygonF& box) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    p.setPen(QPen(Qt::white, 1, Qt::DotLine));
    p.setBrush(Qt::NoBrush);
    p.drawPolygon(box);
    p.restore();
}

} // namespace ie
