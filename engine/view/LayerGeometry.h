// Where a layer's box lies on the canvas (rotation included), and which layer is under a point.
#pragma once

#include "layers/LayerStack.h"

#include <QPolygonF>
#include <QTransform>

namespace ie {

/// Maps box coordinates (0..width, 0..height, before rotation) to canvas coordinates, rotating
/// counter-clockwise by `rotation` degrees about the rotation centre as the compositor does.
QTransform boxToCanvas(const LayerProperties& layer);
/// The box's four corners on the canvas, top-left first, clockwise.
QPolygonF layerOutline(const LayerProperties& layer);
/// True when canvas point `p` lies inside the layer's (rotated) box.
bool layerContains(const LayerProperties& layer, QPointF p);
/// The topmost visible, selectable layer whose box holds canvas point `p`; -1 when none.
int layerAt(const LayerStack& stack, QPointF p);
/// The axis-aligned bounds on the canvas of the layer's rotated box.
QRectF layerBounds(const LayerProperties& layer);

} // namespace ie
