#include "PolylineLayer.h"

#include <QPainter>

namespace ie {

PointF PolylineLayer::canvasPoint(std::size_t i) const {
    const PointF& p = points.at(i);
    return { x + p.x * width, y + p.y * height };
}

void PolylineLayer::paint(QPainter& painter) const {
    (void)painter;
}

bool PolylineLayer::sameKindLook(const VectorLayer& drawn) const {
    return static_cast<const PolylineProperties&>(*this)
        == static_cast<const PolylineProperties&>(static_cast<const PolylineLayer&>(drawn));
}

} // namespace ie
