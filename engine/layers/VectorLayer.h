// The base of the layer kinds drawn from their properties, with their cached raster image.
#pragma once

#include "Layer.h"

#include <QImage>
#include <cstdint>
#include <memory>

class QPainter;

namespace ie {

/// A layer drawn with QPainter into an image cache. The cache is redrawn when the layer's look
/// or the requested size changed since the last drawing; position, visibility, opacity,
/// rotation, blending and effects are the compositor's and do not cause a redraw.
class VectorLayer : public Layer {
public:
    /// The layer drawn over its whole box scaled to `pixelWidth` x `pixelHeight` (at least
    /// 1 x 1), premultiplied ARGB with a transparent background. Not thread-safe: render a layer
    /// from one thread at a time.
    QImage rendered(int pixelWidth, int pixelHeight) const;
    /// Increases each time the cache is redrawn.
    std::uint64_t renderVersion() const { return m_cache.version; }
    /// Drops the cached image so that the next rendered() redraws.
    void invalidate() const { m_cache.drawn.reset(); }

protected:
    VectorLayer() = default;
    VectorLayer(const VectorLayer& other);
    VectorLayer& operator=(const VectorLayer& other);

    /// Draws the layer with the painter's coordinates spanning the box at display size
    /// (0..width, 0..height); the painter is already scaled and antialiased as asked.
    virtual void paint(QPainter& painter) const = 0;
    /// True when `drawn`, a copy of this layer's kind made at the last redraw, has the same
    /// kind-specific properties.
    virtual bool sameKindLook(const VectorLayer& drawn) const = 0;

private:
    bool looksLike(const VectorLayer& drawn) const;

    struct Cache {
        QImage image;
        std::unique_ptr<Layer> drawn; ///< the layer as it was when `image` was drawn
        std::uint64_t version = 0;
    };
    mutable Cache m_cache;
};

} // namespace ie
