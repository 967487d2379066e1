// Pixel arithmetic of the blend operations, in 8-bit fixed point.
#pragma once

#include "BlendOperation.h"
#include "imaging/Color.h"

#include <cstdint>

namespace ie {

/// The blended colour B(backdrop, source) of `op` before alpha is applied. `row` is the canvas
/// row (the interlaced stereo operations alternate by row).
Rgb blendColor(BlendOperation op, Rgb backdrop, Rgb source, int row = 0);

/// Composites `n` source pixels onto `dst` (R, G, B, A bytes, not premultiplied) with `op`.
/// Source colour i is at rgb + i * rgbStep; its coverage (alpha times opacity) is cov[i], or 255
/// for every pixel when cov is null.
void blendSpan(BlendOperation op, std::uint8_t* dst, const std::uint8_t* rgb, int rgbStep,
    const std::uint8_t* cov, int n, int row);

/// x / 255 rounded, for 0 <= x <= 255 * 255.
constexpr int div255(int x) {
    return (x + 128 + ((x + 128) >> 8)) >> 8;
}

} // namespace ie
