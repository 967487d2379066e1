// A layer measuring an angle: two arms from a vertex, an arc and a label with the value.
#pragma once

#include "Font.h"
#include "LineLayer.h"
#include "VectorLayer.h"

#include <array>

namespace ie {

/// An integer point.
struct PointI {
    int x = 0, y = 0;
    friend bool operator==(const PointI&, const PointI&) = default;
};

/// Kind-specific properties of an angle layer. Lines use borderColor and borderWidth.
struct AngleProperties {
    Font font;
    /// The label; "%s" stands for the measured value, empty means the value alone.
    QString labelText;
    int labelDecimalPlaces = 0;
    std::uint8_t angleMode = 0; ///< 0 the smaller angle (at most 180 degrees), 1 the full sweep
    /// End of the first arm, the vertex, end of the second arm; pixels relative to the box at the
    /// size realWidth x realHeight (scaled with the box when it is resized).
    std::array<PointI, 3> points { PointI { 100, 0 }, PointI { 0, 100 }, PointI { 100, 100 } };
    double realX = 0, realY = 0, realWidth = 100, realHeight = 100;
    double previousRotation = 0;
    EdgeRect offsetRect;
    double sweepAngle = 0; ///< the last measured angle, degrees
    friend bool operator==(const AngleProperties&, const AngleProperties&) = default;
};

/// An angle layer.
class AngleLayer : public VectorLayer, public AngleProperties {
public:
    LayerKind kind() const override { return LayerKind::Angle; }
    std::unique_ptr<Layer> clone() const override { return std::make_unique<AngleLayer>(*this); }
    /// The angle between the arms at the vertex in degrees (0 to 180, or 0 to 360 in sweep mode).
    double measuredAngle() const;

protected:
    void paint(QPainter& painter) const override;
    bool sameKindLook(const VectorLayer& drawn) const override;
};

} // namespace ie
