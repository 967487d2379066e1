// PNG row filters: the five predictors and the adaptive choice among them that libpng makes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace ie::io::png_filter {

/// Scratch space of one thread for filtering rows of `rowBytes` bytes.
class RowFilter {
public:
    /// `bytesPerPixel` is the filter distance (1 for rows under 8 bits a pixel); `adaptive`
    /// false always uses filter None (what paletted and sub-byte images compress best with).
    RowFilter(std::size_t rowBytes, int bytesPerPixel, bool adaptive);

    /// Writes the filter type byte and the filtered `row` (after `prev`, null for the first
    /// row) to `out`, rowBytes + 1 bytes. Picks the filter with the smallest sum of absolute
    /// residuals.
    void filter(const std::uint8_t* row, const std::uint8_t* prev, std::uint8_t* out);

private:
    std::size_t m_rowBytes;
    int m_bpp;
    bool m_adaptive;
    std::vector<std::uint8_t> m_zero; ///< the row above the first one
    std::vector<std::uint8_t> m_candidates; ///< one row per predictor but None
};

} // namespace ie::io::png_filter
