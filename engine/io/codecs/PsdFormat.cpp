#include "PsdFormat.h"

#include "../../imaging/Convert.h"
#include "../../imaging/Parallel.h"
#include "../ImageIO.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace ie::io::psd {

constexpr std::uint64_t kMaxPackBitsRatio = 64;

// ---- PackBits

/// Decodes one row of `n` bytes; throws when the row's data doesn't make exactly that.
void unpackBits(ByteReader r, std::uint8_t* dst, std::size_t n) {
    std::size_t i = 0;
    while (i < n) {
        const int h = std::int8_t(r.u8());
        if (h >= 0) {
            const std::size_t k = std::size_t(h) + 1;
            if (k > n - i) r.damaged("a compressed row is too long");
            std::memcpy(dst + i, r.take(k), k);
            i += k;
        } else if (h != -128) {
            const std::size_t k = std::size_t(1 - h);
            if (k > n - i) r.damaged("a compressed row is too long");
            std::memset(dst + i, r.u8(), k);
            i += k;
        }
    }
}

void packBits(const std::uint8_t* p, int n, ByteWriter& out) {
    int i = 0;
    while (i < n) {
        int run = 1;
        while (i + run < n && run < 128 && p[i + run] == p[i])
            ++run;
        if (run >= 2) {
            out.u8(unsigned(257 - run));
            out.u8(p[i]);
            i += run;
            continue;
        }
        int j = i + 1;
        while (j < n && j - i < 128 && !(j + 1 < n && p[j] == p[j + 1]))
            ++j;
        out.u8(unsigned(j - i - 1));
        out.bytes(p + i, std::size_t(j - i));
        i = j;
    }
}

// ---- reading

static void readFileHeader(ByteReader& r, PsdHeader& h) {
    const std::uint8_t* sig = r.take(4);
    if (std::memcmp(sig, "8BPS", 4) != 0) throw Error("Not a PSD file");
    const int version = r.u16be();
    if (version != 1 && version != 2) r.damaged("unknown version " + std::to_string(version));
    h.psb = version == 2;
    r.skip(6);
    h.channels = r.u16be();
    const std::uint32_t height = r.u32be(), width = r.u32be();
    h.depth = r.u16be();
    h.mode = r.u16be();
    if (h.channels < 1 || h.channels > 56) r.damaged(std::to_string(h.channels) + " channels");
    const std::uint32_t maxSide = h.psb ? kMaxPsbSide : kMaxPsdSide;
    if (width > maxSide || height > maxSide) r.damaged("image too large for the format");
    Plane::checkSize(width, height);
    h.width = int(width);
    h.height = int(height);
    if (h.mode == kLabMode) throw Error("Lab colour PSD files are not supported");
    if (h.depth == 32) throw Error("32-bit PSD files are not supported");
    const bool known = h.mode == kBitmapMode || h.mode == kGreyMode || h.mode == kIndexedMode
        || h.mode == kRgbMode || h.mode == kCmykMode || h.mode == kMultichannelMode
        || h.mode == kDuotoneMode;
    if (!known) r.damaged("unknown colour mode " + std::to_string(h.mode));
    const bool depthOk = h.mode == kBitmapMode ? h.depth == 1
        : h.mode == kIndexedMode               ? h.depth == 8
                                               : h.depth == 8 || h.depth == 16;
    if (!depthOk) r.damaged(std::to_string(h.depth) + " bits per channel in this colour mode");
    if (h.channels < h.colorChannels()) r.damaged("too few channels for the colour mode");
}

static void readColorModeData(ByteReader& r, PsdHeader& h) {
    const std::uint32_t n = r.u32be();
    ByteReader data = r.sub(r.pos(), n);
    r.skip(n);
    if (h.mode != kIndexedMode) return;
    if (n < 768) r.damaged("indexed colour image without a colour table");
    const std::uint8_t* p = data.take(768);
    h.palette.resize(256);
    for (int i = 0; i < 256; ++i)
        h.palette[std::size_t(i)] = { p[i], p[256 + i], p[512 + i] };
}

static void readResolution(ByteReader d, PsdHeader& h) {
    const std::uint32_t x = d.u32be();
    d.skip(4);
    const std::uint32_t y = d.u32be();
    // 16.16 fixed point, pixels per inch whatever unit is shown.
    if (x) h.dpiX = x / 65536.0;
    if (y) h.dpiY = y / 65536.0;
}

static void readImageResources(ByteReader& r, PsdHeader& h) {
    const std::uint32_t n = r.u32be();
    ByteReader s = r.sub(r.pos(), n);
    r.skip(n);
    while (s.remaining() >= 12) {
        s.skip(4); // signature
        const std::uint16_t id = s.u16be();
        const int nameLength = s.u8();
        s.skip(std::uint64_t(((nameLength + 2) & ~1) - 1)); // padded to even with its length byte
        const std::uint32_t size = s.u32be();
        ByteReader d = s.sub(s.pos(), size);
        s.skip(size + (size & 1));
        if (id == kResolutionInfo && size >= 16) {
            readResolution(d, h);
        } else if (id == kAlphaNames || id == kUnicodeAlphaNames) {
            h.namedChannels = true;
        } else if (id == kIndexedColorCount && size >= 2 && !h.palette.empty()) {
            const int count = d.u16be();
            if (count >= 1 && count <= 256) h.palette.resize(std::size_t(count));
        }
    }
}

void readLayerAndMaskSection(ByteReader& r, PsdHeader& h) {
    const std::uint64_t n = h.psb ? r.u64be() : r.u32be();
    ByteReader s = r.sub(r.pos(), n);
    r.skip(n);
    if (s.remaining() < (h.psb ? 10u : 6u)) return;
    const std::uint64_t layerInfo = h.psb ? s.u64be() : s.u32be();
    if (layerInfo >= 2) h.layerCount = s.i16be();
}

/// Where each channel row of the image data section is.
struct ChannelRows {
    int compression = kRaw;
    std::vector<std::uint64_t> offsets; ///< channel-major: channel c, row y at c * height + y
    std::vector<std::uint32_t> sizes;
};

static ChannelRows locateRows(ByteReader& r, const PsdHeader& h, int usedChannels) {
    ChannelRows rows;
    rows.compression = r.u16be();
    const std::uint64_t count = std::uint64_t(h.channels) * h.height;
    const std::uint64_t rowBytes = h.rowBytes();
    if (rows.compression == kRaw) {
        if (count * rowBytes > r.remaining()) r.truncated();
        rows.offsets.resize(count);
        rows.sizes.assign(count, std::uint32_t(rowBytes));
        for (std::uint64_t i = 0; i < count; ++i)
            rows.offsets[i] = r.pos() + i * rowBytes;
        return rows;
    }
    if (rows.compression != kPackBits)
        throw Error("PSD files with ZIP-compressed image data are not supported");
    const int sizeBytes = h.psb ? 4 : 2;
    if (count * sizeBytes > r.remaining()) r.truncated();
    rows.sizes.resize(count);
    for (auto& s : rows.sizes)
        s = h.psb ? r.u32be() : r.u16be();
    rows.offsets.resize(count);
    std::uint64_t at = r.pos(), used = 0;
    for (std::uint64_t i = 0; i < count; ++i) {
        rows.offsets[i] = at;
        at += rows.sizes[i];
        if (i < std::uint64_t(usedChannels) * h.height) used += rows.sizes[i];
    }
    if (at > r.size()) r.truncated();
    // Checked before the image is allocated: a lying header can't make a giant one.
    if (rowBytes * usedChannels * h.height > used * kMaxPackBitsRatio) r.truncated();
    return rows;
}

static PixelFormat formatOf(const PsdHeader& h) {
    switch (h.mode) {
    case kBitmapMode:
        return PixelFormat::Bw1;
    case kIndexedMode:
        return h.indexed.format;
    case kRgbMode:
        return h.depth == 16 ? PixelFormat::Rgb48 : PixelFormat::Rgb24;
    case kCmykMode:
        return PixelFormat::Cmyk32;
    default:
        return h.depth == 16 ? PixelFormat::Gray16 : PixelFormat::Gray8;
    }
}

/// Puts one decoded channel row (file order: big-endian, inverted ink) into the bitmap.
static void storeChannel(const PsdHeader& h, const std::uint8_t* src, int c, Bitmap& bmp, int y) {
    const int w = h.width;
    const bool alpha = c == h.colorChannels();
    if (alpha) {
        std::uint8_t* a = bmp.mutableAlphaLine(y);
        for (int x = 0; x < w; ++x)
            a[x] = h.depth == 16 ? std::uint8_t(((src[2 * x] << 8 | src[2 * x + 1]) + 128) / 257)
                                 : src[x];
        return;
    }
    std::uint8_t* dst = bmp.mutableScanline(y);
    const int n = h.colorChannels();
    if (h.mode == kBitmapMode) { // 1 is black
        for (std::size_t i = 0; i < bmp.rowBytes(); ++i)
            dst[i] = std::uint8_t(~src[i]);
    } else if (h.mode == kIndexedMode) {
        storeIndexRow(src, w, h.indexed, dst);
    } else if (h.mode == kCmykMode) { // 0 is full ink
        for (int x = 0; x < w; ++x)
            dst[x * 4 + c] = h.depth == 16
                ? std::uint8_t((65535 - (src[2 * x] << 8 | src[2 * x + 1]) + 128) / 257)
                : std::uint8_t(255 - src[x]);
    } else if (h.depth == 16) {
        auto* out = reinterpret_cast<std::uint16_t*>(dst);
        for (int x = 0; x < w; ++x)
            out[x * n + c] = std::uint16_t(src[2 * x] << 8 | src[2 * x + 1]);
    } else if (n == 1) {
        std::memcpy(dst, src, std::size_t(w));
    } else {
        for (int x = 0; x < w; ++x)
            dst[x * n + c] = src[x];
    }
}

Bitmap decodeComposite(std::span<const std::uint8_t> data, ByteReader& r, const PsdHeader& h) {
    const int used = h.colorChannels() + (h.alpha() ? 1 : 0);
    const ChannelRows rows = locateRows(r, h, used);
    Bitmap bmp(h.width, h.height, formatOf(h));
    if (h.mode == kIndexedMode && bmp.pixelFormat() == PixelFormat::Palette8)
        bmp.setPalette(h.palette);
    if (h.alpha()) bmp.addAlphaPlane();
    const std::size_t rowBytes = h.rowBytes();
    parallelFor(0, h.height, [&](int y0, int y1) {
        std::vector<std::uint8_t> row(rowBytes);
        for (int y = y0; y < y1; ++y)
            for (int c = 0; c < used; ++c) {
                const std::size_t i = std::size_t(c) * h.height + y;
                const ByteReader part(data.subspan(rows.offsets[i], rows.sizes[i]), "PSD");
                if (rows.compression == kPackBits) {
                    unpackBits(part, row.data(), rowBytes);
                    storeChannel(h, row.data(), c, bmp, y);
                } else {
                    storeChannel(h, data.data() + rows.offsets[i], c, bmp, y);
                }
            }
    });
    bmp.setDpi(h.dpiX, h.dpiY);
    return bmp;
}

// ---- writing

/// The bitmap in a form PSD holds, with its layout.
static Bitmap writable(const Bitmap& bitmap, PsdLayout& l) {
    const PixelFormat f = bitmap.pixelFormat();
    Bitmap src = bitmap;
    if ((f == PixelFormat::Bw1 || f == PixelFormat::Palette8) && bitmap.hasAlpha())
        src = convertTo(bitmap, f == PixelFormat::Bw1 ? PixelFormat::Gray8 : PixelFormat::Rgb24);
    switch (src.pixelFormat()) {
    case PixelFormat::Bw1:
        l.mode = kBitmapMode;
        l.depth = 1;
        break;
    case PixelFormat::Palette8:
        l.mode = kIndexedMode;
        break;
    case PixelFormat::Gray8:
    case PixelFormat::Gray16:
        l.mode = kGreyMode;
        l.depth = bitsPerSample(src.pixelFormat());
        break;
    case PixelFormat::Cmyk32:
        l.mode = kCmykMode;
        break;
    case PixelFormat::Rgb24:
    case PixelFormat::Rgba32:
    case PixelFormat::Rgb48:
        l.depth = bitsPerSample(src.pixelFormat());
        break;
    default:
        src = convertTo(src, PixelFormat::Rgb24);
    }
    l.colorChannels = channelCount(src.pixelFormat());
    l.alpha = src.hasAlpha();
    return src;
}

/// Channel `c` of row `y` in file order (big-endian, 1-bit black, inverted ink).
static void channelRow(const Bitmap& src, const PsdLayout& l, int c, int y, std::uint8_t* dst) {
    const int w = src.width();
    const std::uint8_t* row = src.scanline(y);
    const bool rgba = src.pixelFormat() == PixelFormat::Rgba32;
    if (c == l.colorChannels) { // alpha
        const std::uint8_t* a = rgba ? nullptr : src.alphaLine(y);
        for (int x = 0; x < w; ++x) {
            const std::uint8_t v = rgba ? row[4 * x + 3] : a[x];
            if (l.depth == 16) {
                *dst++ = v; // v * 257, big-endian
                *dst++ = v;
            } else {
                *dst++ = v;
            }
        }
        return;
    }
    if (l.mode == kBitmapMode) {
        for (std::size_t i = 0; i < src.rowBytes(); ++i)
            dst[i] = std::uint8_t(~row[i]);
        return;
    }
    const int step = rgba ? 4 : l.colorChannels;
    if (l.depth == 16) {
        const auto* in = reinterpret_cast<const std::uint16_t*>(row);
        for (int x = 0; x < w; ++x) {
            const std::uint16_t v = in[x * step + c];
            *dst++ = std::uint8_t(v >> 8);
            *dst++ = std::uint8_t(v);
        }
        return;
    }
    const bool ink = l.mode == kCmykMode;
    for (int x = 0; x < w; ++x)
        dst[x] = ink ? std::uint8_t(255 - row[x * step + c]) : row[x * step + c];
}

static void writeFileHeader(ByteWriter& out, const Bitmap& src, const PsdLayout& l) {
    out.text("8BPS");
    out.u16be(l.psb ? 2 : 1);
    out.fill(6, 0);
    out.u16be(unsigned(l.colorChannels + (l.alpha ? 1 : 0)));
    out.u32be(std::uint32_t(src.height()));
    out.u32be(std::uint32_t(src.width()));
    out.u16be(unsigned(l.depth));
    out.u16be(unsigned(l.mode));
}

static void writeColorModeData(ByteWriter& out, const Bitmap& src, const PsdLayout& l) {
    if (l.mode != kIndexedMode) {
        out.u32be(0);
        return;
    }
    std::vector<Rgb> pal = src.palette();
    pal.resize(256);
    out.u32be(768);
    for (const Rgb& c : pal)
        out.u8(c.r);
    for (const Rgb& c : pal)
        out.u8(c.g);
    for (const Rgb& c : pal)
        out.u8(c.b);
}

static void writeResource(ByteWriter& out, std::uint16_t id, const ByteWriter& data) {
    out.text("8BIM");
    out.u16be(id);
    out.u16be(0); // empty name, padded to even
    out.u32be(std::uint32_t(data.size()));
    out.bytes(data.data().data(), data.size());
    if (data.size() & 1) out.u8(0);
}

static void writeImageResources(
    ByteWriter& out, const Bitmap& src, const PsdLayout& l, const FormatParams& params) {
    ByteWriter blocks;
    ByteWriter res;
    auto fixed = [](double dpi) {
        return std::uint32_t(std::nearbyint(std::clamp(dpi, 1.0, 30000.0) * 65536));
    };
    res.u32be(fixed(params.dpiX > 0 ? params.dpiX : src.dpiX()));
    res.u16be(1); // shown as pixels per inch
    res.u16be(1); // widths in inches
    res.u32be(fixed(params.dpiY > 0 ? params.dpiY : src.dpiY()));
    res.u16be(1);
    res.u16be(1);
    writeResource(blocks, kResolutionInfo, res);
    if (l.mode == kIndexedMode) {
        ByteWriter count;
        count.u16be(unsigned(std::clamp<std::size_t>(src.palette().size(), 1, 256)));
        writeResource(blocks, kIndexedColorCount, count);
    }
    out.u32be(std::uint32_t(blocks.size()));
    out.bytes(blocks.data().data(), blocks.size());
}

static void writeLayerAndMaskSection(
    ByteWriter& out, const PsdLayout& l, const ByteWriter* layerInfo) {
    const std::uint64_t infoBytes = layerInfo ? layerInfo->size() : 0;
    // The layer info, then an empty global mask record.
    const std::uint64_t total = infoBytes ? (l.psb ? 8 : 4) + infoBytes + 4 : 0;
    if (l.psb)
        out.u64be(total);
    else
        out.u32be(std::uint32_t(total));
    if (!infoBytes) return;
    if (l.psb)
        out.u64be(infoBytes);
    else
        out.u32be(std::uint32_t(infoBytes));
    out.bytes(layerInfo->data().data(), layerInfo->size());
    out.u32be(0);
}

/// The merged image, PackBits-compressed: the table of row sizes, then the rows, channel by
/// channel. Rows are compressed on every core.
static void writeImageData(FileSink& sink, const Bitmap& src, const PsdLayout& l) {
    const int channels = l.colorChannels + (l.alpha ? 1 : 0);
    const int h = src.height();
    const std::size_t rowBytes = l.depth == 1 ? (std::size_t(src.width()) + 7) / 8
                                              : std::size_t(src.width()) * (l.depth / 8);
    std::vector<ByteWriter> rows(std::size_t(channels) * h);
    parallelFor(0, h, [&](int y0, int y1) {
        std::vector<std::uint8_t> line(rowBytes);
        for (int y = y0; y < y1; ++y)
            for (int c = 0; c < channels; ++c) {
                channelRow(src, l, c, y, line.data());
                ByteWriter& out = rows[std::size_t(c) * h + y];
                out.data().reserve(rowBytes + rowBytes / 128 + 2); // the worst case
                packBits(line.data(), int(rowBytes), out);
            }
    });
    ByteWriter table;
    table.u16be(kPackBits);
    for (const ByteWriter& row : rows)
        if (l.psb)
            table.u32be(std::uint32_t(row.size()));
        else
            table.u16be(unsigned(row.size()));
    sink.write(table);
    for (const ByteWriter& row : rows)
        sink.write(row);
}

void readHeaderSections(ByteReader& r, PsdHeader& h) {
    readFileHeader(r, h);
    readColorModeData(r, h);
    readImageResources(r, h);
    if (h.mode == kIndexedMode) h.indexed = indexedTarget(h.palette);
}

void writePsd(const std::string& path, const Bitmap& bitmap, const FormatParams& params,
    const ByteWriter* layerInfo) {
    PsdLayout layout;
    layout.psb = extensionOf(path) == ".psb";
    const int maxSide = layout.psb ? kMaxPsbSide : kMaxPsdSide;
    if (bitmap.width() > maxSide || bitmap.height() > maxSide)
        throw Error(layout.psb ? "PSB images can be at most 300000 pixels a side"
                               : "PSD images can be at most 30000 pixels a side (PSB files "
                                 "can be larger)");
    const Bitmap src = writable(bitmap, layout);
    ByteWriter head;
    writeFileHeader(head, src, layout);
    writeColorModeData(head, src, layout);
    writeImageResources(head, src, layout, params);
    writeLayerAndMaskSection(head, layout, layerInfo);
    FileSink out(path);
    out.write(head);
    writeImageData(out, src, layout);
    out.close();
}

} // namespace ie::io::psd
