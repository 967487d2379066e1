#include "AngleLayer.h"

#include "LabelPainter.h"
#include "PaintStyle.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace ie {

double AngleLayer::measuredAngle() const {
    const PointI& a = points[0];
    const PointI& v = points[1];
    const PointI& b = points[2];
    const double a1 = std::atan2(-(a.y - v.y), a.x - v.x);
    const double a2 = std::atan2(-(b.y - v.y), b.x - v.x);
    double deg = (a2 - a1) * 180.0 / std::numbers::pi;
    deg = std::fmod(deg + 720.0, 360.0);
    if (angleMode == 0 && deg > 180.0) deg = 360.0 - deg;
    return deg;
}

void AngleLayer::paint(QPainter& painter) const {
    const double sx = realWidth > 0 ? width / realWidth : 1.0;
    const double sy = realHeight > 0 ? height / realHeight : 1.0;
    auto at = [&](const PointI& p) { return QPointF(p.x * sx, p.y * sy); };
    const QPointF a = at(points[0]), v = at(points[1]), b = at(points[2]);
    const QPen pen
        = makePen(borderColor, std::max(1, borderWidth), LineStyle::Solid, Qt::RoundJoin);
    QPainterPath arms(a);
    arms.lineTo(v);
    arms.lineTo(b);
    painter.strokePath(arms, pen);

    // The arc starts on the first arm and turns towards the second (the shorter way unless the
    // layer measures the full sweep).
    const double lenA = std::hypot(a.x() - v.x(), a.y() - v.y());
    const double lenB = std::hypot(b.x() - v.x(), b.y() - v.y());
    const double r = std::min(lenA, lenB) * 0.3;
    const double startDeg = std::atan2(-(a.y() - v.y()), a.x() - v.x()) * 180 / std::numbers::pi;
    const double endDeg = std::atan2(-(b.y() - v.y()), b.x() - v.x()) * 180 / std::numbers::pi;
    double sweep = std::fmod(endDeg - startDeg + 720.0, 360.0);
    if (angleMode == 0 && sweep > 180) sweep -= 360;
    if (r > 0) {
        QPainterPath arc;
        const QRectF circle(v.x() - r, v.y() - r, 2 * r, 2 * r);
        arc.arcMoveTo(circle, startDeg);
        arc.arcTo(circle, startDeg, sweep);
        painter.strokePath(arc, pen);
    }

    const QString value
        = QString::number(measuredAngle(), 'f', std::clamp(labelDecimalPlaces, 0, 10))
        + QChar(0x00B0);
    QString label = labelText.isEmpty() ? value : labelText;
    label.replace(QStringLiteral("%s"), value);
    const double mid = (startDeg + sweep / 2) * std::numbers::pi / 180;
    const double labelR = r + std::max(8, font.pixelSize());
    LabelStyle style;
    style.font = font;
    style.shape = LabelShape::None;
    drawLabel(painter, label,
        QPointF(v.x() + labelR * std::cos(mid), v.y() - labelR * std::sin(mid)), style);
}

bool AngleLayer::sameKindLook(const VectorLayer& drawn) const {
    return static_cast<const AngleProperties&>(*this)
        == static_cast<const AngleProperties&>(static_cast<const AngleLayer&>(drawn));
}

} // namespace ie
