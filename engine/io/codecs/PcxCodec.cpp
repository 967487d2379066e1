#include "../../imaging/Convert.h"
#include "../ImageIO.h"
#include "ByteReader.h"
#include "ByteWriter.h"
#include "Codecs.h"
#include "FileBytes.h"
#include "RowCodecs.h"

#include <algorithm>
#include <cstring>

namespace ie::io {

namespace {

constexpr std::uint32_t kDcxMagic = 0x3ADE68B1;
constexpr int kDcxMaxPages = 1023;
constexpr std::size_t kHeaderBytes = 128;
constexpr std::uint8_t kPaletteMarker = 0x0C;

struct PcxHeader {
    int version = 0;
    bool rle = true;
    int bits = 0; ///< per pixel in one plane
    int planes = 0;
    int bytesPerLine = 0;
    int width = 0, height = 0;
    int dpiX = 0, dpiY = 0;
    std::vector<Rgb> headerPalette; ///< the 16 entries of the header
};

bool supportedLayout(int bits, int planes) {
    return (bits == 1 && planes >= 1 && planes <= 4) || ((bits == 2 || bits == 4) && planes == 1)
        || (bits == 8 && (planes == 1 || planes == 3 || planes == 4));
}

// What version 3 files (written "without palette") mean: the standard 16 EGA colours.
std::vector<Rgb> egaPalette() {
    static const std::uint8_t v[16][3] = { { 0, 0, 0 }, { 0, 0, 170 }, { 0, 170, 0 },
        { 0, 170, 170 }, { 170, 0, 0 }, { 170, 0, 170 }, { 170, 85, 0 }, { 170, 170, 170 },
        { 85, 85, 85 }, { 85, 85, 255 }, { 85, 255, 85 }, { 85, 255, 255 }, { 255, 85, 85 },
        { 255, 85, 255 }, { 255, 255, 85 }, { 255, 255, 255 } };
    std::vector<Rgb> pal;
    for (const auto& c : v)
        pal.push_back({ c[0], c[1], c[2] });
    return pal;
}

PcxHeader readHeader(ByteReader& r) {
    const std::uint8_t* p = r.take(kHeaderBytes);
    if (p[0] != 0x0A) throw Error("Not a PCX file");
    auto u16 = [&](int at) { return int(p[at] | p[at + 1] << 8); };
    PcxHeader h;
    h.version = p[1];
    if (p[2] > 1) r.damaged("unknown encoding " + std::to_string(p[2]));
    h.rle = p[2] == 1;
    h.bits = p[3];
    h.planes = p[65];
    h.bytesPerLine = u16(66);
    if (!supportedLayout(h.bits, h.planes))
        r.damaged(std::to_string(h.planes) + " planes of " + std::to_string(h.bits) + " bits");
    const int x0 = u16(4), y0 = u16(6), x1 = u16(8), y1 = u16(10);
    if (x1 < x0 || y1 < y0) r.damaged("negative image size");
    Plane::checkSize(x1 - x0 + 1, y1 - y0 + 1);
    h.width = x1 - x0 + 1;
    h.height = y1 - y0 + 1;
    if (std::int64_t(h.bytesPerLine) * 8 < std::int64_t(h.width) * h.bits)
        r.damaged("lines shorter than the image width");
    h.dpiX = u16(12);
    h.dpiY = u16(14);
    if (h.version == 3) {
        h.headerPalette = egaPalette();
    } else {
        for (int i = 0; i < 16; ++i)
            h.headerPalette.push_back({ p[16 + 3 * i], p[17 + 3 * i], p[18 + 3 * i] });
    }
    return h;
}

/// The encoded scan lines, decoded one at a time (runs may cross lines).
class LineReader {
public:
    LineReader(ByteReader& r, bool rle)
        : m_r(r)
        , m_rle(rle) { }

    void read(std::uint8_t* dst, std::size_t n) {
        if (!m_rle) {
            std::memcpy(dst, m_r.take(n), n);
            return;
        }
        std::size_t i = 0;
        while (i < n) {
            if (m_left == 0) {
                const std::uint8_t b = m_r.u8();
                if ((b & 0xC0) != 0xC0) {
                    dst[i++] = b;
                    continue;
                }
                m_left = b & 0x3F;
                m_value = m_r.u8();
            }
            const std::size_t k = std::min<std::size_t>(m_left, n - i);
            std::memset(dst + i, m_value, k);
            i += k;
            m_left -= int(k);
        }
    }

private:
    ByteReader& m_r;
    bool m_rle;
    int m_left = 0;
    std::uint8_t m_value = 0;
};

std::vector<Rgb> paletteOf(std::span<const std::uint8_t> page, const PcxHeader& h) {
    if (h.bits == 8 && h.planes == 1) {
        const std::size_t n = page.size();
        if (n >= kHeaderBytes + 769 && page[n - 769] == kPaletteMarker) {
            std::vector<Rgb> pal(256);
            for (int i = 0; i < 256; ++i) {
                const std::uint8_t* c = &page[n - 768 + 3 * i];
                pal[std::size_t(i)] = { c[0], c[1], c[2] };
            }
            return pal;
        }
        return greyPalette(); // 8-bit files without a palette are grey
    }
    if (h.bits * h.planes > 4) return {}; // RGB
    std::vector<Rgb> pal = h.headerPalette;
    pal.resize(std::size_t(1) << (h.bits * h.planes));
    return pal;
}

void storeRgb(const std::uint8_t* line, const PcxHeader& h, Bitmap& bmp, int y, bool& anyAlpha) {
    std::uint8_t* dst = bmp.mutableScanline(y);
    const std::size_t bpl = std::size_t(h.bytesPerLine);
    for (int x = 0; x < h.width; ++x)
        for (int c = 0; c < 3; ++c)
            dst[3 * x + c] = line[c * bpl + std::size_t(x)];
    if (h.planes == 4) {
        std::uint8_t* a = bmp.mutableAlphaLine(y);
        std::memcpy(a, line + 3 * bpl, std::size_t(h.width));
        anyAlpha = anyAlpha || std::any_of(a, a + h.width, [](std::uint8_t v) { return v; });
    }
}

void planarIndices(const std::uint8_t* line, const PcxHeader& h, std::uint8_t* idx) {
    for (int x = 0; x < h.width; ++x) {
        int v = 0;
        for (int p = 0; p < h.planes; ++p)
            v |= (line[p * h.bytesPerLine + (x >> 3)] >> (7 - (x & 7)) & 1) << p;
        idx[x] = std::uint8_t(v);
    }
}

Bitmap decodePage(std::span<const std::uint8_t> page) {
    ByteReader r(page, "PCX");
    const PcxHeader h = readHeader(r);
    const std::size_t lineBytes = std::size_t(h.planes) * std::size_t(h.bytesPerLine);
    const std::uint64_t total = lineBytes * std::uint64_t(h.height);
    // A run takes two bytes for at most 63 decoded ones.
    if (total > (h.rle ? std::uint64_t(r.remaining()) * 32 : r.remaining())) r.truncated();
    const std::vector<Rgb> palette = paletteOf(page, h);
    const bool rgb = h.bits == 8 && h.planes >= 3;
    const bool mono = h.bits == 1 && h.planes == 1;
    const IndexedTarget target = indexedTarget(palette);
    Bitmap bmp = rgb ? Bitmap(h.width, h.height, PixelFormat::Rgb24)
        : mono       ? Bitmap(h.width, h.height, PixelFormat::Bw1)
                     : makeIndexedBitmap(h.width, h.height, target, palette);
    if (h.planes == 4 && rgb) bmp.addAlphaPlane();
    bool anyAlpha = false;
    LineReader lines(r, h.rle);
    std::vector<std::uint8_t> line(lineBytes), idx(std::size_t(h.width));
    for (int y = 0; y < h.height; ++y) {
        lines.read(line.data(), lineBytes);
        if (rgb) {
            storeRgb(line.data(), h, bmp, y, anyAlpha);
        } else if (mono) {
            std::memcpy(bmp.mutableScanline(y), line.data(), bmp.rowBytes());
        } else {
            if (h.planes > 1)
                planarIndices(line.data(), h, idx.data());
            else
                unpackIndices(line.data(), h.bits, h.width, idx.data());
            storeIndexRow(idx.data(), h.width, target, bmp.mutableScanline(y));
        }
    }
    if (bmp.hasAlphaPlane() && !anyAlpha) bmp.removeAlphaPlane();
    if (h.dpiX > 0 && h.dpiY > 0) bmp.setDpi(h.dpiX, h.dpiY);
    return bmp;
}

bool isDcx(std::span<const std::uint8_t> data) {
    return data.size() >= 4
        && (std::uint32_t(data[0]) | std::uint32_t(data[1]) << 8 | std::uint32_t(data[2]) << 16
               | std::uint32_t(data[3]) << 24)
        == kDcxMagic;
}

/// The page offsets of a DCX file's table (whatever of it `data` holds).
std::vector<std::uint32_t> dcxOffsets(std::span<const std::uint8_t> data) {
    ByteReader r(data, "DCX");
    r.skip(4);
    std::vector<std::uint32_t> offsets;
    while (offsets.size() < kDcxMaxPages && r.remaining() >= 4) {
        const std::uint32_t off = r.u32le();
        if (off == 0) break;
        offsets.push_back(off);
    }
    return offsets;
}

std::span<const std::uint8_t> dcxPage(std::span<const std::uint8_t> data, int index) {
    const std::vector<std::uint32_t> offsets = dcxOffsets(data);
    if (index < 0 || index >= int(offsets.size()))
        throw Error("DCX file has no page " + std::to_string(index + 1));
    const std::uint32_t start = offsets[std::size_t(index)];
    if (start >= data.size()) throw Error("DCX file is truncated");
    // A page ends where the next one in the file begins.
    std::size_t end = data.size();
    for (std::uint32_t off : offsets)
        if (off > start && off < end) end = off;
    return data.subspan(start, end - start);
}

// ---- writing

struct PcxLayout {
    int bits = 8, planes = 1;
    int paletteInfo = 1; ///< 1 colour, 2 grey
    std::vector<Rgb> palette; ///< the 256-colour palette after the image (8-bit, 1 plane)
};

void writeHeader(ByteWriter& out, const Bitmap& src, const PcxLayout& layout, int bytesPerLine,
    const FormatParams& params) {
    out.u8(0x0A);
    out.u8(5);
    out.u8(1);
    out.u8(unsigned(layout.bits));
    out.u16le(0);
    out.u16le(0);
    out.u16le(unsigned(src.width() - 1));
    out.u16le(unsigned(src.height() - 1));
    auto dpi = [](double v) { return unsigned(std::clamp(v, 0.0, 65535.0) + 0.5); };
    out.u16le(dpi(params.dpiX > 0 ? params.dpiX : src.dpiX()));
    out.u16le(dpi(params.dpiY > 0 ? params.dpiY : src.dpiY()));
    out.fill(3, 0); // header palette: black, then white for 1-bit images
    out.fill(3, layout.bits == 1 ? 255 : 0);
    out.fill(42, 0);
    out.u8(0);
    out.u8(unsigned(layout.planes));
    out.u16le(unsigned(bytesPerLine));
    out.u16le(unsigned(layout.paletteInfo));
    out.fill(58, 0);
}

/// One plane's line: runs of up to 63 bytes; a lone byte with both top bits set needs a run.
void encodePlane(const std::uint8_t* p, int n, ByteWriter& out) {
    int i = 0;
    while (i < n) {
        int run = 1;
        while (i + run < n && run < 63 && p[i + run] == p[i])
            ++run;
        if (run > 1 || (p[i] & 0xC0) == 0xC0) out.u8(0xC0u | unsigned(run));
        out.u8(p[i]);
        i += run;
    }
}

void fillLine(const Bitmap& src, const PcxLayout& layout, int bpl, int y, std::uint8_t* line,
    std::vector<std::uint8_t>& scratch) {
    std::memset(line, 0, std::size_t(bpl) * layout.planes);
    if (layout.planes == 1) {
        std::memcpy(line, src.scanline(y), src.rowBytes());
        return;
    }
    const std::uint8_t* rgb = rgbRow(src, y, scratch);
    for (int x = 0; x < src.width(); ++x)
        for (int c = 0; c < 3; ++c)
            line[c * bpl + x] = rgb[3 * x + c];
}

void writePcx(
    FileSink& out, const Bitmap& src, const PcxLayout& layout, const FormatParams& params) {
    if (src.width() > 65536 || src.height() > 65536)
        throw Error("PCX images can be at most 65536 pixels a side");
    const int bpl = int((std::int64_t(src.width()) * layout.bits + 15) / 16 * 2);
    ByteWriter head;
    writeHeader(head, src, layout, bpl, params);
    out.write(head);
    writeEncodedRows(out, src.height(), [&](int y, ByteWriter& w) {
        thread_local std::vector<std::uint8_t> line, scratch;
        line.resize(std::size_t(bpl) * layout.planes);
        fillLine(src, layout, bpl, y, line.data(), scratch);
        for (int p = 0; p < layout.planes; ++p)
            encodePlane(line.data() + std::size_t(p) * bpl, bpl, w);
    });
    if (!layout.palette.empty()) {
        ByteWriter pal;
        pal.u8(kPaletteMarker);
        for (int i = 0; i < 256; ++i) {
            const Rgb c = i < int(layout.palette.size()) ? layout.palette[std::size_t(i)] : Rgb {};
            pal.u8(c.r);
            pal.u8(c.g);
            pal.u8(c.b);
        }
        out.write(pal);
    }
}

/// The bitmap in a form PCX holds, with its layout. Alpha is dropped: PCX has none.
Bitmap writable(const Bitmap& bitmap, PcxLayout& layout) {
    switch (bitmap.pixelFormat()) {
    case PixelFormat::Bw1:
        layout.bits = 1;
        return bitmap;
    case PixelFormat::Palette8:
        layout.palette = bitmap.palette();
        if (layout.palette.empty()) layout.palette.push_back({});
        return bitmap;
    case PixelFormat::Gray8:
    case PixelFormat::Gray16:
        layout.palette = greyPalette();
        layout.paletteInfo = 2;
        return convertTo(bitmap, PixelFormat::Gray8);
    case PixelFormat::Rgb24:
    case PixelFormat::Rgba32:
        layout.planes = 3;
        return bitmap;
    default:
        layout.planes = 3;
        return convertTo(bitmap, PixelFormat::Rgb24);
    }
}

class PcxCodec final : public Codec {
public:
    std::string name() const override { return "PCX"; }
    std::vector<std::string> extensions() const override { return { ".pcx", ".dcx" }; }

    bool matches(std::span<const std::uint8_t> head) const override {
        if (isDcx(head)) return true;
        if (head.size() < 4 || head[0] != 0x0A) return false;
        const int v = head[1], enc = head[2], bits = head[3];
        return (v == 0 || (v >= 2 && v <= 5)) && enc <= 1
            && (bits == 1 || bits == 2 || bits == 4 || bits == 8);
    }

    DecodedImage read(const std::string& path, const ReadOptions& options) const override {
        const FileBytes file(path);
        const std::span<const std::uint8_t> data = file;
        DecodedImage out;
        if (isDcx(data))
            out.bitmap = decodePage(dcxPage(data, options.pageIndex));
        else
            out.bitmap = decodePage(data);
        return out;
    }

    int pageCount(const std::string& path) const override {
        const std::vector<std::uint8_t> head = readFileHead(path, 4 + 4 * (kDcxMaxPages + 1));
        return isDcx(head) ? std::max<int>(1, int(dcxOffsets(head).size())) : 1;
    }

    void write(const std::string& path, const Bitmap& bitmap, const FormatParams& params,
        const Metadata&) const override {
        PcxLayout layout;
        const Bitmap src = writable(bitmap, layout);
        FileSink out(path);
        if (extensionOf(path) == ".dcx") {
            // One page; the table has room for the most pages and ends with a zero.
            ByteWriter table;
            table.u32le(kDcxMagic);
            table.u32le(4 + 4 * (kDcxMaxPages + 1));
            table.fill(4 * kDcxMaxPages, 0);
            out.write(table);
        }
        writePcx(out, src, layout, params);
        out.close();
    }
};

} // namespace

std::shared_ptr<const Codec> makePcxCodec() {
    return std::make_shared<PcxCodec>();
}

} // namespace ie::io
