// The halved copies of one bitmap that the view draws from when zoomed out.
#pragma once

#include "imaging/Bitmap.h"

#include <vector>

namespace ie {

/// Levels 1, 2, ... of a bitmap: level 1 a quarter of the size each way, each further level half
/// the one before (2 x 2 box averages, alpha-weighted), down to about `kSmallestSide` pixels.
/// Level 0 is the bitmap itself. There is no half-size level: it alone would cost a quarter of
/// the bitmap, and zooms from 25 to 50 % sample the bitmap well enough. Together the levels cost
/// about a twelfth of the bitmap's memory.
class ReducedLevels {
public:
    /// Levels stop once the longer side would drop below this.
    static constexpr int kSmallestSide = 256;

    /// Rebuilds every level from `source`. Formats other than Gray8, Rgb24 and Rgba32 are reduced
    /// through Rgb24 (Rgba32 with transparency).
    void build(const Bitmap& source);
    /// Recomputes the rows of every level that derive from source rows [y0, y1) (after a local
    /// edit); same size and format as the last build.
    void rebuildRows(const Bitmap& source, int y0, int y1);
    void clear() { m_levels.clear(); }

    /// Number of reduced levels (0 when the bitmap is small).
    int count() const { return int(m_levels.size()); }
    /// Reduced level k, 1 <= k <= count().
    const Bitmap& level(int k) const { return m_levels.at(std::size_t(k - 1)); }
    /// The scale of level k to the bitmap (1 for level 0, 1/4 for level 1, 1/8 for level 2...).
    static double scaleOf(int k);
    /// Bytes held by all levels.
    std::size_t memoryBytes() const;

private:
    std::vector<Bitmap> m_levels;
};

/// `src` halved in both directions (odd sizes round up), 2 x 2 box average weighted by alpha.
/// Gray8, Rgb24 (with or without an alpha plane) and Rgba32 only.
Bitmap halve(const Bitmap& src);

} // namespace ie
