#include "LineLayer.h"

#include "LabelPainter.h"
#include "PaintStyle.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace ie {

namespace {

QPointF unitVector(QPointF v) {
    const double len = std::hypot(v.x(), v.y());
    return len > 0 ? v / len : QPointF(1, 0);
}

// One end decoration with its tip at `tip`, the line arriving along `dir` (unit vector).
void drawEnd(QPainter& p, LineEnd end, QPointF tip, QPointF dir, double size, const QPen& pen,
    const QBrush& fill) {
    const QPointF n(-dir.y(), dir.x());
    const double half = size * 0.4;
    p.setPen(pen);
    p.setBrush(fill);
    switch (end) {
    case LineEnd::None:
        break;
    case LineEnd::Arrow:
        p.drawPolygon(QPolygonF({ tip, tip - dir * size + n * half, tip - dir * size - n * half }));
        break;
    case LineEnd::ReverseArrow:
        p.drawPolygon(QPolygonF({ tip - dir * size, tip + n * half, tip - n * half }));
        break;
    case LineEnd::Arrow2:
        p.drawPolyline(
            QPolygonF({ tip - dir * size + n * half, tip, tip - dir * size - n * half }));
        break;
    case LineEnd::Circle:
        p.drawEllipse(tip - dir * (size / 2), size / 2, size / 2);
        break;
    case LineEnd::Dot:
        p.setBrush(pen.color());
        p.drawEllipse(tip - dir * (size / 4), size / 4, size / 4);
        break;
    case LineEnd::Diamond:
        p.drawPolygon(QPolygonF({ tip, tip - dir * (size / 2) + n * half, tip - dir * size,
            tip - dir * (size / 2) - n * half }));
        break;
    case LineEnd::Bar:
        p.drawLine(tip + n * half, tip - n * half);
        break;
    }
}

// How far back from the tip the stroke stops, so it does not show through a filled end.
double setBack(LineEnd end, double size) {
    switch (end) {
    case LineEnd::Arrow:
    case LineEnd::Diamond:
        return size * 0.9;
    case LineEnd::Circle:
        return size;
    default:
        return 0;
    }
}

} // namespace

void LineLayer::paint(QPainter& painter) const {
    const bool ends = startShape != LineEnd::None || endShape != LineEnd::None;
    const double margin = std::max(lineWidth / 2.0, ends ? endShapeSize / 2.0 : 0.0);
    const QRectF area(margin + offsetRect.left, margin + offsetRect.top,
        width - 2 * margin - offsetRect.left - offsetRect.right,
        height - 2 * margin - offsetRect.top - offsetRect.bottom);
    const QPointF p0(area.left() + startX * area.width(), area.top() + startY * area.height());
    const QPointF p1(area.left() + endX * area.width(), area.top() + endY * area.height());
    const QPointF mid = (p0 + p1) / 2;
    const QPointF along = p1 - p0;
    QPointF control = mid;
    if (curve != 0) {
        // The control point sits 1 / curve line lengths to the left of the direction of travel.
        const QPointF left(along.y(), -along.x());
        control = mid + left / curve;
    }
    const QPointF dirStart = unitVector(p0 - control);
    const QPointF dirEnd = unitVector(p1 - control);
    const double size = std::max(1, endShapeSize);
    const QPointF q0 = p0 - dirStart * setBack(startShape, size);
    const QPointF q1 = p1 - dirEnd * setBack(endShape, size);

    QPainterPath path(q0);
    if (curve != 0)
        path.quadTo(control, q1);
    else
        path.lineTo(q1);
    const QPen pen = makePen(lineColor, lineWidth, lineStyle, Qt::RoundJoin);
    painter.strokePath(path, pen);

    const QPen endPen = makePen(lineColor, std::max(1, lineWidth / 2));
    const QBrush endFill = makeFill(area, lineFillColor, lineFillColor, GradientKind::None);
    drawEnd(painter, startShape, p0, dirStart, size, endPen, endFill);
    drawEnd(painter, endShape, p1, dirEnd, size, endPen, endFill);

    if (labelPosition == LabelPosition::None || labelText.isEmpty()) return;
    // The middle of a quadratic curve lies halfway between the chord's middle and the control.
    const QPointF anchor = labelPosition == LabelPosition::Start ? p0
        : labelPosition == LabelPosition::End                    ? p1
                                                                 : (mid + control) / 2;
    LabelStyle style;
    style.font = labelFont;
    style.alignment = labelAlignment;
    style.shape = labelShape;
    style.fill = lineFillColor;
    style.outline = lineColor;
    style.marginX = labelHorizontalMargin;
    style.marginY = labelVerticalMargin;
    if (textOverflow == 1) painter.setClipRect(QRectF(0, 0, width, height));
    drawLabel(painter, labelText, anchor, style);
}

bool LineLayer::sameKindLook(const VectorLayer& drawn) const {
    return static_cast<const LineProperties&>(*this)
        == static_cast<const LineProperties&>(static_cast<const LineLayer&>(drawn));
}

} // namespace ie
