// A layer drawing an open or closed polyline, optionally filled; a path is a guide polyline.
#pragma once

#include "LineStyle.h"
#include "VectorLayer.h"

#include <vector>

namespace ie {

/// A point of a polyline, as a fraction of the layer box ((0, 0) top-left, (1, 1) bottom-right).
struct PointF {
    double x = 0, y = 0;
    friend bool operator==(const PointF&, const PointF&) = default;
};

/// Kind-specific properties of a polyline layer. The outline uses borderColor and borderWidth;
/// a closed polyline is filled with fillColor/fillColor2/fillGradient at fillOpacity.
struct PolylineProperties {
    std::vector<PointF> points;
    bool closed = false;
    bool isPath = false; ///< a guide path (drawn dashed, never filled)
    bool autoSize = true; ///< the box follows the points while they are edited
    LineStyle lineStyle = LineStyle::Solid;
    friend bool operator==(const PolylineProperties&, const PolylineProperties&) = default;
};

/// A polyline layer.
class PolylineLayer : public VectorLayer, public PolylineProperties {
public:
    LayerKind kind() const override { return LayerKind::Polyline; }
    std::unique_ptr<Layer> clone() const override { return std::make_unique<PolylineLayer>(*this); }
    /// Point i in canvas pixels (box position and size applied; rotation not).
    PointF canvasPoint(std::size_t i) const;

protected:
    void paint(QPainter& painter) const override;
    bool sameKindLook(const VectorLayer& drawn) const override;
};

} // namespace ie
