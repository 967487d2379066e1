// A whole file read into recycled pixel memory: the input of the hand-written decoders.
#pragma once

#include "../../imaging/BufferPool.h"

#include <cstdint>
#include <span>
#include <string>

namespace ie::io {

/// The bytes of a file, held in a buffer from the pixel pool: large files land in memory that is
/// already mapped (and huge-page backed) instead of fresh pages, which are slow to touch.
class FileBytes {
public:
    /// Reads `path` whole, refusing files over `maxBytes`. Throws ie::Error naming the file.
    explicit FileBytes(const std::string& path, std::size_t maxBytes = std::size_t(2) << 30);

    std::span<const std::uint8_t> bytes() const { return { m_buffer->data(), m_size }; }
    operator std::span<const std::uint8_t>() const { return bytes(); }

private:
    PixelBufferPtr m_buffer;
    std::size_t m_size = 0;
};

} // namespace ie::io
