// PNG through libpng: every bit depth and colour type in, every pixel format out losslessly,
// with alpha split into (and merged from) the bitmap's alpha plane, and metadata in chunks.
#include "../../imaging/Convert.h"
#include "../../imaging/Error.h"
#include "Codecs.h"
#include "MetadataBlocks.h"
#include "ParallelDeflate.h"
#include "PngFilter.h"
#include "PngRows.h"
#include "StdioFile.h"

#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace ie::io {

namespace {

using blocks::Bytes;
using blocks::ByteView;

constexpr double kMetresPerInch = 0.0254;
constexpr const char* kXmpKey = "XML:com.adobe.xmp";

// ---- libpng session -----------------------------------------------------------------------

struct PngErrorState {
    char message[200] = {};
};

[[noreturn]] void onPngError(png_structp png, png_const_charp msg) {
    auto* state = static_cast<PngErrorState*>(png_get_error_ptr(png));
    std::snprintf(state->message, sizeof state->message, "%s", msg);
    png_longjmp(png, 1);
}

void onPngWarning(png_structp, png_const_charp) { }

/// One libpng read or write struct with its info struct. libpng reports failures by a longjmp
/// to the last run() call, which throws ie::Error.
class PngSession {
public:
    PngSession(bool reading, const char* failure)
        : m_reading(reading)
        , m_failure(failure) {
        m_png = reading
            ? png_create_read_struct(PNG_LIBPNG_VER_STRING, &m_err, onPngError, onPngWarning)
            : png_create_write_struct(PNG_LIBPNG_VER_STRING, &m_err, onPngError, onPngWarning);
        if (m_png) m_info = png_create_info_struct(m_png);
        if (!m_png || !m_info) {
            destroy();
            throw Error("Not enough memory for the PNG library");
        }
    }
    ~PngSession() { destroy(); }
    PngSession(const PngSession&) = delete;
    PngSession& operator=(const PngSession&) = delete;

    png_structp png() const { return m_png; }
    png_infop info() const { return m_info; }

    /// Runs `f`, which calls libpng and owns no resources (a failure jumps out of it).
    template <class F> void run(F&& f) {
        if (setjmp(png_jmpbuf(m_png)))
            throw Error(std::string(m_failure) + " (" + m_err.message + ")");
        f();
    }

private:
    void destroy() {
        if (m_reading)
            png_destroy_read_struct(&m_png, m_info ? &m_info : nullptr, nullptr);
        else
            png_destroy_write_struct(&m_png, m_info ? &m_info : nullptr);
    }

    bool m_reading;
    const char* m_failure;
    PngErrorState m_err;
    png_structp m_png = nullptr;
    png_infop m_info = nullptr;
};

// ---- reading ------------------------------------------------------------------------------

/// Asks libpng for rows in the shape `PngRows` describes, and says what the bitmap will be.
png_rows::Layout requestLayout(png_structp png, png_infop info) {
    const int depth = png_get_bit_depth(png, info);
    const int type = png_get_color_type(png, info);
    const bool trns = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    if (depth == 16) png_set_swap(png); // native 16-bit words
    png_rows::Layout l;
    l.bytesPerSample = depth == 16 ? 2 : 1;
    if (type == PNG_COLOR_TYPE_PALETTE) {
        if (depth < 8) png_set_packing(png);
        l.format = PixelFormat::Palette8;
        l.paletteAlpha = trns;
        return l;
    }
    if (trns) png_set_tRNS_to_alpha(png); // colour key: becomes a real alpha sample
    const bool grey = (type & PNG_COLOR_MASK_COLOR) == 0;
    l.alpha = trns || (type & PNG_COLOR_MASK_ALPHA) != 0;
    if (grey && depth == 1 && !l.alpha) {
        l.format = PixelFormat::Bw1; // same bit order and meaning as the file's
        return l;
    }
    if (grey && depth < 8) png_set_expand_gray_1_2_4_to_8(png);
    if (grey)
        l.format = depth == 16 ? PixelFormat::Gray16 : PixelFormat::Gray8;
    else
        l.format = depth == 16 ? PixelFormat::Rgb48 : PixelFormat::Rgb24;
    return l;
}

std::vector<Rgb> readPalette(png_structp png, png_infop info) {
    png_colorp entries = nullptr;
    int count = 0;
    std::vector<Rgb> pal;
    if (png_get_PLTE(png, info, &entries, &count))
        for (int i = 0; i < count; ++i)
            pal.push_back({ entries[i].red, entries[i].green, entries[i].blue });
    return pal;
}

/// Alpha of each palette index (255 beyond the tRNS entries).
png_rows::AlphaTable paletteAlpha(png_structp png, png_infop info) {
    png_rows::AlphaTable table;
    table.fill(255);
    png_bytep trans = nullptr;
    int count = 0;
    if (png_get_tRNS(png, info, &trans, &count, nullptr) && trans)
        std::copy_n(trans, std::min(count, 256), table.begin());
    return table;
}

/// Reads every row: straight into the bitmap when no sample must move, else through a buffer
/// that is split into colour and alpha.
void readRows(PngSession& s, const png_rows::Layout& l, Bitmap& bmp) {
    png_structp png = s.png();
    const int h = bmp.height();
    const bool interlaced = png_get_interlace_type(png, s.info()) != PNG_INTERLACE_NONE;
    if (!l.alpha || interlaced) {
        // Interlaced rows are revisited by every pass, so they need a whole image to land in.
        Plane staging;
        if (l.alpha) staging = Plane(bmp.width(), h, l.fileBitsPerPixel());
        std::vector<png_bytep> rows(static_cast<std::size_t>(h), nullptr);
        for (int y = 0; y < h; ++y)
            rows[y] = l.alpha ? staging.mutableRow(y) : bmp.mutableScanline(y);
        s.run([&] { png_read_image(png, rows.data()); });
        if (l.alpha)
            for (int y = 0; y < h; ++y)
                png_rows::splitAlpha(l, staging.row(y), bmp, y);
        return;
    }
    std::vector<std::uint8_t> buffer(png_rows::fileRowBytes(l, bmp.width()));
    for (int y = 0; y < h; ++y) {
        s.run([&] { png_read_row(png, buffer.data(), nullptr); });
        png_rows::splitAlpha(l, buffer.data(), bmp, y);
    }
}

double dpiFromPixelsPerMetre(png_uint_32 ppm) {
    const double dpi = ppm * kMetresPerInch;
    // pHYs stores whole pixels per metre; 72 dpi comes back as 72.009.
    return std::abs(dpi - std::round(dpi)) < 0.05 ? std::round(dpi) : dpi;
}

void readDpi(png_structp png, png_infop info, Bitmap& bmp) {
    png_uint_32 x = 0, y = 0;
    int unit = 0;
    if (png_get_pHYs(png, info, &x, &y, &unit) && unit == PNG_RESOLUTION_METER && x && y)
        bmp.setDpi(dpiFromPixelsPerMetre(x), dpiFromPixelsPerMetre(y));
}

void takeExif(Metadata& meta, ByteView exif) {
    exif = blocks::withoutExifHeader(exif);
    if (meta.exif.empty()) meta.exif.assign(exif.begin(), exif.end());
}

/// XMP, EXIF and IPTC kept in text chunks (ImageMagick and exiv2 write "Raw profile" ones).
void readTextChunks(png_structp png, png_infop info, Metadata& meta) {
    png_textp texts = nullptr;
    const int count = png_get_text(png, info, &texts, nullptr);
    for (int i = 0; i < count; ++i) {
        const std::string_view key = texts[i].key;
        const std::string_view text(texts[i].text ? texts[i].text : "",
            texts[i].compression >= PNG_ITXT_COMPRESSION_NONE ? texts[i].itxt_length
                                                              : texts[i].text_length);
        if (key == kXmpKey && meta.xmp.empty()) {
            meta.xmp = std::string(text);
        } else if (key == "Raw profile type exif" || key == "Raw profile type APP1") {
            const Bytes data = blocks::decodeRawProfile(text);
            if (blocks::startsWith(data, blocks::kXmpHeader) && meta.xmp.empty())
                meta.xmp.assign(data.begin() + blocks::kXmpHeader.size(), data.end());
            else if (!blocks::startsWith(data, blocks::kXmpHeader))
                takeExif(meta, data);
        } else if (key == "Raw profile type xmp" && meta.xmp.empty()) {
            const Bytes data = blocks::decodeRawProfile(text);
            meta.xmp.assign(data.begin(), data.end());
        } else if (key == "Raw profile type iptc" && meta.iptc.empty()) {
            const Bytes data = blocks::decodeRawProfile(text);
            if (blocks::startsWith(data, blocks::kPhotoshopHeader))
                meta.iptc = blocks::iptcFromPhotoshopResources(
                    ByteView(data).subspan(blocks::kPhotoshopHeader.size()));
            else if (blocks::startsWith(data, "8BIM"))
                meta.iptc = blocks::iptcFromPhotoshopResources(data);
            else
                meta.iptc = data;
        }
    }
}

Metadata readMetadata(png_structp png, png_infop info) {
    Metadata meta;
    png_bytep exif = nullptr;
    png_uint_32 exifSize = 0;
    if (png_get_eXIf_1(png, info, &exifSize, &exif) && exif)
        takeExif(meta, ByteView(exif, exifSize));
    png_charp name = nullptr;
    int compression = 0;
    png_bytep icc = nullptr;
    png_uint_32 iccSize = 0;
    if (png_get_iCCP(png, info, &name, &compression, &icc, &iccSize) && icc)
        meta.iccProfile.assign(icc, icc + iccSize);
    readTextChunks(png, info, meta);
    return meta;
}

// ---- writing ------------------------------------------------------------------------------

/// Text chunks prepared outside libpng's error jumps (they own memory).
struct TextChunks {
    std::string iptc;
    png_text texts[2] {};
    int count = 0;
};

void prepareText(const Metadata& meta, TextChunks& out) {
    if (!meta.xmp.empty()) {
        png_text& t = out.texts[out.count++];
        t.compression = PNG_ITXT_COMPRESSION_NONE;
        t.key = const_cast<png_charp>(kXmpKey);
        t.text = const_cast<png_charp>(meta.xmp.c_str());
        t.itxt_length = meta.xmp.size();
    }
    if (!meta.iptc.empty()) {
        out.iptc = blocks::encodeRawProfile("iptc", blocks::photoshopResourcesForIptc(meta.iptc));
        png_text& t = out.texts[out.count++];
        t.compression = PNG_TEXT_COMPRESSION_zTXt;
        t.key = const_cast<png_charp>("Raw profile type iptc");
        t.text = out.iptc.data();
        t.text_length = out.iptc.size();
    }
}

void writeMetadata(png_structp png, png_infop info, const Metadata& meta, TextChunks& text) {
    // libpng copies all of these, so pointers into `meta` are enough.
    const ByteView exif = blocks::withoutExifHeader(meta.exif);
    if (!exif.empty())
        png_set_eXIf_1(png, info, png_uint_32(exif.size()), const_cast<png_bytep>(exif.data()));
    if (!meta.iccProfile.empty()) // an invalid profile is dropped with a warning
        png_set_iCCP(png, info, "ICC profile", PNG_COMPRESSION_TYPE_BASE, meta.iccProfile.data(),
            png_uint_32(meta.iccProfile.size()));
    if (text.count) png_set_text(png, info, text.texts, text.count);
}

std::vector<png_color> pngPalette(const png_rows::Target& t) {
    std::vector<png_color> pal;
    for (const Rgb& c : t.palette)
        pal.push_back({ c.r, c.g, c.b });
    return pal;
}

png_uint_32 pixelsPerMetre(double dpi) {
    return png_uint_32(std::clamp(std::lround(dpi / kMetresPerInch), 1L, 0x7FFFFFFFL));
}

void writeHeader(png_structp png, png_infop info, const Bitmap& bmp, const png_rows::Target& t,
    const std::vector<png_color>& pal, const FormatParams& params) {
    png_set_IHDR(png, info, png_uint_32(bmp.width()), png_uint_32(bmp.height()), t.bitDepth,
        t.colorType, params.pngInterlace ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
        PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
    if (t.colorType == PNG_COLOR_TYPE_PALETTE) {
        png_set_PLTE(png, info, pal.data(), int(pal.size()));
        if (!t.trns.empty()) png_set_tRNS(png, info, t.trns.data(), int(t.trns.size()), nullptr);
    }
    const double dpiX = params.dpiX > 0 ? params.dpiX : bmp.dpiX();
    const double dpiY = params.dpiY > 0 ? params.dpiY : bmp.dpiY();
    png_set_pHYs(png, info, pixelsPerMetre(dpiX), pixelsPerMetre(dpiY), PNG_RESOLUTION_METER);
    png_set_compression_level(png, std::clamp(params.pngCompression, 0, 9));
}

/// Interlaced rows through libpng, which visits every row again in each pass.
void writeInterlacedRows(PngSession& s, const Bitmap& bmp, const png_rows::Target& t) {
    png_structp png = s.png();
    int passes = 1;
    s.run([&] {
        png_set_compression_strategy(png, Z_DEFAULT_STRATEGY);
        passes = png_set_interlace_handling(png);
    });
    std::vector<std::uint8_t> buffer(png_rows::targetRowBytes(t, bmp.width()));
    for (int pass = 0; pass < passes; ++pass)
        for (int y = 0; y < bmp.height(); ++y) {
            const std::uint8_t* row = png_rows::packRow(bmp, y, t, buffer.data());
            s.run([&] { png_write_row(png, row); });
        }
    // No info here: it would write eXIf a second time after the pixel data.
    s.run([&] { png_write_end(png, nullptr); });
}

/// The filtered rows as one zlib stream, bands of rows compressed on every core (libpng
/// compresses on one).
std::vector<std::uint8_t> compressRows(const Bitmap& bmp, const png_rows::Target& t, int level) {
    const std::size_t rowBytes = png_rows::targetRowBytes(t, bmp.width());
    const int bpp = std::max(1, t.samplesPerPixel() * t.bitDepth / 8);
    // Palettes and sub-byte pixels compress best unfiltered.
    const bool adaptive = t.colorType != PNG_COLOR_TYPE_PALETTE && t.bitDepth >= 8;
    const auto produce = [&](int y0, int y1, std::uint8_t* out) {
        png_filter::RowFilter filter(rowBytes, bpp, adaptive);
        std::vector<std::uint8_t> a(rowBytes), b(rowBytes);
        const std::uint8_t* prev = y0 > 0 ? png_rows::packRow(bmp, y0 - 1, t, a.data()) : nullptr;
        for (int y = y0; y < y1; ++y) {
            std::uint8_t* buffer = prev == a.data() ? b.data() : a.data();
            const std::uint8_t* row = png_rows::packRow(bmp, y, t, buffer);
            filter.filter(row, prev, out + std::size_t(y - y0) * (rowBytes + 1));
            prev = row;
        }
    };
    return deflateRows(bmp.height(), rowBytes + 1, produce, level);
}

/// Writes the compressed image as IDAT chunks, then the closing IEND.
void writeImageData(PngSession& s, const std::vector<std::uint8_t>& stream) {
    constexpr std::size_t kChunkBytes = 1u << 18;
    png_structp png = s.png();
    s.run([&] {
        for (std::size_t pos = 0; pos < stream.size(); pos += kChunkBytes)
            png_write_chunk(png, reinterpret_cast<png_const_bytep>("IDAT"), stream.data() + pos,
                std::min(kChunkBytes, stream.size() - pos));
        png_write_chunk(png, reinterpret_cast<png_const_bytep>("IEND"), nullptr, 0);
    });
}

class PngCodec final : public Codec {
public:
    std::string name() const override { return "PNG"; }
    std::vector<std::string> extensions() const override { return { ".png" }; }
    bool matches(std::span<const std::uint8_t> head) const override {
        return head.size() >= 8 && png_sig_cmp(head.data(), 0, 8) == 0;
    }
    bool embedsMetadata() const override { return true; }

    DecodedImage read(const std::string& path, const ReadOptions&) const override;
    void write(const std::string& path, const Bitmap& bitmap, const FormatParams& params,
        const Metadata& metadata) const override;
};

DecodedImage PngCodec::read(const std::string& path, const ReadOptions&) const {
    StdioFile file(path, "rb");
    std::uint8_t sig[8] = {};
    if (std::fread(sig, 1, 8, file.get()) != 8 || png_sig_cmp(sig, 0, 8) != 0)
        throw Error("Not a PNG file");
    PngSession s(true, "Corrupt or truncated PNG file");
    png_structp png = s.png();
    png_infop info = s.info();
    png_rows::Layout layout;
    s.run([&] {
        png_init_io(png, file.get());
        png_set_sig_bytes(png, 8);
        png_set_user_limits(png, Plane::kMaxSide, Plane::kMaxSide);
        png_read_info(png, info);
    });
    // Before any allocation: a few bytes of header can claim billions of pixels.
    Plane::checkSize(png_get_image_width(png, info), png_get_image_height(png, info));
    s.run([&] {
        layout = requestLayout(png, info);
        png_set_interlace_handling(png);
        png_read_update_info(png, info);
    });
    DecodedImage out;
    out.bitmap = Bitmap(
        int(png_get_image_width(png, info)), int(png_get_image_height(png, info)), layout.format);
    if (png_get_rowbytes(png, info) != png_rows::fileRowBytes(layout, out.bitmap.width()))
        throw Error("Unsupported PNG sample layout");
    if (layout.format == PixelFormat::Palette8) out.bitmap.setPalette(readPalette(png, info));
    if (layout.alpha || layout.paletteAlpha) out.bitmap.addAlphaPlane();
    readRows(s, layout, out.bitmap);
    if (layout.paletteAlpha) png_rows::alphaFromPalette(paletteAlpha(png, info), out.bitmap);
    s.run([&] { png_read_end(png, info); });
    readDpi(png, info, out.bitmap);
    out.metadata = readMetadata(png, info);
    return out;
}

void PngCodec::write(const std::string& path, const Bitmap& bitmap, const FormatParams& params,
    const Metadata& metadata) const {
    // CMYK has no PNG form; everything else is stored as it is.
    const Bitmap src = bitmap.pixelFormat() == PixelFormat::Cmyk32
        ? convertTo(bitmap, PixelFormat::Rgb24)
        : bitmap;
    const png_rows::Target target = png_rows::chooseTarget(src);
    const std::vector<png_color> palette = pngPalette(target);
    TextChunks text;
    prepareText(metadata, text);
    StdioFile file(path, "wb");
    PngSession s(false, "PNG encoding failed");
    png_structp png = s.png();
    png_infop info = s.info();
    s.run([&] {
        png_init_io(png, file.get());
        writeHeader(png, info, src, target, palette, params);
        writeMetadata(png, info, metadata, text);
        png_write_info(png, info);
    });
    if (params.pngInterlace)
        writeInterlacedRows(s, src, target);
    else
        writeImageData(s, compressRows(src, target, std::clamp(params.pngCompression, 0, 9)));
    file.close();
}

} // namespace

std::shared_ptr<const Codec> makePngCodec() {
    return std::make_shared<PngCodec>();
}

} // namespace ie::io
