// Row-level pixel conversions and parallel row output shared by the hand-written codecs.
#pragma once

#include "../../imaging/Bitmap.h"
#include "ByteWriter.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace ie::io {

/// How an indexed file image is stored: 1-bit when its palette is black and white, grey when it
/// is the full identity grey ramp, else paletted.
struct IndexedTarget {
    PixelFormat format = PixelFormat::Palette8;
    bool invert = false; ///< Bw1 from a white-then-black palette
};

/// The target for a file palette.
IndexedTarget indexedTarget(const std::vector<Rgb>& palette);

/// A bitmap of `target`'s format; carries `palette` when paletted.
Bitmap makeIndexedBitmap(
    int width, int height, const IndexedTarget& target, const std::vector<Rgb>& palette);

/// The 256-entry grey ramp (index i = grey i).
std::vector<Rgb> greyPalette();

/// Spreads `width` indices of `bits` (1, 2, 4 or 8) per pixel, most significant first, to bytes.
void unpackIndices(const std::uint8_t* src, int bits, int width, std::uint8_t* dst);

/// Stores one row of byte indices into a row of `target`'s format.
void storeIndexRow(
    const std::uint8_t* indices, int width, const IndexedTarget& target, std::uint8_t* dst);

/// B,G,R file pixels (`step` bytes apart) to an Rgb24 row.
void bgrToRgb(const std::uint8_t* src, int width, int step, std::uint8_t* dst);

/// B,G,R,A file pixels to an Rgb24 row and an alpha row; returns true when any alpha is not 0.
bool bgraToRgbAlpha(const std::uint8_t* src, int width, std::uint8_t* rgb, std::uint8_t* alpha);

/// Row `y` of an Rgb24 or Rgba32 bitmap as B,G,R bytes.
void rowToBgr(const Bitmap& bitmap, int y, std::uint8_t* dst);
/// Row `y` of an Rgb24 (alpha plane or opaque) or Rgba32 bitmap as B,G,R,A bytes.
void rowToBgra(const Bitmap& bitmap, int y, std::uint8_t* dst);

/// Row `y` of an Rgb24 or Rgba32 bitmap as R,G,B bytes (alpha dropped).
const std::uint8_t* rgbRow(const Bitmap& bitmap, int y, std::vector<std::uint8_t>& scratch);

/// Writes `rows` file rows of `rowBytes` bytes, each made by `fill(fileRow, dst)`, which sets
/// every byte (padding too). Blocks of rows are filled on every core, then written in order.
void writeRows(FileSink& out, int rows, std::size_t rowBytes,
    const std::function<void(int, std::uint8_t*)>& fill);

/// Writes `rows` rows of varying size (compressed), each appended to a cleared `out` by
/// `encode(fileRow, out)`. Blocks of rows are encoded on every core, then written in order.
void writeEncodedRows(
    FileSink& sink, int rows, const std::function<void(int, ByteWriter&)>& encode);

/// Removes an alpha plane in which every value is 255.
void dropOpaqueAlpha(Bitmap& bitmap);

/// Scales `v` of `bits` bits (1 to 16) to 8 bits, rounded.
inline std::uint8_t scaleTo8(unsigned v, int bits) {
    const unsigned max = (1u << bits) - 1;
    return std::uint8_t((v * 255 + max / 2) / max);
}

} // namespace ie::io
