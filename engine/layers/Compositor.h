// Renders any rectangle of a layer stack at any scale into one bitmap: the view, merging,
// thumbnails and export all go through it.
#pragma once

#include "LayerStack.h"
#include "imaging/Bitmap.h"
#include "imaging/Resample.h"

#include <vector>

namespace ie {

/// How a composite is made.
struct CompositeOptions {
    /// true: an Rgb24 result with an alpha plane, transparent where no layer covers;
    /// false: an opaque Rgb24 result over `background`.
    bool withAlpha = true;
    Rgb background { 255, 255, 255 };
    /// Filter for scaled image layers (Nearest for a pixel-exact zoomed view).
    ResampleFilter filter = ResampleFilter::Bilinear;
    /// Layers are clipped to the canvas (the background's box). Layers whose `cropped` is set
    /// are clipped even when this is false.
    bool cropToCanvas = true;
    /// Indices of the layers to draw (masks of drawn layers are applied even when not listed);
    /// empty means every layer. Hidden layers are never drawn.
    std::vector<int> layers;
};

/// Composites the canvas rectangle (srcX, srcY, srcW, srcH), in canvas pixels, into a
/// `outWidth` x `outHeight` bitmap. Visibility, opacity and transparency, blend operations,
/// masks, rotation, flip, soft shadow, inner glow and alpha edge feathering are applied.
/// Throws ie::Error for an invalid size or rectangle.
Bitmap composite(const LayerStack& stack, double srcX, double srcY, double srcW, double srcH,
    int outWidth, int outHeight, const CompositeOptions& options = {});

/// Composites the canvas rectangle `rect` at `scale` (output size rect.w * scale by
/// rect.h * scale, rounded, at least 1 x 1).
Bitmap composite(
    const LayerStack& stack, const Rect& rect, double scale, const CompositeOptions& options = {});

/// The whole canvas at its own size.
Bitmap compositeAll(const LayerStack& stack, const CompositeOptions& options = {});

} // namespace ie
