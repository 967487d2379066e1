// Reading one block of a project stream, either as stored or by inflating its zlib stream.
#pragma once

#include "ByteSource.h"

#include <cstdint>
#include <memory>

namespace ie {

/// Sequential reads from the block [offset, offset + length) of a source. Not thread-safe, but
/// readers of different blocks of one source may run on different threads.
class BlockReader {
public:
    virtual ~BlockReader() = default;
    /// Exactly `n` bytes into `dst`; throws ie::Error when the block has fewer.
    virtual void read(void* dst, std::size_t n) = 0;
    /// Drops `n` bytes.
    virtual void skip(std::size_t n);
    /// Checks the block ends cleanly (a zlib stream's checksum); throws ie::Error otherwise.
    virtual void finish() { }
    /// Upper bound of the bytes the block can deliver (what allocations are checked against).
    virtual std::int64_t maxBytes() const = 0;

    /// The block as stored (compressed = false) or as one zlib stream (compressed = true).
    static std::unique_ptr<BlockReader> open(
        const ByteSource& source, std::int64_t offset, std::int64_t length, bool compressed);
};

} // namespace ie
