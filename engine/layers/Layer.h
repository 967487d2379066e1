// The layer model: every property a layer of any kind carries, and the base of the six kinds.
#pragma once

#include "BlendOperation.h"
#include "ColorRef.h"
#include "GradientKind.h"
#include "Guid.h"
#include "Shadow.h"

#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

namespace ie {

/// The layer kinds; the numbers are stored in project files.
enum class LayerKind : std::uint8_t {
    Image = 0,
    Shape = 1,
    Line = 2,
    Polyline = 3,
    Text = 4,
    Angle = 5,
};

/// Number of layer kinds.
inline constexpr int kLayerKindCount = 6;

/// Bits of LayerProperties::flip.
enum FlipBits : std::uint8_t {
    kFlipHorizontal = 1,
    kFlipVertical = 2,
};

/// Corner join of the text outline.
enum class LineJoin : std::uint8_t { Miter = 0, Round = 1, Bevel = 2 };

/// An integer rectangle given by its edges (right and bottom exclusive).
struct EdgeRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    friend bool operator==(const EdgeRect&, const EdgeRect&) = default;
};

/// The properties every layer kind has. Plain data: change them freely; vector layers notice the
/// change by themselves when they are next rendered.
struct LayerProperties {
    Guid id = Guid::generate(); ///< the layer's identity, kept by clone()
    double width = 1; ///< display width on the canvas, pixels
    double height = 1; ///< display height on the canvas, pixels
    double x = 0; ///< position of the box's top-left corner on the canvas (before rotation)
    double y = 0;
    bool visible = true;
    bool boxVisible = true; ///< the selection box and grips are shown
    bool selectable = true;
    int transparency = 255; ///< 0 (invisible) to 255 (opaque); multiplies opacity
    double opacity = 1.0; ///< 0.0 to 1.0
    double fillOpacity = 1.0; ///< opacity of the fill of shapes and polylines (0 = no fill)
    EdgeRect clientArea; ///< the drawable part of the box, in layer pixels
    bool cropped = false; ///< clipped to the canvas (background) when composited
    bool locked = false; ///< cannot be moved or resized
    BlendOperation blendOperation = BlendOperation::Normal;
    std::vector<std::uint8_t> userData; ///< opaque bytes kept for the caller
    QString name;
    QString hint;
    QString url;
    bool isMask = false; ///< masks the layer directly below (alpha = this layer's luminance)
    bool maskInverted = false; ///< the mask's luminance is inverted before use
    bool drawOuter = false; ///< the part outside the box is drawn dimmed (editing aid)
    double rotation = 0; ///< degrees, counter-clockwise
    double rotationCenterX = 0.5; ///< rotation centre as a fraction of the box (0.5 = middle)
    double rotationCenterY = 0.5;
    std::uint8_t flip = 0; ///< FlipBits, applied in layer space before rotation
    int alphaEdgeFeathering = 0; ///< 0 to 255: width in pixels of the soft alpha edge
    bool selected = false;
    int groupIndex = 0; ///< layers that belong together (a layer and its mask) share a value > 0
    bool aspectRatioLocked = false;
    bool antialias = true;
    double originalAspectRatio = 0; ///< width / height at creation, 0 when unknown
    int tag = 0; ///< free for the caller
    ColorRef borderColor = colorRef(0, 0, 0);
    int borderWidth = 1; ///< outline width of shapes and polylines, pixels (0 = none)
    ColorRef fillColor = colorRef(255, 255, 255);
    ColorRef fillColor2 = colorRef(0, 0, 0); ///< second colour of a gradient fill
    GradientKind fillGradient = GradientKind::None;
    Shadow softShadow; ///< drop shadow, or outer glow when both offsets are 0
    Shadow innerGlow;
    int textBorderWidth = 0; ///< outline width of headline text, pixels
    ColorRef textBorderColor = colorRef(0, 0, 0);
    LineJoin textBorderLineJoin = LineJoin::Round;
    int textFillTransparency1 = 255; ///< 0 to 255: alpha of the text fill's first colour
    int textFillTransparency2 = 255; ///< ... of its second colour
    ColorRef textFillColor2 = colorRef(0, 0, 0); ///< second colour of a gradient text fill
    GradientKind textFillGradient = GradientKind::None;
    std::uint8_t rulerMode = 0; ///< for the view's rulers, not used by rendering
    std::uint8_t rulerUnits = 0;
    bool scaleLocking = false;
    double modifiedDate = 0; ///< date-time of the last change, days since 1899-12-30

    friend bool operator==(const LayerProperties&, const LayerProperties&) = default;
};

/// The common base of the six layer kinds. Layers are owned by a LayerStack.
class Layer : public LayerProperties {
public:
    virtual ~Layer() = default;
    /// Which kind this layer is.
    virtual LayerKind kind() const = 0;
    /// A deep copy with the same identifier.
    virtual std::unique_ptr<Layer> clone() const = 0;
    /// True for the kinds drawn from their properties (all but image layers).
    bool isVector() const { return kind() != LayerKind::Image; }

    /// The effective alpha multiplier 0..1: opacity times transparency / 255, clamped.
    double effectiveOpacity() const;
    /// Sets modifiedDate to the current date and time.
    void touchModified();

protected:
    Layer() = default;
    Layer(const Layer&) = default;
    Layer& operator=(const Layer&) = default;
};

} // namespace ie
