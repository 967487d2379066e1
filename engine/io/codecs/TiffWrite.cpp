#include "TiffPages.h"

#include "../../imaging/Convert.h"
#include "../../imaging/Error.h"
#include "../../imaging/Parallel.h"
#include "TiffHandle.h"

#include <algorithm>
#include <cstring>

namespace ie::io {

namespace {

// About this much uncompressed data per strip: few strips to seek, little to buffer.
constexpr std::size_t kStripBytes = 512 * 1024;
// Files beyond this are written as BigTIFF (classic offsets are 32-bit).
constexpr std::uint64_t kClassicLimit = 3'800'000'000ull;

// A page as stored: the bitmap in a format TIFF holds sample by sample, and its tags.
struct PageLayout {
    Bitmap bmp;
    int colorSamples = 1, bps = 8;
    bool alpha = false; ///< an alpha sample follows the colour samples
    bool alphaPlane = false; ///< that alpha comes from the bitmap's plane
    bool invert = false; ///< 1-bit stored min-is-white
    std::uint16_t photometric = PHOTOMETRIC_MINISBLACK;
    std::uint16_t compression = COMPRESSION_LZW;
    bool ycbcr = false; ///< JPEG-compressed RGB stored as YCbCr
    std::size_t rowBytes = 0;
};

// TIFF has no paletted or 1-bit image with alpha that readers agree on: widen those.
Bitmap storable(const Bitmap& src) {
    if (src.hasAlphaPlane() && src.pixelFormat() == PixelFormat::Palette8)
        return convertTo(src, PixelFormat::Rgb24);
    if (src.hasAlphaPlane() && src.pixelFormat() == PixelFormat::Bw1)
        return convertTo(src, PixelFormat::Gray8);
    return src;
}

std::uint16_t compressionFor(TiffCompression c, PixelFormat f) {
    const bool jpegable = f == PixelFormat::Gray8 || f == PixelFormat::Rgb24
        || f == PixelFormat::Rgba32 || f == PixelFormat::Cmyk32;
    switch (c) {
    case TiffCompression::None:
        return COMPRESSION_NONE;
    case TiffCompression::Deflate:
        return COMPRESSION_ADOBE_DEFLATE;
    case TiffCompression::PackBits:
        return COMPRESSION_PACKBITS;
    case TiffCompression::Jpeg:
        return jpegable ? COMPRESSION_JPEG : COMPRESSION_LZW;
    case TiffCompression::Ccitt4:
        return f == PixelFormat::Bw1 ? COMPRESSION_CCITTFAX4 : COMPRESSION_LZW;
    case TiffCompression::Lzw:
        break;
    }
    return COMPRESSION_LZW;
}

std::uint16_t photometricFor(PixelFormat f) {
    switch (f) {
    case PixelFormat::Bw1:
        return PHOTOMETRIC_MINISWHITE; // the fax convention, which CCITT readers expect
    case PixelFormat::Palette8:
        return PHOTOMETRIC_PALETTE;
    case PixelFormat::Rgb24:
    case PixelFormat::Rgba32:
    case PixelFormat::Rgb48:
        return PHOTOMETRIC_RGB;
    case PixelFormat::Cmyk32:
        return PHOTOMETRIC_SEPARATED;
    default:
        return PHOTOMETRIC_MINISBLACK;
    }
}

PageLayout describe(const Bitmap& page, const FormatParams& params) {
    PageLayout l;
    l.bmp = storable(page);
    const PixelFormat f = l.bmp.pixelFormat();
    l.colorSamples = channelCount(f);
    l.bps = bitsPerSample(f);
    l.alphaPlane = l.bmp.hasAlphaPlane();
    l.alpha = l.alphaPlane || f == PixelFormat::Rgba32;
    l.invert = f == PixelFormat::Bw1;
    l.photometric = photometricFor(f);
    l.compression = compressionFor(params.tiffCompression, f);
    l.ycbcr = l.compression == COMPRESSION_JPEG && f == PixelFormat::Rgb24 && !l.alpha;
    l.rowBytes = (std::size_t(l.bmp.width()) * (l.colorSamples + l.alpha) * l.bps + 7) / 8;
    return l;
}

template <typename T>
void interleaveAlpha(const std::uint8_t* colorBytes, const std::uint8_t* alpha, int width,
    int colors, std::uint8_t* dstBytes) {
    const auto* src = reinterpret_cast<const T*>(colorBytes);
    auto* dst = reinterpret_cast<T*>(dstBytes);
    constexpr unsigned scale = sizeof(T) == 1 ? 1 : 257;
    for (int x = 0; x < width; ++x) {
        for (int c = 0; c < colors; ++c)
            *dst++ = *src++;
        *dst++ = T(alpha[x] * scale);
    }
}

void fillRow(const PageLayout& l, int y, std::uint8_t* dst) {
    const std::uint8_t* src = l.bmp.scanline(y);
    if (l.alphaPlane) {
        if (l.bps == 16)
            interleaveAlpha<std::uint16_t>(
                src, l.bmp.alphaLine(y), l.bmp.width(), l.colorSamples, dst);
        else
            interleaveAlpha<std::uint8_t>(
                src, l.bmp.alphaLine(y), l.bmp.width(), l.colorSamples, dst);
        return;
    }
    std::memcpy(dst, src, l.rowBytes);
    if (l.invert)
        for (std::size_t i = 0; i < l.rowBytes; ++i)
            dst[i] = std::uint8_t(~dst[i]);
}

void setColormap(TIFF* tif, const std::vector<Rgb>& palette) {
    std::vector<std::uint16_t> r(256), g(256), b(256);
    for (std::size_t i = 0; i < std::min<std::size_t>(palette.size(), 256); ++i) {
        r[i] = std::uint16_t(palette[i].r * 257);
        g[i] = std::uint16_t(palette[i].g * 257);
        b[i] = std::uint16_t(palette[i].b * 257);
    }
    TIFFSetField(tif, TIFFTAG_COLORMAP, r.data(), g.data(), b.data());
}

int rowsPerStrip(const PageLayout& l) {
    int rows = int(std::max<std::size_t>(1, kStripBytes / std::max<std::size_t>(1, l.rowBytes)));
    // JPEG strips hold whole MCU rows (16 lines with 2x2 chroma subsampling).
    if (l.compression == COMPRESSION_JPEG) rows = (rows + 15) / 16 * 16;
    return std::min(rows, l.bmp.height());
}

// The tags of an image of `height` rows (the whole page, or one strip of it).
void setTags(TIFF* tif, const PageLayout& l, const FormatParams& params, int height) {
    const Bitmap& bmp = l.bmp;
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, std::uint32_t(bmp.width()));
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, std::uint32_t(height));
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, std::uint16_t(l.bps));
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, std::uint16_t(l.colorSamples + l.alpha));
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, l.compression);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, l.ycbcr ? PHOTOMETRIC_YCBCR : l.photometric);
    if (l.alpha) {
        const std::uint16_t extra = EXTRASAMPLE_UNASSALPHA;
        TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, 1, &extra);
    }
    if (l.photometric == PHOTOMETRIC_SEPARATED) TIFFSetField(tif, TIFFTAG_INKSET, INKSET_CMYK);
    if (l.photometric == PHOTOMETRIC_PALETTE) setColormap(tif, bmp.palette());
    if (l.compression == COMPRESSION_JPEG) {
        TIFFSetField(tif, TIFFTAG_JPEGQUALITY, std::clamp(params.tiffJpegQuality, 1, 100));
        if (l.ycbcr) TIFFSetField(tif, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
    }
    const bool predictable = l.bps >= 8 && l.photometric != PHOTOMETRIC_PALETTE;
    if (predictable
        && (l.compression == COMPRESSION_LZW || l.compression == COMPRESSION_ADOBE_DEFLATE))
        TIFFSetField(tif, TIFFTAG_PREDICTOR, PREDICTOR_HORIZONTAL);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, std::uint32_t(std::min(height, rowsPerStrip(l))));
    const double dpiX = params.dpiX > 0 ? params.dpiX : bmp.dpiX();
    const double dpiY = params.dpiY > 0 ? params.dpiY : bmp.dpiY();
    if (dpiX > 0 && dpiY > 0) {
        TIFFSetField(tif, TIFFTAG_XRESOLUTION, dpiX);
        TIFFSetField(tif, TIFFTAG_YRESOLUTION, dpiY);
        TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
    }
}

void fillStrip(const PageLayout& l, int y0, int rows, std::uint8_t* out) {
    for (int r = 0; r < rows; ++r)
        fillRow(l, y0 + r, out + std::size_t(r) * l.rowBytes);
}

void writeStripsSerially(const TiffHandle& h, const PageLayout& l) {
    const int rps = rowsPerStrip(l);
    std::vector<std::uint8_t> strip(std::size_t(rps) * l.rowBytes);
    for (int y0 = 0, s = 0; y0 < l.bmp.height(); y0 += rps, ++s) {
        const int rows = std::min(rps, l.bmp.height() - y0);
        parallelFor(0, rows, [&](int r0, int r1) {
            fillStrip(l, y0 + r0, r1 - r0, strip.data() + std::size_t(r0) * l.rowBytes);
        });
        if (TIFFWriteEncodedStrip(
                h.get(), std::uint32_t(s), strip.data(), tmsize_t(rows * l.rowBytes))
            < 0)
            h.fail("writing the image data failed");
    }
}

// Strips are compressed independently, so workers compress them in private in-memory TIFFs
// (a libtiff handle is not shareable) and the file receives the bytes in order.
std::vector<std::uint8_t> compressStrip(
    const PageLayout& l, const FormatParams& params, std::uint8_t* data, int rows) {
    MemoryTiff memory;
    TiffHandle h(memory);
    setTags(h.get(), l, params, rows);
    if (TIFFWriteEncodedStrip(h.get(), 0, data, tmsize_t(rows * l.rowBytes)) < 0)
        h.fail("compressing the image data failed");
    std::uint64_t *offsets = nullptr, *counts = nullptr;
    if (!TIFFGetField(h.get(), TIFFTAG_STRIPOFFSETS, &offsets)
        || !TIFFGetField(h.get(), TIFFTAG_STRIPBYTECOUNTS, &counts) || !offsets || !counts
        || offsets[0] + counts[0] > memory.bytes.size())
        h.fail("compressing the image data failed");
    const auto begin = memory.bytes.begin() + std::ptrdiff_t(offsets[0]);
    return { begin, begin + std::ptrdiff_t(counts[0]) };
}

void writeStripsInParallel(const TiffHandle& h, const PageLayout& l, const FormatParams& params) {
    const int rps = rowsPerStrip(l);
    const int strips = (l.bmp.height() + rps - 1) / rps;
    // Batches bound the compressed data held before it is written.
    const int batch = 4 * threadCount();
    for (int s0 = 0; s0 < strips; s0 += batch) {
        const int s1 = std::min(strips, s0 + batch);
        std::vector<std::vector<std::uint8_t>> compressed(std::size_t(s1 - s0));
        parallelFor(
            s0, s1,
            [&](int a, int b) {
                std::vector<std::uint8_t> raw(std::size_t(rps) * l.rowBytes);
                for (int s = a; s < b; ++s) {
                    const int y0 = s * rps, rows = std::min(rps, l.bmp.height() - y0);
                    fillStrip(l, y0, rows, raw.data());
                    compressed[std::size_t(s - s0)] = compressStrip(l, params, raw.data(), rows);
                }
            },
            1);
        for (int s = s0; s < s1; ++s) {
            auto& bytes = compressed[std::size_t(s - s0)];
            if (TIFFWriteRawStrip(h.get(), std::uint32_t(s), bytes.data(), tmsize_t(bytes.size()))
                < 0)
                h.fail("writing the image data failed");
        }
    }
}

bool compressesInParallel(const PageLayout& l) {
    // JPEG strips share tables with the directory; the rest are self-contained.
    const bool independent = l.compression == COMPRESSION_LZW
        || l.compression == COMPRESSION_ADOBE_DEFLATE || l.compression == COMPRESSION_PACKBITS;
    return independent && threadCount() > 1 && l.bmp.height() > 2 * rowsPerStrip(l);
}

void writePage(const TiffHandle& h, const Bitmap& page, const FormatParams& params, int index,
    int count, const Metadata& metadata) {
    if (page.isNull()) throw Error("page " + std::to_string(index + 1) + " is empty");
    TIFF* tif = h.get();
    const PageLayout l = describe(page, params);
    setTags(tif, l, params, l.bmp.height());
    if (count > 1) {
        TIFFSetField(tif, TIFFTAG_SUBFILETYPE, FILETYPE_PAGE);
        TIFFSetField(tif, TIFFTAG_PAGENUMBER, std::uint16_t(index), std::uint16_t(count));
    }
    if (index == 0 && !metadata.iccProfile.empty())
        TIFFSetField(tif, TIFFTAG_ICCPROFILE, std::uint32_t(metadata.iccProfile.size()),
            metadata.iccProfile.data());
    if (compressesInParallel(l))
        writeStripsInParallel(h, l, params);
    else
        writeStripsSerially(h, l);
    if (!TIFFWriteDirectory(tif)) h.fail("writing the TIFF directory failed");
}

std::uint64_t estimatedBytes(const std::vector<Bitmap>& pages) {
    std::uint64_t total = 0;
    for (const Bitmap& p : pages)
        total += std::uint64_t(p.rowBytes() + (p.hasAlphaPlane() ? p.width() * 2 : 0)) * p.height();
    return total;
}

} // namespace

void writeTiffPages(const std::string& path, const std::vector<Bitmap>& pages,
    const FormatParams& params, const Metadata& metadata) {
    if (pages.empty()) throw Error("Cannot save " + path + ": there are no pages to write");
    TiffHandle h(path, estimatedBytes(pages) > kClassicLimit ? "w8" : "w");
    for (int i = 0; i < int(pages.size()); ++i)
        writePage(h, pages[i], params, i, int(pages.size()), metadata);
    h.close();
}

} // namespace ie::io
