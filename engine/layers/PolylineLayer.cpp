#include "PolylineLayer.h"

#include "PaintStyle.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace ie {

PointF PolylineLayer::canvasPoint(std::size_t i) const {
    const PointF& p = points.at(i);
    return { x + p.x * width, y + p.y * height };
}

void PolylineLayer::paint(QPainter& painter) const {
    if (points.empty()) return;
    const double inset = isColor(borderColor) ? std::max(0, borderWidth) / 2.0 : 0.0;
    const double w = std::max(0.0, width - 2 * inset), h = std::max(0.0, height - 2 * inset);
    QPainterPath path;
    path.moveTo(inset + points[0].x * w, inset + points[0].y * h);
    for (std::size_t i = 1; i < points.size(); ++i)
        path.lineTo(inset + points[i].x * w, inset + points[i].y * h);
    if (closed) path.closeSubpath();
    const int fillAlpha = static_cast<int>(std::lround(std::clamp(fillOpacity, 0.0, 1.0) * 255));
    if (closed && !isPath && fillAlpha > 0 && points.size() > 2) {
        const QRectF box(inset, inset, w, h);
        painter.fillPath(
            path, makeFill(box, fillColor, fillColor2, fillGradient, fillAlpha, fillAlpha));
    }
    painter.strokePath(path, makePen(borderColor, borderWidth, lineStyle, Qt::RoundJoin));
}

bool PolylineLayer::sameKindLook(const VectorLayer& drawn) const {
    return static_cast<const PolylineProperties&>(*this)
        == static_cast<const PolylineProperties&>(static_cast<const PolylineLayer&>(drawn));
}

} // namespace ie
