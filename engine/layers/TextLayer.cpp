#include "TextLayer.h"

#include "PaintStyle.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QPainterPath>
#include <QTextDocument>
#include <QTextLayout>
#include <algorithm>
#include <cmath>

namespace ie {

TextLayer::TextLayer() {
    // Text floats on the image unless a frame is asked for.
    fillColor = kNoColor;
    borderColor = kNoColor;
    borderWidth = 0;
}

namespace {

Qt::Alignment horizontal(TextAlign a) {
    switch (a) {
    case TextAlign::Left:
        return Qt::AlignLeft;
    case TextAlign::Center:
        return Qt::AlignHCenter;
    case TextAlign::Right:
        return Qt::AlignRight;
    case TextAlign::Justify:
        return Qt::AlignJustify;
    }
    return Qt::AlignLeft;
}

double verticalOffset(TextLayout layout, double boxHeight, double textHeight) {
    switch (layout) {
    case TextLayout::Top:
        return 0;
    case TextLayout::Center:
        return (boxHeight - textHeight) / 2;
    case TextLayout::Bottom:
        return boxHeight - textHeight;
    }
    return 0;
}

Qt::PenJoinStyle qtJoin(LineJoin j) {
    switch (j) {
    case LineJoin::Miter:
        return Qt::MiterJoin;
    case LineJoin::Round:
        return Qt::RoundJoin;
    case LineJoin::Bevel:
        return Qt::BevelJoin;
    }
    return Qt::RoundJoin;
}

} // namespace

void TextLayer::paint(QPainter& painter) const {
    drawFrame(painter);
    const QRectF area(horizontalMargin + textOffsetX, verticalMargin + textOffsetY,
        std::max(1.0, width - 2 * horizontalMargin), std::max(1.0, height - 2 * verticalMargin));
    if (textOverflow == 0) painter.setClipRect(QRectF(0, 0, width, height));
    if (formattingEnabled)
        drawFormatted(painter, area);
    else
        drawHeadline(painter, area);
}

void TextLayer::drawFrame(QPainter& painter) const {
    if (borderShape == TextBorderShape::None) return;
    const bool outline = isColor(borderColor) && borderWidth > 0;
    const int fillAlpha = static_cast<int>(std::lround(std::clamp(fillOpacity, 0.0, 1.0) * 255));
    if (!outline && (!isColor(fillColor) || fillAlpha == 0)) return;
    const double inset = outline ? borderWidth / 2.0 : 0.0;
    const QRectF frame(inset, inset, width - 2 * inset, height - 2 * inset);
    painter.save();
    if (borderRotation != 0) {
        painter.translate(frame.center());
        painter.rotate(-borderRotation);
        painter.translate(-frame.center());
    }
    painter.setPen(makePen(borderColor, borderWidth));
    painter.setBrush(makeFill(frame, fillColor, fillColor2, fillGradient, fillAlpha, fillAlpha));
    switch (borderShape) {
    case TextBorderShape::Rectangle:
        painter.drawRect(frame);
        break;
    case TextBorderShape::RoundRect: {
        const double r = std::min(frame.width(), frame.height()) / 5;
        painter.drawRoundedRect(frame, r, r);
        break;
    }
    case TextBorderShape::Ellipse:
        painter.drawEllipse(frame);
        break;
    case TextBorderShape::None:
        break;
    }
    painter.restore();
}

void TextLayer::drawHeadline(QPainter& painter, const QRectF& area) const {
    if (text.isEmpty()) return;
    const QFont qfont = toQFont(font);
    // Lay the text out in lines (word wrap at the area's width, hard breaks kept), then draw
    // their outlines as one path so that the fill gradient and the border span the whole text.
    QString laid = text;
    laid.replace(QLatin1Char('\n'), QChar::LineSeparator);
    QTextLayout lines(laid, qfont);
    QTextOption option(horizontal(alignment));
    option.setWrapMode(wordWrap ? QTextOption::WordWrap : QTextOption::NoWrap);
    lines.setTextOption(option);
    lines.beginLayout();
    double y = 0;
    for (QTextLine line = lines.createLine(); line.isValid(); line = lines.createLine()) {
        line.setLineWidth(area.width());
        line.setPosition(QPointF(0, y));
        y += line.height();
    }
    lines.endLayout();

    const double top = area.top() + verticalOffset(layout, area.height(), y);
    QPainterPath path;
    for (int i = 0; i < lines.lineCount(); ++i) {
        const QTextLine line = lines.lineAt(i);
        const QString part = laid.mid(line.textStart(), line.textLength()).trimmed();
        const double w = QFontMetricsF(qfont).horizontalAdvance(part);
        double x = area.left();
        if (alignment == TextAlign::Center) x += (area.width() - w) / 2;
        if (alignment == TextAlign::Right) x += area.width() - w;
        path.addText(QPointF(x, top + line.y() + line.ascent()), qfont, part);
    }
    const QRectF bounds = path.boundingRect();
    if (textBorderWidth > 0 && isColor(textBorderColor)) {
        // The outline is stroked at double width under the fill, so it only grows outwards.
        QPen pen = makePen(
            textBorderColor, 2.0 * textBorderWidth, LineStyle::Solid, qtJoin(textBorderLineJoin));
        painter.strokePath(path, pen);
    }
    if (textFillTransparency1 > 0 || textFillTransparency2 > 0)
        painter.fillPath(path,
            makeFill(bounds, font.color, textFillColor2, textFillGradient, textFillTransparency1,
                textFillTransparency2));
}

void TextLayer::drawFormatted(QPainter& painter, const QRectF& area) const {
    QTextDocument doc;
    doc.setDocumentMargin(0);
    doc.setDefaultFont(toQFont(font));
    QTextOption option(horizontal(alignment));
    option.setWrapMode(wordWrap ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::NoWrap);
    doc.setDefaultTextOption(option);
    if (!richText.isEmpty())
        doc.setHtml(richText);
    else
        doc.setPlainText(text);
    doc.setTextWidth(wordWrap ? area.width() : -1);
    const double top = area.top() + verticalOffset(layout, area.height(), doc.size().height());
    painter.save();
    painter.translate(area.left(), top);
    QAbstractTextDocumentLayout::PaintContext ctx;
    ctx.palette.setColor(QPalette::Text, toQColor(font.color));
    doc.documentLayout()->draw(&painter, ctx);
    painter.restore();
}

bool TextLayer::sameKindLook(const VectorLayer& drawn) const {
    return static_cast<const TextProperties&>(*this)
        == static_cast<const TextProperties&>(static_cast<const TextLayer&>(drawn));
}

} // namespace ie
