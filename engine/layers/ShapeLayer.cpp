#include "ShapeLayer.h"

#include "PaintStyle.h"
#include "ShapePath.h"

#include <QPainter>
#include <cmath>

namespace ie {

void ShapeLayer::paint(QPainter& painter) const {
    // The outline is kept inside the box, so the path is inset by half the pen.
    const double inset = isColor(borderColor) ? std::max(0, borderWidth) / 2.0 : 0.0;
    const QRectF box(inset, inset, width - 2 * inset, height - 2 * inset);
    const QPainterPath path = shapePath(shape, box, shapeModifier);
    const int fillAlpha = static_cast<int>(std::lround(std::clamp(fillOpacity, 0.0, 1.0) * 255));
    if (fillAlpha > 0)
        painter.fillPath(
            path, makeFill(box, fillColor, fillColor2, fillGradient, fillAlpha, fillAlpha));
    painter.strokePath(path, makePen(borderColor, borderWidth));
}

bool ShapeLayer::sameKindLook(const VectorLayer& drawn) const {
    return static_cast<const ShapeProperties&>(*this)
        == static_cast<const ShapeProperties&>(static_cast<const ShapeLayer&>(drawn));
}

} // namespace ie
