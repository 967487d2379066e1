// A layer drawing a straight or curved line with end shapes and an optional label.
#pragma once

#include "Font.h"
#include "LineEnd.h"
#include "LineStyle.h"
#include "VectorLayer.h"

namespace ie {

/// Where a line's label sits.
enum class LabelPosition : std::uint8_t {
    None = 0, ///< no label
    Start = 1, ///< at the start point
    Middle = 2, ///< at the middle of the line
    End = 3, ///< at the end point
};

/// The frame drawn around a label.
enum class LabelShape : std::uint8_t {
    None = 0,
    Rectangle = 1,
    RoundRect = 2,
    Ellipse = 3,
};

/// Horizontal alignment of text inside its frame (labels and text layers).
enum class TextAlign : std::uint8_t {
    Left = 0,
    Center = 1,
    Right = 2,
    Justify = 3,
};

/// Kind-specific properties of a line layer. Points are fractions of the layer box less a margin
/// (half the line width or end-shape size, plus offsetRect) that keeps the line inside the box:
/// (0, 0) the top-left corner of that area, (1, 1) its bottom-right corner.
struct LineProperties {
    ColorRef lineColor = colorRef(0, 0, 0);
    int lineWidth = 1; ///< pixels
    LineStyle lineStyle = LineStyle::Solid;
    ColorRef lineFillColor = colorRef(0, 0, 0); ///< fill of the end shapes and the label frame
    Font labelFont;
    QString labelText;
    TextAlign labelAlignment = TextAlign::Center;
    LabelPosition labelPosition = LabelPosition::Middle;
    LabelShape labelShape = LabelShape::Rectangle;
    bool readOnly = false; ///< the label cannot be edited in place
    int endShapeSize = 20; ///< size of the start and end shapes, pixels
    LineEnd startShape = LineEnd::None;
    LineEnd endShape = LineEnd::None;
    /// Bend of the line: 0 straight; otherwise the control point lies 1 / curve line lengths
    /// off the middle, to the left of the direction of travel for positive values.
    double curve = 0;
    double labelHorizontalMargin = 4; ///< pixels between the label text and its frame
    double labelVerticalMargin = 2;
    std::uint8_t textOverflow = 0; ///< 0 the label may leave the box, 1 clipped to it
    double startX = 0, startY = 0, endX = 1, endY = 1;
    EdgeRect offsetRect; ///< extra margin around the line within the box, pixels
    friend bool operator==(const LineProperties&, const LineProperties&) = default;
};

/// A line layer.
class LineLayer : public VectorLayer, public LineProperties {
public:
    LayerKind kind() const override { return LayerKind::Line; }
    std::unique_ptr<Layer> clone() const override { return std::make_unique<LineLayer>(*this); }

protected:
    void paint(QPainter& painter) const override;
    bool sameKindLook(const VectorLayer& drawn) const override;
};

} // namespace ie
