#include "RawBitmap.h"

#include "../imaging/Error.h"
#include "BlockReader.h"
#include "ParallelDeflate.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace ie {

namespace {

constexpr char kMagic[12] = { 'T', 'I', 'E', 'B', 'I', 'T', 'M', 'A', 'P', 'R', 'A', 'W' };
constexpr std::int32_t kRawVersion = 0;
constexpr int kMaxPaletteSize = 256;
// Bytes of the header after the palette: width, height, format, full, palette used, black and
// white values, four channel offsets, offsets enabled, contrast, bit alignment.
constexpr std::size_t kHeaderTail = 4 + 4 + 1 + 1 + 4 + 8 + 8 + 16 + 1 + 4 + 4;
// Rows handed to one deflate chunk: about 1 MB, so both cores share even small layers.
constexpr std::size_t kChunkBytes = 1 << 20;

std::int64_t rowLength(std::int64_t width, int bitsPerPixel, int alignBits) {
    return (width * bitsPerPixel + alignBits - 1) / alignBits * (alignBits / 8);
}

void put(std::vector<std::uint8_t>& v, const void* p, std::size_t n) {
    const auto* b = static_cast<const std::uint8_t*>(p);
    v.insert(v.end(), b, b + n);
}
template <class T> void put(std::vector<std::uint8_t>& v, T value) {
    put(v, &value, sizeof value);
}

std::vector<std::uint8_t> headerBytes(const Bitmap& bmp) {
    std::vector<std::uint8_t> h;
    put(h, kMagic, sizeof kMagic);
    put<std::int32_t>(h, kRawVersion);
    const auto& pal = bmp.palette();
    const auto q = std::int32_t(std::min<std::size_t>(pal.size(), kMaxPaletteSize));
    put<std::int32_t>(h, q);
    for (int i = 0; i < q; ++i) { // entries stored blue, green, red like every colour here
        const std::uint8_t bgr[3] = { pal[i].b, pal[i].g, pal[i].r };
        put(h, bgr, 3);
    }
    put<std::int32_t>(h, bmp.width());
    put<std::int32_t>(h, bmp.height());
    put<std::uint8_t>(h, std::uint8_t(bmp.pixelFormat()));
    put<std::uint8_t>(h, 0); // full: only meaningful for alpha
    put<std::int32_t>(h, bmp.pixelFormat() == PixelFormat::Palette8 ? q : 0);
    put<double>(h, 0.0); // black and white values: unused by integer formats
    put<double>(h, 0.0);
    for (int i = 0; i < 4; ++i)
        put<std::int32_t>(h, 0); // channel offsets
    put<std::uint8_t>(h, 0);
    put<std::int32_t>(h, 0); // contrast
    put<std::int32_t>(h, kRawBitAlignment);
    return h;
}

// The raw bitmap as a sequence of chunks: header and colour rows, then alpha rows. Rows go out
// padded with zeros (never the stride's leftover bytes), so equal bitmaps give equal files.
class RawChunks {
public:
    explicit RawChunks(const Bitmap& bmp)
        : m_bmp(bmp)
        , m_header(headerBytes(bmp))
        , m_rowLen(std::size_t(
              rowLength(bmp.width(), bitsPerPixel(bmp.pixelFormat()), kRawBitAlignment)))
        , m_alphaLen(std::size_t(rowLength(bmp.width(), 8, kRawBitAlignment)))
        , m_hasAlpha(bmp.hasAlphaPlane())
        , m_colourRows(rowsPerChunk(m_rowLen))
        , m_alphaRows(rowsPerChunk(m_alphaLen))
        , m_colourChunks((bmp.height() + m_colourRows - 1) / m_colourRows)
        , m_alphaChunks(m_hasAlpha ? (bmp.height() + m_alphaRows - 1) / m_alphaRows : 0) { }

    int count() const { return m_colourChunks + m_alphaChunks; }

    template <class Sink> void feed(int chunk, const Sink& sink) const {
        const int h = m_bmp.height();
        if (chunk < m_colourChunks) {
            if (chunk == 0) sink(m_header.data(), m_header.size());
            const int y1 = std::min(h, (chunk + 1) * m_colourRows);
            for (int y = chunk * m_colourRows; y < y1; ++y)
                emitRow(sink, m_bmp.scanline(y), m_bmp.rowBytes(), m_rowLen, lastByteMask());
            if (chunk == m_colourChunks - 1) {
                const std::uint8_t hasAlpha = m_hasAlpha ? 1 : 0;
                sink(&hasAlpha, 1);
            }
            return;
        }
        const int a = chunk - m_colourChunks;
        const int y1 = std::min(h, (a + 1) * m_alphaRows);
        for (int y = a * m_alphaRows; y < y1; ++y)
            emitRow(sink, m_bmp.alphaLine(y), std::size_t(m_bmp.width()), m_alphaLen, 0xFF);
        if (a == m_alphaChunks - 1) {
            const std::uint8_t full = m_bmp.alphaIsOpaque() ? 1 : 0;
            sink(&full, 1);
        }
    }

    std::int64_t totalBytes() const {
        std::int64_t n
            = std::int64_t(m_header.size()) + std::int64_t(m_rowLen) * m_bmp.height() + 1;
        if (m_hasAlpha) n += std::int64_t(m_alphaLen) * m_bmp.height() + 1;
        return n;
    }

private:
    static int rowsPerChunk(std::size_t rowLen) {
        return int(std::max<std::size_t>(1, kChunkBytes / std::max<std::size_t>(rowLen, 1)));
    }
    // 1-bit rows: the bits past the last pixel are cleared.
    std::uint8_t lastByteMask() const {
        const int spare
            = int(m_bmp.rowBytes() * 8) - m_bmp.width() * bitsPerPixel(m_bmp.pixelFormat());
        return std::uint8_t(0xFF << spare);
    }
    template <class Sink>
    static void emitRow(const Sink& sink, const std::uint8_t* row, std::size_t bytes,
        std::size_t padded, std::uint8_t lastMask) {
        static const std::uint8_t zeros[32] = {};
        if (lastMask == 0xFF) {
            sink(row, bytes);
        } else {
            sink(row, bytes - 1);
            const std::uint8_t last = row[bytes - 1] & lastMask;
            sink(&last, 1);
        }
        if (padded > bytes) sink(zeros, padded - bytes);
    }

    const Bitmap& m_bmp;
    std::vector<std::uint8_t> m_header;
    std::size_t m_rowLen, m_alphaLen;
    bool m_hasAlpha;
    int m_colourRows, m_alphaRows;
    int m_colourChunks, m_alphaChunks;
};

} // namespace

void writeRawBitmap(StreamWriter& out, const Bitmap& bitmap, std::int32_t compression) {
    if (bitmap.isNull()) throw Error("An empty bitmap has no raw pixel block");
    if (compression != kRawZlib && compression != kRawStored)
        throw Error("Unknown raw pixel compression " + std::to_string(compression));
    const RawChunks chunks(bitmap);
    const std::int64_t countAt = out.position();
    out.i32(0); // the byte count, known once written
    std::int64_t written = 0;
    if (compression == kRawZlib) {
        written = writeZlibStream(
            out, chunks.count(), [&](int chunk, const auto& sink) { chunks.feed(chunk, sink); });
    } else {
        if (chunks.totalBytes() > std::numeric_limits<std::int32_t>::max())
            throw Error("The layer is too large to be saved without compression");
        for (int c = 0; c < chunks.count(); ++c)
            chunks.feed(c, [&](const std::uint8_t* p, std::size_t n) { out.bytes(p, n); });
        written = chunks.totalBytes();
    }
    if (written > std::numeric_limits<std::int32_t>::max())
        throw Error("The layer is too large to be saved in a project file");
    out.patchI32(countAt, std::int32_t(written));
}

RawBitmapBlock locateRawBitmap(StreamReader& in, std::int32_t compression) {
    const std::int32_t m = in.i32();
    if (m < 0) in.fail("negative length of the pixel data");
    in.need(m, "the pixel data");
    RawBitmapBlock block { in.position(), m, compression == kRawZlib };
    in.skip(m);
    return block;
}

namespace {

template <class T> T take(const std::uint8_t*& p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    p += sizeof v;
    return v;
}

[[noreturn]] void damaged(const ByteSource& source, const std::string& problem) {
    throw Error("The project file \"" + source.name() + "\" is damaged: " + problem);
}

// Reads `rows` rows of `rowLen` bytes each into a plane's rows: straight into the row when the
// padding fits in the stride, else the padding is dropped.
template <class RowPtr>
void readRows(BlockReader& r, int rows, std::size_t rowBytes, std::size_t rowLen,
    std::size_t stride, const RowPtr& rowPtr) {
    for (int y = 0; y < rows; ++y) {
        if (rowLen <= stride) {
            r.read(rowPtr(y), rowLen);
        } else {
            r.read(rowPtr(y), rowBytes);
            r.skip(rowLen - rowBytes);
        }
    }
}

} // namespace

Bitmap decodeRawBitmap(
    const ByteSource& source, const RawBitmapBlock& block, MemoryBudget& budget) {
    auto r = BlockReader::open(source, block.offset, block.length, block.compressed);
    std::uint8_t head[20];
    r->read(head, sizeof head);
    if (std::memcmp(head, kMagic, sizeof kMagic) != 0)
        damaged(source, "a layer's pixel block has a wrong signature");
    const std::uint8_t* p = head + sizeof kMagic;
    if (take<std::int32_t>(p) != kRawVersion)
        damaged(source, "a layer's pixel block has an unknown version");
    const auto q = take<std::int32_t>(p);
    if (q < 0 || q > kMaxPaletteSize) damaged(source, "a layer's palette size is out of range");
    std::vector<Rgb> palette(static_cast<std::size_t>(q));
    for (auto& c : palette) {
        std::uint8_t bgr[3];
        r->read(bgr, 3);
        c = { bgr[2], bgr[1], bgr[0] };
    }
    std::uint8_t tail[kHeaderTail];
    r->read(tail, sizeof tail);
    p = tail;
    const auto width = take<std::int32_t>(p);
    const auto height = take<std::int32_t>(p);
    const auto format = take<std::uint8_t>(p);
    p += 1 + 4 + 8 + 8 + 16 + 1 + 4; // full, palette used, black/white, offsets, contrast: unused
    const auto align = take<std::int32_t>(p);
    Plane::checkSize(width, height);
    if (!isValidPixelFormat(format)) damaged(source, "a layer has an unknown pixel format");
    if (align < 8 || align > 4096 || align % 8 != 0)
        damaged(source, "a layer's row alignment is invalid");
    const auto fmt = static_cast<PixelFormat>(format);
    const std::int64_t rowLen = rowLength(width, bitsPerPixel(fmt), align);
    if (rowLen * height > r->maxBytes())
        damaged(source, "a layer claims more pixels than its data holds");
    budget.take(rowLen * height, "layer pixels");

    Bitmap bmp(width, height, fmt);
    if (!palette.empty()) bmp.setPalette(std::move(palette));
    readRows(*r, height, bmp.rowBytes(), std::size_t(rowLen), bmp.colorPlane().stride(),
        [&](int y) { return bmp.mutableScanline(y); });
    std::uint8_t hasAlpha = 0;
    r->read(&hasAlpha, 1);
    if (hasAlpha) {
        if (fmt == PixelFormat::Rgba32) damaged(source, "an RGBA layer has a second alpha channel");
        const std::int64_t alphaLen = rowLength(width, 8, align);
        if (alphaLen * height > r->maxBytes())
            damaged(source, "a layer claims more alpha than its data holds");
        budget.take(alphaLen * height, "layer transparency");
        bmp.addAlphaPlane(255);
        readRows(*r, height, std::size_t(width), std::size_t(alphaLen), bmp.alphaPlane().stride(),
            [&](int y) { return bmp.mutableAlphaLine(y); });
        std::uint8_t full = 0;
        r->read(&full, 1);
    }
    r->finish();
    return bmp;
}

} // namespace ie
