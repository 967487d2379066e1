// Pens, fills and fonts for drawing vector layers with QPainter from layer properties.
#pragma once

#include "ColorRef.h"
#include "Font.h"
#include "GradientKind.h"
#include "LineStyle.h"

#include <QBrush>
#include <QFont>
#include <QPen>
#include <QRectF>

namespace ie {

/// The Qt colour of a layer colour with alpha 0..255.
QColor toQColor(ColorRef color, int alpha = 255);

/// A pen of `width` pixels in `style`; a width of 0 or kNoColor gives Qt::NoPen.
QPen makePen(ColorRef color, double width, LineStyle style = LineStyle::Solid,
    Qt::PenJoinStyle join = Qt::MiterJoin);

/// A fill over `rect`: plain `color1`, or a gradient from color1 (alpha1) to color2 (alpha2) in
/// the direction `kind`. kNoColor for colour 1 gives Qt::NoBrush.
QBrush makeFill(const QRectF& rect, ColorRef color1, ColorRef color2, GradientKind kind,
    int alpha1 = 255, int alpha2 = 255);

/// The Qt font of a layer font (face, pixel size, style bits).
QFont toQFont(const Font& font);

} // namespace ie
