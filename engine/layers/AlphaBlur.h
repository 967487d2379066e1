// Gaussian-like blur of 8-bit alpha planes, the basis of shadows, glows and edge feathering.
#pragma once

#include <cstdint>
#include <vector>

namespace ie {

/// Blurs the `width` x `height` plane in place with three box passes each way, so that a hard
/// edge spreads over about `radius` pixels on either side. radius < 0.5 leaves it as it is.
void blurAlpha(std::vector<std::uint8_t>& plane, int width, int height, double radius);

} // namespace ie
