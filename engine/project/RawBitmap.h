// The raw bitmap block of image layer records ("TIEBITMAPRAW"), stored or zlib-compressed.
#pragma once

#include "../imaging/Bitmap.h"
#include "ByteSource.h"
#include "MemoryBudget.h"
#include "StreamReader.h"
#include "StreamWriter.h"

#include <cstdint>

namespace ie {

/// Pixel compression values of image layer records that hold a raw bitmap.
inline constexpr std::int32_t kRawZlib = -1;
inline constexpr std::int32_t kRawStored = -2;

/// Row alignment (in bits) this engine writes.
inline constexpr std::int32_t kRawBitAlignment = 32;

/// Writes an int32 byte count m and m bytes: the raw bitmap, zlib-compressed at the default
/// level on every core (kRawZlib) or as it is (kRawStored).
void writeRawBitmap(StreamWriter& out, const Bitmap& bitmap, std::int32_t compression);

/// Where a raw bitmap lies in a source (after its byte count).
struct RawBitmapBlock {
    std::int64_t offset = 0;
    std::int64_t length = 0;
    bool compressed = true;
};

/// Reads the int32 byte count, checks the block lies inside the stream and moves past it.
RawBitmapBlock locateRawBitmap(StreamReader& in, std::int32_t compression);

/// Decodes a block, inflating straight into the bitmap's rows. Every size is checked against the
/// block and `budget` before allocating. Blocks of one source may be decoded on several threads.
Bitmap decodeRawBitmap(const ByteSource& source, const RawBitmapBlock& block, MemoryBudget& budget);

} // namespace ie
