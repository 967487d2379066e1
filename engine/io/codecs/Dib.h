// Device-independent bitmaps: the pixel part of BMP files and of the bitmaps inside icons.
#pragma once

#include "../../imaging/Bitmap.h"
#include "ByteReader.h"
#include "ByteWriter.h"

#include <cstdint>
#include <vector>

namespace ie::io {

/// Compression codes of the info header.
enum DibCompression : std::uint32_t {
    kDibRgb = 0,
    kDibRle8 = 1,
    kDibRle4 = 2,
    kDibBitfields = 3,
    kDibAlphaBitfields = 6,
};

/// The fields of an info header (any of the core, V1 to V5 and OS/2 versions) that decoding needs.
struct DibHeader {
    std::uint32_t headerSize = 0;
    int width = 0;
    int height = 0; ///< always positive; see topDown
    bool topDown = false;
    int bitCount = 0;
    std::uint32_t compression = kDibRgb;
    std::uint32_t masks[4] = {}; ///< R, G, B, A for 16 and 32 bits
    std::vector<Rgb> palette;
    double dpiX = 72, dpiY = 72;
};

/// Reads an info header, its bit masks and its palette at `r`'s position, leaving `r` after the
/// palette. With `icon`, the stored height counts the colour and mask bitmaps together and is
/// halved. Throws ie::Error for sizes, depths and compressions it can't decode.
DibHeader readDibHeader(ByteReader& r, bool icon);

/// Decodes the pixel array at `r`'s position, leaving `r` after it. Indexed images become Bw1,
/// Gray8 or Palette8 by their palette. 16- and 32-bit ones with an alpha mask in the header get
/// an alpha plane; plain 32-bit ones only when their fourth bytes are not all 0.
Bitmap decodeDibPixels(const DibHeader& header, ByteReader& r);

/// Bytes of one stored row (rows are padded to 4 bytes).
std::uint64_t dibStride(int width, int bits);

/// Resolution conversions: the file stores pixels per metre.
double dpiFromPixelsPerMetre(std::int32_t ppm);
std::int32_t pixelsPerMetreFromDpi(double dpi);

/// Writes the 40 bytes every info header starts with (bottom-up rows). A larger `headerSize`
/// (V4, V5) is recorded, and the caller appends the rest of the header.
void writeDibInfoHeader(ByteWriter& out, int width, int storedHeight, int bits,
    std::uint32_t compression, std::uint32_t imageBytes, double dpiX, double dpiY,
    std::uint32_t colours, std::uint32_t headerSize = 40);

} // namespace ie::io
