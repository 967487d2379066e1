// Copy-on-write pixel storage in horizontal strips: the shared base of colour and alpha planes.
#pragma once

#include "BufferPool.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace ie {

/// Rows of `rowBytes` bytes (stride aligned to 32), stored in strips of whole rows. Copies share
/// strips; writing a row copies only its strip when it is shared.
class Plane {
public:
    Plane() = default;
    /// Allocates width x height at `bitsPerPixel`; content is undefined.
    Plane(int width, int height, int bitsPerPixel);

    int width() const { return m_width; }
    int height() const { return m_height; }
    bool isNull() const { return m_height == 0 || m_width == 0; }
    int bitsPerPixel() const { return m_bpp; }
    /// Bytes of pixel data in a row (without padding).
    std::size_t rowBytes() const { return m_rowBytes; }
    /// Distance between rows inside a strip.
    std::size_t stride() const { return m_stride; }
    int stripRows() const { return m_stripRows; }
    int stripCount() const { return static_cast<int>(m_strips.size()); }

    const std::uint8_t* row(int y) const {
        const int s = y / m_stripRows;
        return m_strips[s]->data() + std::size_t(y - s * m_stripRows) * m_stride;
    }
    /// A writable row; copies its strip first when another plane shares it.
    std::uint8_t* mutableRow(int y) {
        const int s = y / m_stripRows;
        if (m_strips[s].use_count() > 1) detachStrip(s);
        return m_strips[s]->data() + std::size_t(y - s * m_stripRows) * m_stride;
    }

    /// Makes every strip private (call before writing rows from several threads).
    void detach();
    /// Makes private only the strips holding rows [y0, y1) (before writing them from several
    /// threads).
    void detachRows(int y0, int y1);
    /// True when strip `s` is shared with another plane.
    bool stripShared(int s) const { return m_strips[s].use_count() > 1; }
    /// True when both planes use the same memory for strip `s`.
    bool sharesStripWith(const Plane& other, int s) const;

    /// Rows [y0, y1) are contiguous in memory (one strip), so callers may treat them as one block.
    bool rowsContiguous(int y0, int y1) const { return y0 / m_stripRows == (y1 - 1) / m_stripRows; }

    /// Sets every byte of every row (padding included) to `value`.
    void fillBytes(std::uint8_t value);

    /// Bytes of memory held by the strips (shared strips counted in full).
    std::size_t memoryBytes() const;

    /// The largest image this engine agrees to allocate.
    static constexpr std::int64_t kMaxPixels = 1'000'000'000;
    static constexpr int kMaxSide = 1 << 18;
    /// Throws ie::Error when width x height is not allowed.
    static void checkSize(std::int64_t width, std::int64_t height);

private:
    void detachStrip(int s);

    int m_width = 0;
    int m_height = 0;
    int m_bpp = 0;
    std::size_t m_rowBytes = 0;
    std::size_t m_stride = 0;
    int m_stripRows = 1;
    std::vector<PixelBufferPtr> m_strips;
};

} // namespace ie
