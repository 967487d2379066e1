// Colour reduction to a palette: exact palettes of few colours, median cut, nearest-entry lookup.
#pragma once

#include "Bitmap.h"

#include <array>
#include <cstdint>
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

/// Nearest palette entry by squared RGB distance, ties to the lowest index. Each 16-level cell of
/// RGB space keeps only the entries that can be nearest inside it, so a lookup tries a few.
class PaletteMapper {
public:
    explicit PaletteMapper(const std::vector<Rgb>& palette);
    int nearest(int r, int g, int b) const;
    const std::vector<Rgb>& palette() const { return m_palette; }

private:
    struct Candidate {
        std::uint8_t index;
        int minDist; // to the cell, for an early stop
    };
    std::vector<Rgb> m_palette;
    std::vector<std::uint32_t> m_cellStart; // 4096 cells + 1
    std::vector<Candidate> m_candidates;
};

} // namespace ie
