// The footprint of a brush dab: a circle or rectangle with a feathered edge.
#pragma once

#include "imaging/Bitmap.h"

#include <vector>

namespace ie::proc {

/// Dab shapes; the numbers are the retouch card's shape items: never renumber.
enum class DabShape { Circle = 0, Rectangle = 1 };

/// A dab centred on (x, y), `width` x `height` pixels, its edge faded over `feathering` pixels.
struct Dab {
    int x = 0, y = 0;
    int width = 50, height = 50;
    DabShape shape = DabShape::Circle;
    int feathering = 0;
    /// The rectangle the dab covers (not clipped).
    Rect rect() const {
        return { x - width / 2, y - height / 2, std::max(1, width), std::max(1, height) };
    }
};

/// The dab's strength (0 to 255) over `area` (a part of its rectangle), row by row.
std::vector<std::uint8_t> dabStrength(const Dab& dab, Rect area);

} // namespace ie::proc
