// A layer drawing one of the shape list's shapes with an outline and a (gradient) fill.
#pragma once

#include "ShapeKind.h"
#include "VectorLayer.h"

namespace ie {

/// Kind-specific properties of a shape layer.
struct ShapeProperties {
    ShapeKind shape = ShapeKind::Rectangle;
    /// Shape parameter; 0 is the shape's default. Round rectangles: corner radius in per cent of
    /// the shorter side; stars: inner radius in per cent; frames and rings: thickness in per cent.
    int shapeModifier = 0;
    friend bool operator==(const ShapeProperties&, const ShapeProperties&) = default;
};

/// A shape layer: outline borderColor/borderWidth, fill fillColor/fillColor2/fillGradient with
/// alpha fillOpacity.
class ShapeLayer : public VectorLayer, public ShapeProperties {
public:
    LayerKind kind() const override { return LayerKind::Shape; }
    std::unique_ptr<Layer> clone() const override { return std::make_unique<ShapeLayer>(*this); }

protected:
    void paint(QPainter& painter) const override;
    bool sameKindLook(const VectorLayer& drawn) const override;
};

} // namespace ie
