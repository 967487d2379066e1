// Colour reduction to a palette: exact palettes of few colours, median cut, nearest-entry lookup.
#pragma once

#include "Bitmap.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <vector>

namespace ie {

/// The distinct colours of an Rgb24 bitmap when it has few, with a constant-time colour lookup.
class ExactPalette {
public:
    /// Collects the colours of `rgb` (Rgb24) in order of appearance; false as soon as there are
    /// more than `limit` (at most 256).
    bool build(const Bitmap& rgb, int limit);
    const std::vector<Rgb>& colors() const { return m_colors; }
    /// The index of a colour that `build` met.
    std::uint8_t indexOf(const std::uint8_t* rgb) const;

private:
    static constexpr int kSlotBits = 10; // 1024 slots keep 256 keys sparse
    int insert(std::uint32_t key, int limit);
    std::array<std::uint32_t, 1 << kSlotBits> m_keys {}; // colour + 1, 0 = empty
    std::array<std::uint8_t, 1 << kSlotBits> m_index {};
    std::vector<Rgb> m_colors;
};

/// At most `colors` representative colours of an Rgb24 bitmap, by median cut over a 5-bit-per-
/// channel histogram, refined by a few k-means passes over that histogram.
std::vector<Rgb> medianCutPalette(const Bitmap& rgb, int colors);

/// Nearest palette entry by squared RGB distance, ties to the lowest index. Each cell of a grid
/// over RGB space keeps only the entries that can be nearest inside it, so a lookup tries a few.
class PaletteMapper {
public:
    /// `manyLookups` builds a finer grid (a few milliseconds more) that makes each lookup cheaper:
    /// worth it for whole images.
    explicit PaletteMapper(const std::vector<Rgb>& palette, bool manyLookups = false);
    int nearest(int r, int g, int b) const {
        if (m_palette.empty()) return 0;
        const int bits = m_grid.bits, shift = 8 - bits;
        const int cell = (r >> shift) << (2 * bits) | (g >> shift) << bits | (b >> shift);
        const std::uint32_t* c = m_grid.candidates.data() + m_grid.start[cell];
        const std::uint32_t* end = m_grid.candidates.data() + m_grid.start[cell + 1];
        // Lists are short: try them all without branches. Distance << 8 | index makes the
        // smallest key the nearest entry, ties to the lowest index.
        std::uint32_t best = std::numeric_limits<std::uint32_t>::max();
        for (; c != end; ++c) {
            const int dr = int(*c >> 24) - r, dg = int(*c >> 16 & 0xFF) - g,
                      db = int(*c >> 8 & 0xFF) - b;
            best = std::min(best, std::uint32_t(dr * dr + dg * dg + db * db) << 8 | (*c & 0xFF));
        }
        return int(best & 0xFF);
    }
    const std::vector<Rgb>& palette() const { return m_palette; }

private:
    struct Grid {
        int bits = 0; // 1 << bits cells per channel
        std::vector<std::uint32_t> start; // per cell, into candidates; one past the last cell
        std::vector<std::uint32_t> candidates; // r << 24 | g << 16 | b << 8 | index
    };
    static Grid buildGrid(int bits, const Grid* parent, const std::vector<std::uint32_t>& all);

    std::vector<Rgb> m_palette;
    Grid m_grid;
};

} // namespace ie
