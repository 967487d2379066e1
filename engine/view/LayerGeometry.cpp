#include "LayerGeometry.h"

#include <cmath>
#include <numbers>

namespace ie {

QTransform boxToCanvas(const LayerProperties& l) {
    const double rad = l.rotation * std::numbers::pi / 180;
    const double cs = std::cos(rad), sn = std::sin(rad);
    const double rx = l.rotationCenterX * l.width, ry = l.rotationCenterY * l.height;
    const double cx = l.x + rx, cy = l.y + ry;
    // canvas = centre + R * (box - centre offset), R = [cs sn; -sn cs].
    return QTransform(cs, -sn, sn, cs, cx - cs * rx - sn * ry, cy + sn * rx - cs * ry);
}

QPolygonF layerOutline(const LayerProperties& l) {
    const QTransform t = boxToCanvas(l);
    return QPolygonF({ t.map(QPointF(0, 0)), t.map(QPointF(l.width, 0)),
        t.map(QPointF(l.width, l.height)), t.map(QPointF(0, l.height)) });
}

bool layerContains(const LayerProperties& l, QPointF p) {
    bool invertible = false;
    const QPointF b = boxToCanvas(l).inverted(&invertible).map(p);
    return invertible && b.x() >= 0 && b.y() >= 0 && b.x() < l.width && b.y() < l.height;
}

int layerAt(const LayerStack& stack, QPointF p) {
    for (int i = stack.count() - 1; i >= 0; --i) {
        const Layer& l = stack.layer(i);
        if (l.visible && l.selectable && layerContains(l, p)) return i;
    }
    return -1;
}

QRectF layerBounds(const LayerProperties& l) {
    return layerOutline(l).boundingRect();
}

} // namespace ie
