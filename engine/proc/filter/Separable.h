// The separable smoothing engine behind Gaussian, box and morphological filters: a 1-D filter
// run along rows, then along columns over a ring of filtered rows, one band per task.
#pragma once

#include "imaging/Bitmap.h"

#include <functional>
#include <vector>

namespace ie::proc::detail {

/// A 1-D filter: a symmetric kernel, a cascade of box passes, or a running maximum or minimum.
struct Filter1D {
    enum class Kind { Kernel, Boxes, Max, Min };
    Kind kind = Kind::Kernel;
    std::vector<float> taps; ///< Kernel: taps[0] the centre, taps[k] at distance k on both sides
    std::vector<int> radii; ///< Boxes: the radius of each pass; Max and Min: one radius
    /// Samples read on each side of the centre.
    int reach() const;
    bool isIdentity() const { return reach() == 0; }
};

/// A Gaussian of standard deviation `sigma` (pixels): a sampled kernel for small sigma, a
/// cascade of four box passes of matching variance for large sigma (constant cost per pixel).
Filter1D gaussianFilter(double sigma);
/// A box average over 2 x radius + 1 pixels.
Filter1D boxFilter(int radius);
/// A running maximum (`max` true) or minimum over 2 x radius + 1 pixels.
Filter1D rankFilter(int radius, bool max);

/// Receives one filtered row: `values` holds rect.w x samples-per-pixel floats for image row
/// `y`, columns from rect.x. Called from several threads at once for different rows.
using RowSink = std::function<void(int y, const float* values)>;

/// Runs `horizontal` along rows and `vertical` along columns over `rect` of `src` (pixels
/// outside the image repeat the edge) and hands every result row to `sink`.
void separableFilter(const Bitmap& src, Rect rect, const Filter1D& horizontal,
    const Filter1D& vertical, const RowSink& sink);

/// The sink that stores rounded rows into `dst` (same format as the source).
RowSink storeInto(Bitmap& dst, Rect rect);

} // namespace ie::proc::detail
