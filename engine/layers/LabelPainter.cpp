#include "LabelPainter.h"

#include "PaintStyle.h"

#include <QFontMetricsF>
#include <QPainter>

namespace ie {

void drawLabel(QPainter& painter, const QString& text, QPointF centre, const LabelStyle& style) {
    if (text.isEmpty()) return;
    const QFont font = toQFont(style.font);
    const QFontMetricsF fm(font);
    const QSizeF textSize = fm.size(0, text);
    const QRectF textRect(centre.x() - textSize.width() / 2, centre.y() - textSize.height() / 2,
        textSize.width(), textSize.height());
    const QRectF frame
        = textRect.adjusted(-style.marginX, -style.marginY, style.marginX, style.marginY);
    painter.save();
    painter.setPen(makePen(style.outline, 1));
    painter.setBrush(makeFill(frame, style.fill, style.fill, GradientKind::None));
    switch (style.shape) {
    case LabelShape::None:
        break;
    case LabelShape::Rectangle:
        painter.drawRect(frame);
        break;
    case LabelShape::RoundRect:
        painter.drawRoundedRect(frame, frame.height() / 4, frame.height() / 4);
        break;
    case LabelShape::Ellipse:
        painter.drawEllipse(frame.adjusted(-frame.width() * 0.15, -frame.height() * 0.15,
            frame.width() * 0.15, frame.height() * 0.15));
        break;
    }
    Qt::Alignment align = Qt::AlignVCenter;
    switch (style.alignment) {
    case TextAlign::Left:
        align |= Qt::AlignLeft;
        break;
    case TextAlign::Right:
        align |= Qt::AlignRight;
        break;
    case TextAlign::Center:
    case TextAlign::Justify:
        align |= Qt::AlignHCenter;
        break;
    }
    painter.setFont(font);
    painter.setPen(toQColor(style.font.color));
    painter.drawText(textRect, static_cast<int>(align), text);
    painter.restore();
}

} // namespace ie
