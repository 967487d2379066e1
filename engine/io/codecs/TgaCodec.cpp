#include "../../imaging/Convert.h"
#include "../../imaging/Parallel.h"
#include "../ImageIO.h"
#include "ByteReader.h"
#include "ByteWriter.h"
#include "Codecs.h"
#include "FileBytes.h"
#include "RowCodecs.h"

#include <algorithm>
#include <atomic>
#include <cstring>

namespace ie::io {

namespace {

enum TgaKind { kColorMapped = 1, kTrueColor = 2, kGrey = 3 };
constexpr int kRleFlag = 8;
constexpr std::size_t kFooterBytes = 26, kExtensionBytes = 495;
constexpr char kFooterSignature[] = "TRUEVISION-XFILE.";

/// The extension area's statement about the alpha channel.
enum class AlphaUse { Unknown, None, Straight, Premultiplied };
constexpr std::uint8_t kTopToBottom = 0x20, kRightToLeft = 0x10;

struct TgaHeader {
    int idLength = 0, mapType = 0, type = 0;
    int mapFirst = 0, mapLength = 0, mapBits = 0;
    int width = 0, height = 0, depth = 0, descriptor = 0;
    int kind() const { return type & 7; }
    bool rle() const { return (type & kRleFlag) != 0; }
    int pixelBytes() const { return (depth + 7) / 8; }
    int alphaBits() const { return descriptor & 15; }
};

TgaHeader readHeader(ByteReader& r) {
    TgaHeader h;
    h.idLength = r.u8();
    h.mapType = r.u8();
    h.type = r.u8();
    h.mapFirst = r.u16le();
    h.mapLength = r.u16le();
    h.mapBits = r.u8();
    r.skip(4); // origin on screen
    h.width = r.u16le();
    h.height = r.u16le();
    h.depth = r.u8();
    h.descriptor = r.u8();
    const int k = h.kind();
    if ((h.type & ~(kRleFlag | 7)) != 0 || k < kColorMapped || k > kGrey || h.mapType > 1)
        r.damaged("image type " + std::to_string(h.type) + " is not supported");
    const bool depthOk = k == kColorMapped ? h.depth == 8
        : k == kGrey                       ? h.depth == 8 || h.depth == 16
                     : h.depth == 15 || h.depth == 16 || h.depth == 24 || h.depth == 32;
    if (!depthOk) r.damaged(std::to_string(h.depth) + " bits per pixel with this image type");
    if (k == kColorMapped && h.mapType != 1) r.damaged("colour-mapped image without colour map");
    Plane::checkSize(h.width, h.height);
    return h;
}

/// What a TGA 2.0 extension area says of the alpha channel (Unknown in older files).
AlphaUse alphaUse(std::span<const std::uint8_t> data) {
    const std::size_t n = data.size();
    if (n < 18 + kFooterBytes
        || std::memcmp(&data[n - 18], kFooterSignature, sizeof kFooterSignature) != 0)
        return AlphaUse::Unknown;
    const std::uint8_t* f = &data[n - kFooterBytes];
    const std::uint32_t ext = f[0] | f[1] << 8 | f[2] << 16 | std::uint32_t(f[3]) << 24;
    if (ext == 0 || n < kFooterBytes + kExtensionBytes || ext > n - kFooterBytes - kExtensionBytes
        || (data[ext] | data[ext + 1] << 8) != int(kExtensionBytes))
        return AlphaUse::Unknown;
    switch (data[ext + kExtensionBytes - 1]) {
    case 3:
        return AlphaUse::Straight;
    case 4:
        return AlphaUse::Premultiplied;
    default: // no alpha, or undefined data to be ignored
        return AlphaUse::None;
    }
}

Rgb colorFrom16(unsigned v) {
    return { scaleTo8(v >> 10 & 31, 5), scaleTo8(v >> 5 & 31, 5), scaleTo8(v & 31, 5) };
}

std::vector<Rgb> readColorMap(ByteReader& r, const TgaHeader& h) {
    if (h.mapType != 1) return {};
    const int bits = h.mapBits;
    if (bits != 15 && bits != 16 && bits != 24 && bits != 32)
        r.damaged("colour map entries of " + std::to_string(bits) + " bits");
    const int bytes = (bits + 7) / 8;
    const std::uint8_t* p = r.take(std::uint64_t(h.mapLength) * bytes);
    if (h.kind() != kColorMapped) return {}; // a map that the pixels don't use
    if (h.mapFirst + h.mapLength > 256) r.damaged("colour map of more than 256 entries");
    std::vector<Rgb> pal(std::size_t(h.mapFirst + h.mapLength));
    for (int i = 0; i < h.mapLength; ++i, p += bytes)
        pal[std::size_t(h.mapFirst + i)]
            = bytes == 2 ? colorFrom16(unsigned(p[0] | p[1] << 8)) : Rgb { p[2], p[1], p[0] };
    return pal;
}

/// Turns file rows (left to right) into bitmap rows; safe to call from several threads.
class RowConverter {
public:
    RowConverter(const TgaHeader& h, std::vector<Rgb> palette)
        : m_h(h)
        , m_palette(std::move(palette))
        , m_target(indexedTarget(m_palette)) {
        const int k = h.kind();
        if (k == kColorMapped) {
            m_bmp = makeIndexedBitmap(h.width, h.height, m_target, m_palette);
            return;
        }
        m_bmp = Bitmap(h.width, h.height, k == kGrey ? PixelFormat::Gray8 : PixelFormat::Rgb24);
        m_alpha = h.depth == 32 || (k == kGrey && h.depth == 16)
            || (h.depth == 16 && h.alphaBits() > 0);
        if (m_alpha) m_bmp.addAlphaPlane();
    }

    void store(const std::uint8_t* src, int y) {
        std::uint8_t* dst = m_bmp.mutableScanline(y);
        std::uint8_t* alpha = m_alpha ? m_bmp.mutableAlphaLine(y) : nullptr;
        const int w = m_h.width;
        unsigned any = 0;
        switch (m_h.kind() * 100 + m_h.depth) {
        case kColorMapped * 100 + 8:
            storeIndexRow(src, w, m_target, dst);
            break;
        case kGrey * 100 + 8:
            std::memcpy(dst, src, std::size_t(w));
            break;
        case kGrey * 100 + 16:
            for (int x = 0; x < w; ++x) {
                dst[x] = src[2 * x];
                any |= alpha[x] = src[2 * x + 1];
            }
            break;
        case kTrueColor * 100 + 24:
            bgrToRgb(src, w, 3, dst);
            break;
        case kTrueColor * 100 + 32:
            any = bgraToRgbAlpha(src, w, dst, alpha);
            break;
        default: // 15 and 16 bits
            for (int x = 0; x < w; ++x) {
                const unsigned v = unsigned(src[2 * x] | src[2 * x + 1] << 8);
                const Rgb c = colorFrom16(v);
                dst[3 * x] = c.r;
                dst[3 * x + 1] = c.g;
                dst[3 * x + 2] = c.b;
                if (alpha) any |= alpha[x] = v & 0x8000 ? 255 : 0;
            }
        }
        if (any) m_anyAlpha = true;
    }

    /// The image with its alpha as the file's extension area says; without one, an alpha
    /// channel that is all 0 is taken as unused.
    Bitmap finish(AlphaUse use) {
        if (!m_alpha) return std::move(m_bmp);
        if (use == AlphaUse::None || (use == AlphaUse::Unknown && !m_anyAlpha))
            m_bmp.removeAlphaPlane();
        else if (use == AlphaUse::Premultiplied)
            unpremultiply();
        return std::move(m_bmp);
    }

private:
    void unpremultiply() {
        const int n = channelCount(m_bmp.pixelFormat());
        parallelFor(0, m_bmp.height(), [&](int y0, int y1) {
            for (int y = y0; y < y1; ++y) {
                std::uint8_t* p = m_bmp.mutableScanline(y);
                const std::uint8_t* a = m_bmp.alphaLine(y);
                for (int x = 0; x < m_bmp.width(); ++x)
                    for (int c = 0; c < n; ++c)
                        if (a[x])
                            p[x * n + c] = std::uint8_t(std::min(255, p[x * n + c] * 255 / a[x]));
            }
        });
    }

    const TgaHeader& m_h;
    std::vector<Rgb> m_palette;
    IndexedTarget m_target;
    Bitmap m_bmp;
    bool m_alpha = false;
    std::atomic<bool> m_anyAlpha = false;
};

/// Reads run-length packets, which may run across rows, one row at a time.
class RlePixels {
public:
    RlePixels(ByteReader& r, int pixelBytes)
        : m_r(r)
        , m_bytes(pixelBytes) { }

    void readRow(std::uint8_t* dst, int width) {
        int x = 0;
        while (x < width) {
            if (m_left == 0) {
                const int header = m_r.u8();
                m_left = (header & 0x7F) + 1;
                m_repeat = (header & 0x80) != 0;
                if (m_repeat) m_pixel = m_r.take(std::uint64_t(m_bytes));
            }
            const int n = std::min(m_left, width - x);
            std::uint8_t* out = dst + std::size_t(x) * m_bytes;
            if (m_repeat)
                repeat(out, n);
            else
                std::memcpy(out, m_r.take(std::uint64_t(n) * m_bytes), std::size_t(n) * m_bytes);
            x += n;
            m_left -= n;
        }
    }

private:
    template <int B> static void repeat(std::uint8_t* out, const std::uint8_t* px, int n) {
        for (int i = 0; i < n; ++i)
            std::memcpy(out + i * B, px, std::size_t(B));
    }
    void repeat(std::uint8_t* out, int n) const {
        switch (m_bytes) {
        case 1:
            std::memset(out, m_pixel[0], std::size_t(n));
            return;
        case 2:
            return repeat<2>(out, m_pixel, n);
        case 3:
            return repeat<3>(out, m_pixel, n);
        default:
            return repeat<4>(out, m_pixel, n);
        }
    }

    ByteReader& m_r;
    int m_bytes;
    int m_left = 0;
    bool m_repeat = false;
    const std::uint8_t* m_pixel = nullptr;
};

void reversePixels(std::uint8_t* row, int width, int bytes) {
    for (int a = 0, b = width - 1; a < b; ++a, --b)
        std::swap_ranges(row + a * bytes, row + (a + 1) * bytes, row + b * bytes);
}

Bitmap decode(ByteReader& r, const TgaHeader& h, std::vector<Rgb> palette, AlphaUse use) {
    const int bytes = h.pixelBytes();
    const std::size_t rowBytes = std::size_t(h.width) * bytes;
    const bool topDown = (h.descriptor & kTopToBottom) != 0;
    const bool mirrored = (h.descriptor & kRightToLeft) != 0;
    // Sizes are checked against the bytes present before the image is allocated. An RLE packet
    // is at least two bytes for at most 128 pixels.
    const std::uint8_t* base = nullptr;
    if (!h.rle())
        base = r.take(rowBytes * std::uint64_t(h.height));
    else if (std::uint64_t(h.width) * h.height > std::uint64_t(r.remaining()) * 64)
        r.truncated();
    RowConverter conv(h, std::move(palette));
    auto imageRow = [&](int fileRow) { return topDown ? fileRow : h.height - 1 - fileRow; };
    if (h.rle()) {
        RlePixels packets(r, bytes);
        std::vector<std::uint8_t> row(rowBytes);
        for (int i = 0; i < h.height; ++i) {
            packets.readRow(row.data(), h.width);
            if (mirrored) reversePixels(row.data(), h.width, bytes);
            conv.store(row.data(), imageRow(i));
        }
    } else {
        parallelFor(0, h.height, [&](int i0, int i1) {
            std::vector<std::uint8_t> row(mirrored ? rowBytes : 0);
            for (int i = i0; i < i1; ++i) {
                const std::uint8_t* src = base + rowBytes * i;
                if (mirrored) {
                    std::memcpy(row.data(), src, rowBytes);
                    reversePixels(row.data(), h.width, bytes);
                    src = row.data();
                }
                conv.store(src, imageRow(i));
            }
        });
    }
    return conv.finish(use);
}

// ---- writing

/// What one saved file holds.
struct TgaLayout {
    int kind = kTrueColor;
    int depth = 24;
    std::vector<Rgb> palette;
};

/// One row in TGA packets: runs of equal pixels and raw stretches, at most 128 pixels each.
/// The pixel size is a constant so that comparisons compile to single loads.
template <int B> void encodeRleRow(const std::uint8_t* px, int width, ByteWriter& out) {
    auto same
        = [&](int a, int b) { return std::memcmp(px + a * B, px + b * B, std::size_t(B)) == 0; };
    int i = 0;
    while (i < width) {
        int run = 1;
        while (i + run < width && run < 128 && same(i, i + run))
            ++run;
        if (run >= 2) {
            out.u8(0x80u | unsigned(run - 1));
            out.bytes(px + i * B, std::size_t(B));
            i += run;
            continue;
        }
        int j = i + 1;
        while (j < width && j - i < 128 && !(j + 1 < width && same(j, j + 1)))
            ++j;
        out.u8(unsigned(j - i - 1));
        out.bytes(px + i * B, std::size_t(j - i) * B);
        i = j;
    }
}

void encodeRleRow(const std::uint8_t* px, int width, int bytes, ByteWriter& out) {
    switch (bytes) {
    case 1:
        return encodeRleRow<1>(px, width, out);
    case 3:
        return encodeRleRow<3>(px, width, out);
    default:
        return encodeRleRow<4>(px, width, out);
    }
}

void fillRow(const Bitmap& src, const TgaLayout& layout, int y, std::uint8_t* dst) {
    if (layout.depth == 32)
        rowToBgra(src, y, dst);
    else if (layout.depth == 24)
        rowToBgr(src, y, dst);
    else if (src.pixelFormat() == PixelFormat::Bw1)
        unpackIndices(src.scanline(y), 1, src.width(), dst);
    else
        std::memcpy(dst, src.scanline(y), std::size_t(src.width()));
}

void writeTga(const std::string& path, const Bitmap& src, const TgaLayout& layout, bool rle) {
    if (src.width() > 0xFFFF || src.height() > 0xFFFF)
        throw Error("TGA images can be at most 65535 pixels a side");
    ByteWriter head;
    head.u8(0);
    head.u8(layout.palette.empty() ? 0 : 1);
    head.u8(unsigned(layout.kind | (rle ? kRleFlag : 0)));
    head.u16le(0);
    head.u16le(unsigned(layout.palette.size()));
    head.u8(layout.palette.empty() ? 0 : 24);
    head.u16le(0);
    head.u16le(0);
    head.u16le(unsigned(src.width()));
    head.u16le(unsigned(src.height()));
    head.u8(unsigned(layout.depth));
    head.u8(layout.depth == 32 ? 8 : 0); // bottom-up rows, left to right
    for (const Rgb& c : layout.palette) {
        head.u8(c.b);
        head.u8(c.g);
        head.u8(c.r);
    }
    FileSink out(path);
    out.write(head);
    const int bytes = layout.depth / 8;
    const std::size_t rowBytes = std::size_t(src.width()) * bytes;
    const int h = src.height();
    if (rle) {
        writeEncodedRows(out, h, [&](int fileRow, ByteWriter& w) {
            thread_local std::vector<std::uint8_t> row;
            row.resize(rowBytes);
            fillRow(src, layout, h - 1 - fileRow, row.data());
            encodeRleRow(row.data(), src.width(), bytes, w);
        });
    } else {
        writeRows(out, h, rowBytes,
            [&](int fileRow, std::uint8_t* dst) { fillRow(src, layout, h - 1 - fileRow, dst); });
    }
    // A TGA 2.0 extension area, only to state that alpha is straight alpha, and the footer.
    const std::uint64_t extension = out.written();
    ByteWriter tail;
    if (extension <= 0xFFFFFFFFu) {
        tail.u16le(kExtensionBytes);
        tail.fill(kExtensionBytes - 3, 0);
        tail.u8(layout.depth == 32 ? 3 : 0);
    }
    tail.u32le(extension <= 0xFFFFFFFFu ? std::uint32_t(extension) : 0);
    tail.u32le(0);
    tail.text(kFooterSignature);
    tail.u8(0);
    out.write(tail);
    out.close();
}

class TgaCodec final : public Codec {
public:
    std::string name() const override { return "TGA"; }
    std::vector<std::string> extensions() const override {
        return { ".tga", ".targa", ".vda", ".icb", ".vst" };
    }
    // TGA has no signature.
    bool matches(std::span<const std::uint8_t>) const override { return false; }

    DecodedImage read(const std::string& path, const ReadOptions&) const override {
        const FileBytes file(path);
        const std::span<const std::uint8_t> data = file;
        ByteReader r(data, "TGA");
        const TgaHeader h = readHeader(r);
        r.skip(std::uint64_t(h.idLength));
        std::vector<Rgb> palette = readColorMap(r, h);
        DecodedImage out;
        out.bitmap = decode(r, h, std::move(palette), alphaUse(data));
        return out;
    }

    void write(const std::string& path, const Bitmap& bitmap, const FormatParams& params,
        const Metadata&) const override {
        const PixelFormat f = bitmap.pixelFormat();
        TgaLayout layout;
        if (bitmap.hasAlpha() || f == PixelFormat::Rgb24) {
            layout.depth = bitmap.hasAlpha() ? 32 : 24;
            const bool direct = f == PixelFormat::Rgb24 || f == PixelFormat::Rgba32;
            writeTga(path, direct ? bitmap : convertTo(bitmap, PixelFormat::Rgb24), layout,
                params.tgaRle);
            return;
        }
        layout.depth = 8;
        if (f == PixelFormat::Bw1 || f == PixelFormat::Palette8) {
            layout.kind = kColorMapped;
            layout.palette = f == PixelFormat::Bw1
                ? std::vector<Rgb> { { 0, 0, 0 }, { 255, 255, 255 } }
                : bitmap.palette();
            if (layout.palette.empty()) layout.palette.push_back({});
            if (layout.palette.size() > 256) layout.palette.resize(256);
            writeTga(path, bitmap, layout, params.tgaRle);
            return;
        }
        layout.kind = kGrey;
        if (f == PixelFormat::Gray8) {
            writeTga(path, bitmap, layout, params.tgaRle);
        } else if (f == PixelFormat::Gray16) {
            writeTga(path, convertTo(bitmap, PixelFormat::Gray8), layout, params.tgaRle);
        } else {
            layout.kind = kTrueColor;
            layout.depth = 24;
            writeTga(path, convertTo(bitmap, PixelFormat::Rgb24), layout, params.tgaRle);
        }
    }
};

} // namespace

std::shared_ptr<const Codec> makeTgaCodec() {
    return std::make_shared<TgaCodec>();
}

} // namespace ie::io
