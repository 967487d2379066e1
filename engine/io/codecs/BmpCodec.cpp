#include "../../imaging/Convert.h"
#include "../ImageIO.h"
#include "ByteReader.h"
#include "ByteWriter.h"
#include "Codecs.h"
#include "Dib.h"
#include "FileBytes.h"
#include "RowCodecs.h"

#include <cstring>
#include <functional>

namespace ie::io {

namespace {

constexpr std::uint32_t kFileHeaderBytes = 14;
constexpr std::uint32_t kV4HeaderBytes = 108;

/// What one saved file holds, besides its rows.
struct BmpLayout {
    int bits = 24;
    std::uint32_t compression = kDibRgb;
    std::uint32_t headerSize = 40;
    std::vector<Rgb> palette;
};

void writeFileHeader(ByteWriter& out, std::uint64_t fileBytes, std::uint32_t pixelOffset) {
    if (fileBytes > 0xFFFFFFFFu) throw Error("The image is too large for a BMP file");
    out.text("BM");
    out.u32le(std::uint32_t(fileBytes));
    out.u32le(0);
    out.u32le(pixelOffset);
}

// The part of a V4 header after the first 40 bytes: masks with alpha, sRGB, no gamma.
void writeV4Extension(ByteWriter& out) {
    out.u32le(0x00FF0000);
    out.u32le(0x0000FF00);
    out.u32le(0x000000FF);
    out.u32le(0xFF000000);
    out.u32le(0x73524742); // 'sRGB'
    out.fill(36 + 12, 0);
}

ByteWriter headerFor(const Bitmap& src, const BmpLayout& layout, std::uint64_t imageBytes,
    const FormatParams& params) {
    const std::uint32_t paletteBytes = std::uint32_t(layout.palette.size()) * 4;
    const std::uint32_t offset = kFileHeaderBytes + layout.headerSize + paletteBytes;
    ByteWriter out;
    writeFileHeader(out, offset + imageBytes, offset);
    writeDibInfoHeader(out, src.width(), src.height(), layout.bits, layout.compression,
        std::uint32_t(imageBytes), params.dpiX > 0 ? params.dpiX : src.dpiX(),
        params.dpiY > 0 ? params.dpiY : src.dpiY(), std::uint32_t(layout.palette.size()),
        layout.headerSize);
    if (layout.headerSize == kV4HeaderBytes) writeV4Extension(out);
    for (const Rgb& c : layout.palette) {
        out.u8(c.b);
        out.u8(c.g);
        out.u8(c.r);
        out.u8(0);
    }
    return out;
}

/// Bottom-up rows, each made by `fill(imageRow, dst)` and padded with zeros.
void writeUncompressed(const std::string& path, const Bitmap& src, const BmpLayout& layout,
    const FormatParams& params, const std::function<void(int, std::uint8_t*)>& fill) {
    const std::uint64_t stride = dibStride(src.width(), layout.bits);
    const std::size_t used = (std::size_t(src.width()) * layout.bits + 7) / 8;
    FileSink out(path);
    out.write(headerFor(src, layout, stride * std::uint64_t(src.height()), params));
    writeRows(out, src.height(), std::size_t(stride), [&](int fileRow, std::uint8_t* dst) {
        fill(src.height() - 1 - fileRow, dst);
        std::memset(dst + used, 0, std::size_t(stride) - used);
    });
    out.close();
}

/// One row in RLE8: runs of equal bytes, literal stretches in absolute mode, then end of line.
void encodeRle8Row(const std::uint8_t* row, int width, ByteWriter& out) {
    int i = 0;
    while (i < width) {
        int run = 1;
        while (i + run < width && run < 255 && row[i + run] == row[i])
            ++run;
        if (run >= 2) {
            out.u8(unsigned(run));
            out.u8(row[i]);
            i += run;
            continue;
        }
        // A literal stretch ends where a run of three begins.
        int j = i + 1;
        while (j < width && j - i < 255
            && !(j + 2 < width && row[j] == row[j + 1] && row[j] == row[j + 2]))
            ++j;
        const int n = j - i;
        if (n < 3) { // absolute mode needs at least 3 pixels
            for (int k = i; k < j; ++k) {
                out.u8(1);
                out.u8(row[k]);
            }
        } else {
            out.u8(0);
            out.u8(unsigned(n));
            out.bytes(row + i, std::size_t(n));
            if (n & 1) out.u8(0);
        }
        i = j;
    }
    out.u8(0);
    out.u8(0);
}

void writeRle8(const std::string& path, const Bitmap& src, const BmpLayout& layout,
    const FormatParams& params) {
    ByteWriter data;
    for (int y = src.height() - 1; y >= 0; --y)
        encodeRle8Row(src.scanline(y), src.width(), data);
    data.u8(0);
    data.u8(1);
    FileSink out(path);
    out.write(headerFor(src, layout, data.size(), params));
    out.write(data);
    out.close();
}

void writeIndexed(const std::string& path, const Bitmap& src, std::vector<Rgb> palette,
    const FormatParams& params) {
    BmpLayout layout;
    layout.bits = src.pixelFormat() == PixelFormat::Bw1 ? 1 : 8;
    if (palette.empty()) palette.push_back({});
    if (palette.size() > 256) palette.resize(256);
    layout.palette = std::move(palette);
    if (layout.bits == 8 && params.bmpRle) {
        layout.compression = kDibRle8;
        writeRle8(path, src, layout, params);
        return;
    }
    writeUncompressed(path, src, layout, params,
        [&](int y, std::uint8_t* dst) { std::memcpy(dst, src.scanline(y), src.rowBytes()); });
}

void writeRgb(const std::string& path, const Bitmap& src, const FormatParams& params) {
    BmpLayout layout;
    if (src.hasAlpha()) {
        layout.bits = 32;
        layout.compression = kDibBitfields;
        layout.headerSize = kV4HeaderBytes;
        writeUncompressed(
            path, src, layout, params, [&](int y, std::uint8_t* dst) { rowToBgra(src, y, dst); });
    } else {
        writeUncompressed(
            path, src, layout, params, [&](int y, std::uint8_t* dst) { rowToBgr(src, y, dst); });
    }
}

class BmpCodec final : public Codec {
public:
    std::string name() const override { return "BMP"; }
    std::vector<std::string> extensions() const override { return { ".bmp", ".dib" }; }

    bool matches(std::span<const std::uint8_t> head) const override {
        if (head.size() < 18 || head[0] != 'B' || head[1] != 'M') return false;
        const std::uint32_t size = head[14] | head[15] << 8 | head[16] << 16 | head[17] << 24;
        return size == 12 || size == 16 || size == 40 || size == 52 || size == 56 || size == 64
            || size == 108 || size == 124;
    }

    DecodedImage read(const std::string& path, const ReadOptions&) const override {
        const FileBytes file(path);
        const std::span<const std::uint8_t> data = file;
        ByteReader r(data, "BMP");
        const std::uint8_t* sig = r.take(2);
        if (sig[0] != 'B' || sig[1] != 'M') throw Error("Not a BMP file (no \"BM\" signature)");
        r.skip(8);
        const std::uint32_t pixelOffset = r.u32le();
        const DibHeader header = readDibHeader(r, false);
        // A zero or too small offset is a writer's slip: the pixels then follow the palette.
        if (pixelOffset > r.size()) r.truncated();
        if (pixelOffset >= r.pos()) r.seek(pixelOffset);
        DecodedImage out;
        out.bitmap = decodeDibPixels(header, r);
        out.bitmap.setDpi(header.dpiX, header.dpiY);
        return out;
    }

    void write(const std::string& path, const Bitmap& bitmap, const FormatParams& params,
        const Metadata&) const override {
        const PixelFormat f = bitmap.pixelFormat();
        if (bitmap.hasAlpha() || f == PixelFormat::Rgb24) {
            const bool direct = f == PixelFormat::Rgb24 || f == PixelFormat::Rgba32;
            writeRgb(path, direct ? bitmap : convertTo(bitmap, PixelFormat::Rgb24), params);
        } else if (f == PixelFormat::Bw1) {
            writeIndexed(path, bitmap, { { 0, 0, 0 }, { 255, 255, 255 } }, params);
        } else if (f == PixelFormat::Palette8) {
            writeIndexed(path, bitmap, bitmap.palette(), params);
        } else if (f == PixelFormat::Gray8) {
            writeIndexed(path, bitmap, greyPalette(), params);
        } else {
            writeRgb(path, convertTo(bitmap, PixelFormat::Rgb24), params);
        }
    }
};

} // namespace

std::shared_ptr<const Codec> makeBmpCodec() {
    return std::make_shared<BmpCodec>();
}

} // namespace ie::io
