// A layer drawing a headline (one styled run with outline and gradient) or formatted rich text.
#pragma once

#include "Font.h"
#include "LineLayer.h"
#include "VectorLayer.h"

class QRectF;

namespace ie {

/// Vertical placement of text inside the box.
enum class TextLayout : std::uint8_t {
    Top = 0,
    Center = 1,
    Bottom = 2,
};

/// The frame drawn behind a text (outline borderColor/borderWidth, fill fillColor at
/// fillOpacity).
enum class TextBorderShape : std::uint8_t {
    Rectangle = 0,
    RoundRect = 1,
    Ellipse = 2,
    None = 3,
};

/// Kind-specific properties of a text layer.
struct TextProperties {
    QString text; ///< the plain text (headline)
    /// The formatted text as Qt rich text (HTML): per-run fonts, paragraph alignment and line
    /// spacing. Used when formattingEnabled.
    QString richText;
    bool formattingEnabled = false;
    TextBorderShape borderShape = TextBorderShape::Rectangle;
    Font font;
    bool autoSize = false; ///< the box follows the text
    bool readOnly = false;
    TextAlign alignment = TextAlign::Left;
    TextLayout layout = TextLayout::Top;
    bool wordWrap = true;
    double horizontalMargin = 0; ///< pixels between the box and the text
    double verticalMargin = 0;
    std::uint8_t textOverflow = 0; ///< 0 clipped to the box, 1 may leave it
    double borderRotation = 0; ///< degrees the frame turns with the text
    double textOffsetX = 0; ///< shift of the text inside the box, pixels
    double textOffsetY = 0;
    friend bool operator==(const TextProperties&, const TextProperties&) = default;
};

/// A text layer. A headline draws `text` in `font` (fill font.color to textFillColor2 with
/// textFillGradient, alphas textFillTransparency1/2, outline textBorderWidth/Color); a formatted
/// layer draws `richText` (or `text` when that is empty) with word wrap and alignment.
class TextLayer : public VectorLayer, public TextProperties {
public:
    /// A text without frame (fill and border colours kNoColor).
    TextLayer();
    LayerKind kind() const override { return LayerKind::Text; }
    std::unique_ptr<Layer> clone() const override { return std::make_unique<TextLayer>(*this); }

protected:
    void paint(QPainter& painter) const override;
    bool sameKindLook(const VectorLayer& drawn) const override;

private:
    void drawFrame(QPainter& painter) const;
    void drawHeadline(QPainter& painter, const QRectF& area) const;
    void drawFormatted(QPainter& painter, const QRectF& area) const;
};

} // namespace ie
