// The outline of every shape of the shape list, fitted to a rectangle.
#pragma once

#include "ShapeKind.h"

#include <QPainterPath>
#include <QRectF>

namespace ie {

/// The closed outline of `shape` filling `rect` (subpaths for inner lines and holes).
/// `modifier` is the shape parameter in per cent, 0 for the shape's default.
QPainterPath shapePath(ShapeKind shape, const QRectF& rect, int modifier = 0);

} // namespace ie
