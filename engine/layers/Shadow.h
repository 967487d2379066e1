// The soft-shadow record a layer uses for its drop shadow (or outer glow) and its inner glow.
#pragma once

#include "imaging/Color.h"

namespace ie {

/// A blurred copy of the layer's alpha, offset and tinted. The inner glow uses only enabled,
/// radius and color. An enabled shadow with both offsets 0 is an outer glow.
struct Shadow {
    bool enabled = false;
    double radius = 3; ///< blur radius in pixels
    double offsetX = 2; ///< pixels, positive to the right
    double offsetY = 2; ///< pixels, positive downwards
    int intensity = 100; ///< strength in per cent (100 = the shadow's full alpha; more darkens it)
    Rgb color {};
    friend bool operator==(const Shadow&, const Shadow&) = default;
};

} // namespace ie
