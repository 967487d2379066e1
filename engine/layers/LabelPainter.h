// Draws the framed text labels of line and angle layers.
#pragma once

#include "ColorRef.h"
#include "Font.h"
#include "LineLayer.h"

#include <QPointF>
#include <QString>

class QPainter;

namespace ie {

/// How a label looks.
struct LabelStyle {
    Font font;
    TextAlign alignment = TextAlign::Center;
    LabelShape shape = LabelShape::Rectangle;
    ColorRef fill = kNoColor; ///< frame fill
    ColorRef outline = kNoColor; ///< frame outline (1 pixel)
    double marginX = 4, marginY = 2;
};

/// Draws `text` (lines split at '\n') centred on `centre`, framed as `style` says.
void drawLabel(QPainter& painter, const QString& text, QPointF centre, const LabelStyle& style);

} // namespace ie
