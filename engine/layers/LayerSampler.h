// Reads a layer's colour and alpha in the compositor's output pixels: placement, scale,
// rotation and flip applied, resampled when scaled and bilinear when rotated.
#pragma once

#include "Layer.h"
#include "imaging/Bitmap.h"
#include "imaging/Resample.h"

#include <cstdint>
#include <vector>

namespace ie {

/// A box of output pixels, x1 and y1 exclusive.
struct PixelBox {
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    bool isEmpty() const { return x1 <= x0 || y1 <= y0; }
    int width() const { return x1 - x0; }
    int height() const { return y1 - y0; }
    bool containsRow(int y) const { return y >= y0 && y < y1; }
    PixelBox intersected(const PixelBox& o) const;
    PixelBox expanded(int margin) const {
        return { x0 - margin, y0 - margin, x1 + margin, y1 + margin };
    }
};

/// Where output pixels lie on the canvas: output pixel (i, j) covers canvas
/// [originX + i * stepX, originX + (i + 1) * stepX) x [originY + j * stepY, ...).
struct OutputMapping {
    double originX = 0, originY = 0;
    double stepX = 1, stepY = 1; ///< canvas pixels per output pixel
    /// The output pixels whose centres lie inside the canvas rectangle (x, y, w, h).
    PixelBox pixelsOf(double x, double y, double w, double h) const;
};

/// One layer prepared for reading rows in output pixels.
class LayerSampler {
public:
    /// Prepares `layer` for the output pixels in `region`; `filter` scales image layers.
    LayerSampler(const Layer& layer, const OutputMapping& mapping, const PixelBox& region,
        ResampleFilter filter);

    /// The output pixels the layer can cover (inside the region); empty when it covers none.
    const PixelBox& span() const { return m_span; }

    /// Colour and alpha of a run of output pixels. Pixel k of the run has its colour at
    /// rgb + k * rgbStep and its alpha at alpha[k * alphaStep], or 255 when alpha is null.
    struct Run {
        const std::uint8_t* rgb = nullptr;
        int rgbStep = 3;
        const std::uint8_t* alpha = nullptr;
        int alphaStep = 1;
    };
    /// Pixels [x0, x1) of output row y, all inside span(). `scratch` holds computed pixels.
    Run run(int y, int x0, int x1, std::vector<std::uint8_t>& scratch) const;

    /// Alpha of [x0, x1) of row y into `out` (x0..x1 may extend beyond the span: 0 there).
    void alphaInto(
        int y, int x0, int x1, std::uint8_t* out, std::vector<std::uint8_t>& scratch) const;

private:
    void prepareDirect(const PixelBox& span);
    void prepareScaled(const PixelBox& span, ResampleFilter filter);
    void sampleBilinear(int y, int x0, int x1, std::uint8_t* out) const;

    Bitmap m_pixels; ///< Rgb24 (optionally with an alpha plane) or Rgba32
    double m_a = 1, m_b = 0, m_c = 0, m_d = 0, m_e = 1, m_f = 0; ///< output -> pixel coordinates
    bool m_direct = false; ///< pixel (i, j) = m_pixels(i + m_offX, j + m_offY)
    int m_offX = 0, m_offY = 0;
    PixelBox m_span;
};

} // namespace ie
