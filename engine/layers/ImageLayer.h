// A layer holding pixels: an ie::Bitmap shown scaled to the layer's box.
#pragma once

#include "Layer.h"
#include "imaging/Bitmap.h"
#include "imaging/Resample.h"

namespace ie {

/// The magnifier an image layer can act as.
struct Magnification {
    bool enabled = false;
    double rate = 2.0; ///< zoom factor of the magnified content
    std::uint8_t style = 0; ///< 0 rectangle, 1 ellipse
    std::uint8_t source = 0; ///< 0 the background layer, 1 the composited canvas
    friend bool operator==(const Magnification&, const Magnification&) = default;
};

/// Kind-specific properties of an image layer.
struct ImageProperties {
    Bitmap bitmap; ///< the pixels; an alpha plane gives the layer's own transparency
    Magnification magnification;
    ResampleFilter resampleFilter = ResampleFilter::Bilinear; ///< used when useResampleFilter
    bool useResampleFilter = false; ///< scale with resampleFilter instead of the view's filter
    /// How the pixels are stored in project files: -1 zlib raw, -2 raw, or a codec's format number.
    int pixelCompression = -1;
};

/// An image layer. Its box (width x height) may differ from the bitmap's size: the bitmap is
/// stretched over the box.
class ImageLayer : public Layer, public ImageProperties {
public:
    ImageLayer() = default;
    /// A layer showing `bitmap` at its own size.
    explicit ImageLayer(Bitmap bitmap);
    LayerKind kind() const override { return LayerKind::Image; }
    std::unique_ptr<Layer> clone() const override { return std::make_unique<ImageLayer>(*this); }
};

} // namespace ie
