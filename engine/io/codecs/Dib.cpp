#include "Dib.h"

#include "../../imaging/Parallel.h"
#include "RowCodecs.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <climits>
#include <cmath>

namespace ie::io {

namespace {

// RLE runs hold at most 255 pixels in 2 bytes; even allowing for skipped areas, more pixels a
// byte than this means the header lies about the size.
constexpr std::uint64_t kMaxRlePixelsPerByte = 512;

std::uint32_t le32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16
        | std::uint32_t(p[3]) << 24;
}
std::uint16_t le16(const std::uint8_t* p) {
    return std::uint16_t(p[0] | p[1] << 8);
}

bool validDepth(int bits) {
    return bits == 1 || bits == 2 || bits == 4 || bits == 8 || bits == 16 || bits == 24
        || bits == 32;
}

void checkCompression(const ByteReader& r, const DibHeader& h) {
    switch (h.compression) {
    case kDibRgb:
        return;
    case kDibRle8:
        if (h.bitCount == 8) return;
        break;
    case kDibRle4:
        if (h.bitCount == 4) return;
        break;
    case kDibBitfields:
    case kDibAlphaBitfields:
        if (h.bitCount == 16 || h.bitCount == 32) return;
        break;
    case 4:
    case 5:
        throw Error(std::string(r.format())
            + " files with embedded JPEG or PNG data are not "
              "supported");
    default:
        throw Error(std::string(r.format()) + " compression " + std::to_string(h.compression)
            + " is not supported");
    }
    r.damaged("compression " + std::to_string(h.compression) + " with " + std::to_string(h.bitCount)
        + " bits per pixel");
}

void setDefaultMasks(DibHeader& h) {
    if (h.bitCount == 16) {
        h.masks[0] = 0x7C00;
        h.masks[1] = 0x03E0;
        h.masks[2] = 0x001F;
        h.masks[3] = 0;
    } else if (h.bitCount == 32) {
        h.masks[0] = 0x00FF0000;
        h.masks[1] = 0x0000FF00;
        h.masks[2] = 0x000000FF;
        h.masks[3] = 0xFF000000;
    }
}

void readMasks(ByteReader& r, DibHeader& h, const std::uint8_t* fields) {
    if (h.compression != kDibBitfields && h.compression != kDibAlphaBitfields) {
        setDefaultMasks(h);
        return;
    }
    const int count = h.compression == kDibAlphaBitfields ? 4 : 3;
    if (h.headerSize >= 52) {
        // V2 and later hold the masks inside the header; V3 and later add alpha.
        for (int i = 0; i < 3; ++i)
            h.masks[i] = le32(fields + 40 + 4 * i);
        h.masks[3] = h.headerSize >= 56 ? le32(fields + 52) : 0;
    } else {
        for (int i = 0; i < count; ++i)
            h.masks[i] = r.u32le();
    }
}

void readPalette(ByteReader& r, DibHeader& h, std::uint32_t coloursUsed, int entryBytes) {
    if (h.bitCount > 8) return;
    const std::uint32_t max = 1u << h.bitCount;
    const std::uint32_t n = coloursUsed == 0 || coloursUsed > max ? max : coloursUsed;
    const std::uint8_t* p = r.take(std::uint64_t(n) * entryBytes);
    h.palette.resize(n);
    for (std::uint32_t i = 0; i < n; ++i, p += entryBytes)
        h.palette[i] = { p[2], p[1], p[0] };
}

/// One colour channel of a bit-field pixel.
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    int bits = 0;
    std::array<std::uint8_t, 256> scale {};

    Channel(const ByteReader& r, std::uint32_t m)
        : mask(m) {
        if (!m) return;
        shift = std::countr_zero(m);
        const std::uint32_t v = m >> shift;
        if ((v & (v + 1)) != 0) r.damaged("bit masks are not contiguous");
        bits = std::popcount(v);
        if (bits < 8)
            for (unsigned i = 0; i <= v; ++i)
                scale[i] = scaleTo8(i, bits);
    }
    std::uint8_t operator()(std::uint32_t px) const {
        const std::uint32_t v = (px & mask) >> shift;
        if (bits == 8) return std::uint8_t(v);
        if (bits > 8) return std::uint8_t(v >> (bits - 8));
        return bits ? scale[v] : 0;
    }
};

bool standardBgra(const DibHeader& h) {
    return h.bitCount == 32 && h.masks[0] == 0x00FF0000 && h.masks[1] == 0x0000FF00
        && h.masks[2] == 0x000000FF && (h.masks[3] == 0xFF000000 || h.masks[3] == 0);
}

// Decodes rows of an uncompressed array; `row(fileRow, imageRow)` converts one.
template <class RowFn> void forEachStoredRow(const DibHeader& h, RowFn&& row) {
    parallelFor(0, h.height, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y)
            row(h.topDown ? y : h.height - 1 - y, y);
    });
}

Bitmap decodeIndexed(const DibHeader& h, const std::uint8_t* base, std::uint64_t stride) {
    const IndexedTarget target = indexedTarget(h.palette);
    Bitmap bmp = makeIndexedBitmap(h.width, h.height, target, h.palette);
    parallelFor(0, h.height, [&](int y0, int y1) {
        std::vector<std::uint8_t> indices(std::size_t(h.width));
        for (int y = y0; y < y1; ++y) {
            const int fileRow = h.topDown ? y : h.height - 1 - y;
            unpackIndices(base + fileRow * stride, h.bitCount, h.width, indices.data());
            storeIndexRow(indices.data(), h.width, target, bmp.mutableScanline(y));
        }
    });
    return bmp;
}

Bitmap decodeBitfields(
    const ByteReader& r, const DibHeader& h, const std::uint8_t* base, std::uint64_t stride) {
    Bitmap bmp(h.width, h.height, PixelFormat::Rgb24);
    const bool alpha = h.masks[3] != 0;
    if (alpha) bmp.addAlphaPlane();
    std::atomic<bool> anyAlpha = false;
    const int bytes = h.bitCount / 8;
    if (standardBgra(h)) {
        forEachStoredRow(h, [&](int fileRow, int y) {
            const std::uint8_t* src = base + fileRow * stride;
            if (!alpha)
                bgrToRgb(src, h.width, 4, bmp.mutableScanline(y));
            else if (bgraToRgbAlpha(src, h.width, bmp.mutableScanline(y), bmp.mutableAlphaLine(y)))
                anyAlpha = true;
        });
    } else {
        const Channel red(r, h.masks[0]), green(r, h.masks[1]), blue(r, h.masks[2]),
            alphaCh(r, h.masks[3]);
        forEachStoredRow(h, [&](int fileRow, int y) {
            const std::uint8_t* src = base + fileRow * stride;
            std::uint8_t* dst = bmp.mutableScanline(y);
            std::uint8_t* a = alpha ? bmp.mutableAlphaLine(y) : nullptr;
            unsigned any = 0;
            for (int x = 0; x < h.width; ++x, src += bytes, dst += 3) {
                const std::uint32_t px = bytes == 2 ? le16(src) : le32(src);
                dst[0] = red(px);
                dst[1] = green(px);
                dst[2] = blue(px);
                if (a) any |= a[x] = alphaCh(px);
            }
            if (any) anyAlpha = true;
        });
    }
    // The fourth byte of plain 32-bit pixels is often left at 0 by writers without alpha; a
    // mask declared in the header means what it says.
    const bool declared = h.compression != kDibRgb;
    if (alpha && !anyAlpha && !declared) bmp.removeAlphaPlane();
    return bmp;
}

Bitmap decodeUncompressed(const DibHeader& h, ByteReader& r) {
    const std::uint64_t stride = dibStride(h.width, h.bitCount);
    // The last row's padding is often missing.
    const std::uint64_t need
        = stride * std::uint64_t(h.height - 1) + (std::uint64_t(h.width) * h.bitCount + 7) / 8;
    const std::uint8_t* base = r.take(need);
    r.seek(std::min<std::uint64_t>(r.size(), r.pos() + (stride * h.height - need)));
    if (h.bitCount <= 8) return decodeIndexed(h, base, stride);
    if (h.bitCount == 24) {
        Bitmap bmp(h.width, h.height, PixelFormat::Rgb24);
        forEachStoredRow(h, [&](int fileRow, int y) {
            bgrToRgb(base + fileRow * stride, h.width, 3, bmp.mutableScanline(y));
        });
        return bmp;
    }
    return decodeBitfields(r, h, base, stride);
}

/// Run-length decoding into one row at a time (RLE only moves forward).
class RleDecoder {
public:
    RleDecoder(const DibHeader& h, ByteReader& r)
        : m_h(h)
        , m_r(r)
        , m_target(indexedTarget(h.palette))
        , m_bmp(makeIndexedBitmap(h.width, h.height, m_target, h.palette))
        , m_line(std::size_t(h.width), 0) { }

    Bitmap run() {
        const bool four = m_h.compression == kDibRle4;
        while (m_y < m_h.height) {
            if (m_r.remaining() < 2) {
                // Some writers stop after the last pixel without an end code.
                if (m_y == m_h.height - 1 && m_x >= m_h.width) break;
                m_r.truncated();
            }
            const int count = m_r.u8(), value = m_r.u8();
            if (count > 0) {
                for (int i = 0; i < count; ++i)
                    put(four ? (i & 1 ? value & 15 : value >> 4) : value);
            } else if (value == 0) {
                nextLine();
            } else if (value == 1) {
                break;
            } else if (value == 2) {
                const int dx = m_r.u8(), dy = m_r.u8();
                for (int i = 0; i < dy && m_y < m_h.height; ++i) {
                    const int x = m_x;
                    nextLine();
                    m_x = x;
                }
                m_x = std::min(m_x + dx, m_h.width);
            } else {
                absolute(value, four);
            }
        }
        while (m_y < m_h.height)
            nextLine();
        return std::move(m_bmp);
    }

private:
    void put(int index) {
        if (m_x < m_h.width) m_line[std::size_t(m_x++)] = std::uint8_t(index);
    }
    void absolute(int n, bool four) {
        const int bytes = four ? (n + 1) / 2 : n;
        const std::uint8_t* p = m_r.take(std::uint64_t(bytes + (bytes & 1)));
        for (int i = 0; i < n; ++i)
            put(four ? (i & 1 ? p[i / 2] & 15 : p[i / 2] >> 4) : p[i]);
    }
    void nextLine() {
        if (m_y >= m_h.height) return;
        const int row = m_h.topDown ? m_y : m_h.height - 1 - m_y;
        storeIndexRow(m_line.data(), m_h.width, m_target, m_bmp.mutableScanline(row));
        std::fill(m_line.begin(), m_line.end(), std::uint8_t(0));
        ++m_y;
        m_x = 0;
    }

    const DibHeader& m_h;
    ByteReader& m_r;
    IndexedTarget m_target;
    Bitmap m_bmp;
    std::vector<std::uint8_t> m_line;
    int m_x = 0, m_y = 0;
};

} // namespace

std::uint64_t dibStride(int width, int bits) {
    return (std::uint64_t(width) * bits + 31) / 32 * 4;
}

double dpiFromPixelsPerMetre(std::int32_t ppm) {
    if (ppm <= 0) return 72;
    const double dpi = ppm * 0.0254;
    // Whole-number resolutions are stored rounded to whole pixels per metre.
    const double whole = std::nearbyint(dpi);
    return std::abs(dpi - whole) < 0.05 ? whole : dpi;
}

std::int32_t pixelsPerMetreFromDpi(double dpi) {
    if (!(dpi > 0)) return 0;
    return std::int32_t(std::min(std::nearbyint(dpi / 0.0254), double(INT_MAX)));
}

DibHeader readDibHeader(ByteReader& r, bool icon) {
    DibHeader h;
    h.headerSize = r.u32le();
    if (h.headerSize != 12 && (h.headerSize < 16 || h.headerSize > 4096))
        r.damaged("unknown header size " + std::to_string(h.headerSize));
    // Later header versions only append fields: read the known part zero-filled.
    std::uint8_t f[124] = {};
    const std::uint8_t* raw = r.take(h.headerSize - 4);
    std::copy_n(raw, std::min<std::size_t>(h.headerSize - 4, sizeof f - 4), f + 4);
    std::int64_t width, height;
    std::uint32_t coloursUsed = 0;
    int entryBytes = 4;
    if (h.headerSize == 12) {
        width = le16(f + 4);
        height = std::int16_t(le16(f + 6));
        h.bitCount = le16(f + 10);
        entryBytes = 3;
    } else {
        width = std::int32_t(le32(f + 4));
        height = std::int32_t(le32(f + 8));
        h.bitCount = le16(f + 14);
        h.compression = le32(f + 16);
        h.dpiX = dpiFromPixelsPerMetre(std::int32_t(le32(f + 24)));
        h.dpiY = dpiFromPixelsPerMetre(std::int32_t(le32(f + 28)));
        coloursUsed = le32(f + 32);
    }
    if (!validDepth(h.bitCount)) r.damaged(std::to_string(h.bitCount) + " bits per pixel");
    if (h.headerSize == 64 && h.compression >= 3)
        throw Error(std::string(r.format()) + " OS/2 compression is not supported");
    checkCompression(r, h);
    h.topDown = height < 0;
    height = std::abs(height);
    if (icon) height /= 2;
    Plane::checkSize(width, height);
    h.width = int(width);
    h.height = int(height);
    readMasks(r, h, f);
    readPalette(r, h, coloursUsed, entryBytes);
    return h;
}

Bitmap decodeDibPixels(const DibHeader& h, ByteReader& r) {
    if (h.compression == kDibRle8 || h.compression == kDibRle4) {
        if (std::uint64_t(h.width) * h.height > r.remaining() * kMaxRlePixelsPerByte) r.truncated();
        return RleDecoder(h, r).run();
    }
    return decodeUncompressed(h, r);
}

void writeDibInfoHeader(ByteWriter& out, int width, int storedHeight, int bits,
    std::uint32_t compression, std::uint32_t imageBytes, double dpiX, double dpiY,
    std::uint32_t colours, std::uint32_t headerSize) {
    out.u32le(headerSize);
    out.u32le(std::uint32_t(width));
    out.u32le(std::uint32_t(storedHeight));
    out.u16le(1);
    out.u16le(unsigned(bits));
    out.u32le(compression);
    out.u32le(imageBytes);
    out.u32le(std::uint32_t(pixelsPerMetreFromDpi(dpiX)));
    out.u32le(std::uint32_t(pixelsPerMetreFromDpi(dpiY)));
    out.u32le(colours);
    out.u32le(0);
}

} // namespace ie::io
