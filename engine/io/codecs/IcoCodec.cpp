#include "../CodecRegistry.h"
#include "../ImageIO.h"
#include "ByteReader.h"
#include "ByteWriter.h"
#include "Codecs.h"
#include "Dib.h"
#include "FileBytes.h"
#include "RowCodecs.h"

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <numeric>
#include <unistd.h>

namespace ie::io {

namespace {

constexpr int kIconType = 1, kCursorType = 2;
constexpr int kMaxSide = 256;
constexpr std::size_t kDirectoryBytes = 6, kEntryBytes = 16;
constexpr std::uint8_t kPngSignature[8] = { 0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n' };

struct IconEntry {
    int width = 0, height = 0, bits = 0;
    std::uint32_t bytes = 0, offset = 0;
};

std::vector<IconEntry> readDirectory(ByteReader& r) {
    if (r.u16le() != 0) throw Error("Not an ICO file");
    const int type = r.u16le();
    if (type != kIconType && type != kCursorType) throw Error("Not an ICO file");
    const int count = r.u16le();
    if (count == 0) r.damaged("no images");
    std::vector<IconEntry> entries(static_cast<std::size_t>(count));
    for (IconEntry& e : entries) {
        const std::uint8_t* p = r.take(kEntryBytes);
        e.width = p[0] ? p[0] : 256;
        e.height = p[1] ? p[1] : 256;
        e.bits = type == kIconType ? p[6] | p[7] << 8 : 0;
        e.bytes = std::uint32_t(p[8]) | std::uint32_t(p[9]) << 8 | std::uint32_t(p[10]) << 16
            | std::uint32_t(p[11]) << 24;
        e.offset = std::uint32_t(p[12]) | std::uint32_t(p[13]) << 8 | std::uint32_t(p[14]) << 16
            | std::uint32_t(p[15]) << 24;
    }
    return entries;
}

/// Entries best first (largest, then deepest), so that page 0 is the image to show.
std::vector<std::size_t> pageOrder(const std::vector<IconEntry>& entries) {
    std::vector<std::size_t> order(entries.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        const IconEntry &x = entries[a], &y = entries[b];
        if (x.width * x.height != y.width * y.height)
            return x.width * x.height > y.width * y.height;
        return x.bits > y.bits;
    });
    return order;
}

/// A file in our folder of the system temporary folder, removed when done.
class TempFile {
public:
    TempFile(std::span<const std::uint8_t> bytes, const char* extension) {
        static std::atomic<unsigned> counter = 0;
        const auto dir = std::filesystem::temp_directory_path() / "vistrelune";
        std::filesystem::create_directories(dir);
        m_path = (dir
            / ("icon-" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + extension))
                     .string();
        FileSink out(m_path);
        out.write(bytes);
        out.close();
    }
    ~TempFile() {
        std::error_code ec;
        std::filesystem::remove(m_path, ec);
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

Bitmap decodePng(std::span<const std::uint8_t> png) {
    const auto codec = CodecRegistry::instance().forExtension(".png");
    if (!codec || !codec->canRead())
        throw Error("This icon holds a PNG image, and PNG files can't be read");
    const TempFile file(png, ".png");
    return codec->read(file.path(), {}).bitmap;
}

/// Applies the 1-bit AND mask (1 = transparent) that follows the colour bitmap, when present.
void applyMask(ByteReader& r, const DibHeader& h, Bitmap& bmp) {
    const std::uint64_t stride = dibStride(h.width, 1);
    if (r.remaining() < stride * std::uint64_t(h.height)) return; // some writers leave it out
    const std::uint8_t* mask = r.take(stride * std::uint64_t(h.height));
    bmp.addAlphaPlane();
    for (int y = 0; y < h.height; ++y) {
        const std::uint8_t* m = mask + stride * std::uint64_t(h.topDown ? y : h.height - 1 - y);
        std::uint8_t* a = bmp.mutableAlphaLine(y);
        for (int x = 0; x < h.width; ++x)
            a[x] = m[x >> 3] & (0x80 >> (x & 7)) ? 0 : 255;
    }
}

Bitmap decodeImage(std::span<const std::uint8_t> image) {
    if (image.size() >= 8 && std::equal(kPngSignature, kPngSignature + 8, image.begin()))
        return decodePng(image);
    ByteReader r(image, "ICO");
    const DibHeader h = readDibHeader(r, true);
    Bitmap bmp = decodeDibPixels(h, r);
    if (!bmp.hasAlphaPlane()) applyMask(r, h, bmp);
    dropOpaqueAlpha(bmp);
    return bmp;
}

std::span<const std::uint8_t> entryData(std::span<const std::uint8_t> data, const IconEntry& e) {
    if (e.offset > data.size() || e.bytes > data.size() - e.offset)
        throw Error("ICO file is truncated");
    return data.subspan(e.offset, e.bytes);
}

// ---- writing

/// A 32-bit colour bitmap with its AND mask, as icons store them.
ByteWriter encodeImage(const Bitmap& src) {
    const int w = src.width(), h = src.height();
    const std::uint64_t maskStride = dibStride(w, 1);
    const std::uint32_t bytes = std::uint32_t(std::uint64_t(w) * 4 * h + maskStride * h);
    ByteWriter out;
    writeDibInfoHeader(out, w, h * 2, 32, kDibRgb, bytes, 0, 0, 0);
    for (int y = h - 1; y >= 0; --y)
        for (int x = 0; x < w; ++x) {
            const Rgba c = src.pixel(x, y);
            out.u8(c.b);
            out.u8(c.g);
            out.u8(c.r);
            out.u8(c.a);
        }
    for (int y = h - 1; y >= 0; --y) {
        const std::size_t row = out.size();
        out.fill(std::size_t(maskStride), 0);
        for (int x = 0; x < w; ++x)
            if (src.pixel(x, y).a == 0) out.data()[row + std::size_t(x >> 3)] |= 0x80 >> (x & 7);
    }
    return out;
}

class IcoCodec final : public Codec {
public:
    std::string name() const override { return "ICO"; }
    std::vector<std::string> extensions() const override { return { ".ico", ".cur" }; }

    bool matches(std::span<const std::uint8_t> head) const override {
        if (head.size() < kDirectoryBytes + kEntryBytes) return false;
        auto u16 = [&](std::size_t at) { return unsigned(head[at] | head[at + 1] << 8); };
        auto u32 = [&](std::size_t at) {
            return std::uint32_t(u16(at)) | std::uint32_t(u16(at + 2)) << 16;
        };
        const unsigned type = u16(2), count = u16(4);
        // Checked closely: a TGA header can begin with the same four bytes as a cursor.
        return u16(0) == 0 && (type == kIconType || type == kCursorType) && count >= 1
            && (type != kIconType || u16(10) <= 1) && u32(14) > 0
            && u32(18) >= kDirectoryBytes + kEntryBytes * count;
    }

    DecodedImage read(const std::string& path, const ReadOptions& options) const override {
        const FileBytes file(path);
        const std::span<const std::uint8_t> data = file;
        ByteReader r(data, "ICO");
        const std::vector<IconEntry> entries = readDirectory(r);
        if (options.pageIndex < 0 || options.pageIndex >= int(entries.size()))
            throw Error("ICO file has no image " + std::to_string(options.pageIndex + 1));
        const IconEntry& e = entries[pageOrder(entries)[std::size_t(options.pageIndex)]];
        DecodedImage out;
        out.bitmap = decodeImage(entryData(data, e));
        return out;
    }

    int pageCount(const std::string& path) const override {
        const std::vector<std::uint8_t> head = readFileHead(path, kDirectoryBytes);
        ByteReader r(head, "ICO");
        r.skip(4);
        return std::max(1, int(r.u16le()));
    }

    void write(const std::string& path, const Bitmap& bitmap, const FormatParams&,
        const Metadata&) const override {
        if (bitmap.width() > kMaxSide || bitmap.height() > kMaxSide)
            throw Error("ICO images can be at most 256 x 256 pixels");
        const ByteWriter image = encodeImage(bitmap);
        const bool cursor = extensionOf(path) == ".cur";
        ByteWriter dir;
        dir.u16le(0);
        dir.u16le(cursor ? kCursorType : kIconType);
        dir.u16le(1);
        dir.u8(unsigned(bitmap.width() & 0xFF)); // 256 is stored as 0
        dir.u8(unsigned(bitmap.height() & 0xFF));
        dir.u8(0);
        dir.u8(0);
        dir.u16le(cursor ? 0 : 1); // cursors: the hot spot
        dir.u16le(cursor ? 0 : 32);
        dir.u32le(std::uint32_t(image.size()));
        dir.u32le(std::uint32_t(kDirectoryBytes + kEntryBytes));
        FileSink out(path);
        out.write(dir);
        out.write(image);
        out.close();
    }
};

} // namespace

std::shared_ptr<const Codec> makeIcoCodec() {
    return std::make_shared<IcoCodec>();
}

} // namespace ie::io
