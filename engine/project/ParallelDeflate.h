// One zlib stream compressed on every core: chunks deflated independently, then joined.
#pragma once

#include "StreamWriter.h"

#include <cstdint>
#include <functional>

namespace ie {

/// Hands the bytes of one chunk, in order, to `sink` (any number of calls).
using ChunkFeeder = std::function<void(
    int chunk, const std::function<void(const std::uint8_t* data, std::size_t n)>& sink)>;

/// Writes the bytes of chunks 0 .. chunkCount-1, in order, as one zlib stream at the default
/// level. Each chunk is deflated on its own (so chunks compress in parallel) and ends on a byte
/// boundary with a sync flush; the raw deflate data is concatenated behind one zlib header and
/// closed with the Adler-32 of the whole, combined from the chunks'. Any zlib reader inflates the
/// result in one pass. `feed` is called from several threads at once. Returns the stream's size.
std::int64_t writeZlibStream(StreamWriter& out, int chunkCount, const ChunkFeeder& feed);

} // namespace ie
