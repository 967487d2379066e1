#include "TiffRead.h"

#include "../../imaging/Error.h"
#include "../../imaging/Parallel.h"
#include "TiffHandle.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>

namespace ie::io {

namespace {

// How a directory's samples map onto a bitmap.
struct Layout {
    std::uint32_t width = 0, height = 0;
    int spp = 1, bps = 1;
    std::uint16_t photometric = PHOTOMETRIC_MINISBLACK;
    int colorSamples = 1;
    int alphaIndex = -1; ///< sample holding alpha, -1 when none
    bool associated = false; ///< alpha premultiplied into the colour
    bool invert = false; ///< min-is-white grey
    bool jpegToRgb = false; ///< JPEG-compressed YCbCr that libjpeg turns into RGB
    PixelFormat format = PixelFormat::None; ///< None: decoded through libtiff's RGBA reader
    std::size_t rowBytes = 0; ///< one decoded row, all samples
};

std::uint16_t field16(TIFF* tif, ttag_t tag, std::uint16_t fallback) {
    std::uint16_t v = fallback;
    if (!TIFFGetFieldDefaulted(tif, tag, &v)) return fallback;
    return v;
}

void findAlpha(TIFF* tif, Layout& l) {
    std::uint16_t count = 0;
    std::uint16_t* types = nullptr;
    if (TIFFGetField(tif, TIFFTAG_EXTRASAMPLES, &count, &types) && types) {
        for (int i = 0; i < count; ++i) {
            if (types[i] != EXTRASAMPLE_ASSOCALPHA && types[i] != EXTRASAMPLE_UNASSALPHA) continue;
            const int index = l.spp - count + i;
            if (index < l.colorSamples) return;
            l.alphaIndex = index;
            l.associated = types[i] == EXTRASAMPLE_ASSOCALPHA;
            return;
        }
    } else if (l.photometric == PHOTOMETRIC_RGB && l.spp == 4) {
        // What libtiff itself assumes for four RGB samples without the tag.
        l.alphaIndex = 3;
        l.associated = true;
    }
}

// The bitmap format this directory decodes to sample by sample, or None.
PixelFormat directFormat(TIFF* tif, Layout& l) {
    const std::uint16_t planar = field16(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    const std::uint16_t sampleFormat = field16(tif, TIFFTAG_SAMPLEFORMAT, SAMPLEFORMAT_UINT);
    if ((l.spp > 1 && planar != PLANARCONFIG_CONTIG)
        || (sampleFormat != SAMPLEFORMAT_UINT && sampleFormat != SAMPLEFORMAT_VOID))
        return PixelFormat::None;
    const bool eight = l.bps == 8, sixteen = l.bps == 16;
    switch (l.photometric) {
    case PHOTOMETRIC_MINISWHITE:
    case PHOTOMETRIC_MINISBLACK:
        l.colorSamples = 1;
        l.invert = l.photometric == PHOTOMETRIC_MINISWHITE;
        findAlpha(tif, l);
        if (l.bps == 1 && l.spp == 1) return PixelFormat::Bw1;
        return eight ? PixelFormat::Gray8 : sixteen ? PixelFormat::Gray16 : PixelFormat::None;
    case PHOTOMETRIC_PALETTE:
        l.colorSamples = 1;
        if (l.spp != 1 || (l.bps != 1 && l.bps != 2 && l.bps != 4 && l.bps != 8))
            return PixelFormat::None;
        return PixelFormat::Palette8;
    case PHOTOMETRIC_YCBCR:
        // libjpeg converts JPEG-compressed YCbCr to RGB for us; other YCbCr goes the RGBA way.
        if (field16(tif, TIFFTAG_COMPRESSION, COMPRESSION_NONE) != COMPRESSION_JPEG || !eight
            || l.spp != 3)
            return PixelFormat::None;
        l.jpegToRgb = true;
        TIFFSetField(tif, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
        l.colorSamples = 3;
        return PixelFormat::Rgb24;
    case PHOTOMETRIC_RGB:
        l.colorSamples = 3;
        if (l.spp < 3) return PixelFormat::None;
        findAlpha(tif, l);
        return eight ? PixelFormat::Rgb24 : sixteen ? PixelFormat::Rgb48 : PixelFormat::None;
    case PHOTOMETRIC_SEPARATED:
        l.colorSamples = 4;
        if (field16(tif, TIFFTAG_INKSET, INKSET_CMYK) != INKSET_CMYK || l.spp < 4 || !eight)
            return PixelFormat::None;
        findAlpha(tif, l);
        return PixelFormat::Cmyk32;
    default:
        return PixelFormat::None;
    }
}

Layout readLayout(TIFF* tif) {
    Layout l;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &l.width);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &l.height);
    l.spp = field16(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
    l.bps = field16(tif, TIFFTAG_BITSPERSAMPLE, 1);
    l.photometric = field16(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
    Plane::checkSize(l.width, l.height);
    l.format = directFormat(tif, l);
    l.rowBytes = (std::size_t(l.width) * l.spp * l.bps + 7) / 8;
    // Guard against layouts where libtiff's idea of a row differs from ours.
    if (l.format != PixelFormat::None && std::uint64_t(TIFFScanlineSize64(tif)) != l.rowBytes)
        l.format = PixelFormat::None;
    return l;
}

// Strips, or rows of tiles: the units libtiff decodes, each a band of whole image rows.
struct Bands {
    bool tiled = false;
    std::uint32_t rows = 1; ///< image rows per band
    std::uint32_t tileWidth = 0;
    std::size_t tileRowBytes = 0;
    int count = 0;
};

Bands stripBands(const TiffHandle& t, const Layout& l) {
    Bands b;
    b.rows = l.height;
    TIFFGetFieldDefaulted(t.get(), TIFFTAG_ROWSPERSTRIP, &b.rows);
    b.rows = std::clamp<std::uint32_t>(b.rows, 1, l.height);
    b.count = int((l.height + b.rows - 1) / b.rows);
    if (TIFFNumberOfStrips(t.get()) < std::uint32_t(b.count))
        t.fail("the TIFF file lacks image strips");
    return b;
}

Bands tileBands(const TiffHandle& t, const Layout& l) {
    Bands b;
    b.tiled = true;
    std::uint32_t tw = 0, th = 0;
    TIFFGetField(t.get(), TIFFTAG_TILEWIDTH, &tw);
    TIFFGetField(t.get(), TIFFTAG_TILELENGTH, &th);
    if (tw == 0 || th == 0 || tw > Plane::kMaxSide || th > Plane::kMaxSide
        || (std::size_t(tw) * l.spp * l.bps) % 8 != 0)
        t.fail("the TIFF tile size is invalid");
    b.tileWidth = tw;
    b.rows = std::min(th, l.height);
    b.tileRowBytes = std::size_t(tw) * l.spp * l.bps / 8;
    if (std::uint64_t(TIFFTileRowSize64(t.get())) != b.tileRowBytes)
        t.fail("the TIFF tile layout is not supported");
    b.count = int((l.height + th - 1) / th);
    return b;
}

using BandFn = std::function<void(int y0, int rows, const std::uint8_t* data)>;

void readStrips(
    const TiffHandle& t, const Layout& l, const Bands& g, int b0, int b1, const BandFn& onBand) {
    std::vector<std::uint8_t> buf(std::size_t(g.rows) * l.rowBytes);
    for (int s = b0; s < b1; ++s) {
        const int y0 = int(std::uint32_t(s) * g.rows);
        const int rows = int(std::min<std::uint32_t>(g.rows, l.height - y0));
        const auto want = tmsize_t(rows * l.rowBytes);
        if (TIFFReadEncodedStrip(t.get(), std::uint32_t(s), buf.data(), want) != want)
            t.fail("the image data is damaged or truncated (strip " + std::to_string(s) + ")");
        onBand(y0, rows, buf.data());
    }
}

void readTiles(
    const TiffHandle& t, const Layout& l, const Bands& g, int b0, int b1, const BandFn& onBand) {
    // Tiles hold whole tile rows even where the image ends.
    std::uint32_t th = 0;
    TIFFGetField(t.get(), TIFFTAG_TILELENGTH, &th);
    std::vector<std::uint8_t> tile(g.tileRowBytes * th);
    std::vector<std::uint8_t> band(l.rowBytes * g.rows);
    for (int b = b0; b < b1; ++b) {
        const std::uint32_t y0 = std::uint32_t(b) * th;
        const std::uint32_t rows = std::min(th, l.height - y0);
        for (std::uint32_t x0 = 0; x0 < l.width; x0 += g.tileWidth) {
            if (TIFFReadTile(t.get(), tile.data(), x0, y0, 0, 0) < 0)
                t.fail("the image data is damaged or truncated (tile at " + std::to_string(x0)
                    + ", " + std::to_string(y0) + ")");
            const std::size_t offset = std::size_t(x0) * l.spp * l.bps / 8;
            const std::size_t bytes = std::min(g.tileRowBytes, l.rowBytes - offset);
            for (std::uint32_t r = 0; r < rows; ++r)
                std::memcpy(
                    band.data() + r * l.rowBytes + offset, tile.data() + r * g.tileRowBytes, bytes);
        }
        onBand(int(y0), int(rows), band.data());
    }
}

void readBands(
    const TiffHandle& t, const Layout& l, const Bands& g, int b0, int b1, const BandFn& onBand) {
    if (g.tiled)
        readTiles(t, l, g, b0, b1, onBand);
    else
        readStrips(t, l, g, b0, b1, onBand);
}

template <typename T> std::uint8_t alpha8(unsigned v) {
    if constexpr (sizeof(T) == 1)
        return std::uint8_t(v);
    else
        return std::uint8_t((v + 128) / 257);
}

// Picks the colour samples (and alpha) out of interleaved samples, undoing inversion and
// premultiplication.
template <typename T>
void splitRow(
    const Layout& l, const std::uint8_t* srcBytes, std::uint8_t* dstBytes, std::uint8_t* alpha) {
    constexpr std::uint64_t maxV = std::numeric_limits<T>::max();
    const auto* src = reinterpret_cast<const T*>(srcBytes);
    auto* dst = reinterpret_cast<T*>(dstBytes);
    const int spp = l.spp, cs = l.colorSamples;
    for (std::uint32_t x = 0; x < l.width; ++x) {
        const T* p = src + std::size_t(x) * spp;
        T* q = dst + std::size_t(x) * cs;
        const std::uint64_t a = l.alphaIndex >= 0 ? p[l.alphaIndex] : maxV;
        for (int c = 0; c < cs; ++c) {
            std::uint64_t v = l.invert ? maxV - p[c] : p[c];
            if (l.associated && a < maxV) v = a == 0 ? 0 : std::min(maxV, (v * maxV + a / 2) / a);
            q[c] = T(v);
        }
        if (alpha) alpha[x] = alpha8<T>(unsigned(a));
    }
}

void unpackIndices(const std::uint8_t* src, int bps, std::uint32_t width, std::uint8_t* dst) {
    const int perByte = 8 / bps, mask = (1 << bps) - 1;
    for (std::uint32_t x = 0; x < width; ++x)
        dst[x] = std::uint8_t((src[x / perByte] >> (8 - bps * (int(x % perByte) + 1))) & mask);
}

void convertRow(const Layout& l, const std::uint8_t* src, Bitmap& bmp, int y) {
    std::uint8_t* dst = bmp.mutableScanline(y);
    std::uint8_t* alpha = bmp.hasAlphaPlane() ? bmp.mutableAlphaLine(y) : nullptr;
    const bool plain = l.spp == l.colorSamples && !l.invert && l.alphaIndex < 0;
    if (l.format == PixelFormat::Palette8 && l.bps < 8) {
        unpackIndices(src, l.bps, l.width, dst);
    } else if (plain || l.format == PixelFormat::Bw1) {
        std::memcpy(dst, src, bmp.rowBytes());
        if (l.invert)
            for (std::size_t i = 0; i < bmp.rowBytes(); ++i)
                dst[i] = std::uint8_t(~dst[i]);
    } else if (l.bps == 16) {
        splitRow<std::uint16_t>(l, src, dst, alpha);
    } else {
        splitRow<std::uint8_t>(l, src, dst, alpha);
    }
}

std::vector<Rgb> readColormap(const TiffHandle& t, int bps) {
    std::uint16_t *r = nullptr, *g = nullptr, *b = nullptr;
    if (!TIFFGetField(t.get(), TIFFTAG_COLORMAP, &r, &g, &b) || !r || !g || !b)
        t.fail("the paletted TIFF has no colour map");
    const int n = 1 << bps;
    // Some writers store 8-bit values in the 16-bit map.
    bool eightBit = true;
    for (int i = 0; i < n; ++i)
        if (r[i] > 255 || g[i] > 255 || b[i] > 255) eightBit = false;
    auto scale = [eightBit](std::uint16_t v) {
        return std::uint8_t(eightBit ? v : (unsigned(v) + 128) / 257);
    };
    std::vector<Rgb> pal(n);
    for (int i = 0; i < n; ++i)
        pal[i] = { scale(r[i]), scale(g[i]), scale(b[i]) };
    return pal;
}

// Another handle on the same page, for a worker thread.
void openPageAgain(TiffHandle& own, int pageIndex, const Layout& l) {
    if (!TIFFSetDirectory(own.get(), tdir_t(pageIndex)))
        own.fail("the TIFF page could not be read");
    if (l.jpegToRgb) TIFFSetField(own.get(), TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
}

Bitmap decodeDirect(const TiffHandle& t, int pageIndex, const Layout& l) {
    Bitmap bmp(int(l.width), int(l.height), l.format);
    if (l.alphaIndex >= 0) bmp.addAlphaPlane();
    if (l.format == PixelFormat::Palette8) bmp.setPalette(readColormap(t, l.bps));
    const Bands bands = TIFFIsTiled(t.get()) ? tileBands(t, l) : stripBands(t, l);
    auto convertBand = [&](int y0, int rows, const std::uint8_t* data) {
        for (int r = 0; r < rows; ++r)
            convertRow(l, data + std::size_t(r) * l.rowBytes, bmp, y0 + r);
    };
    if (bands.count < 4 || threadCount() < 2) {
        readBands(t, l, bands, 0, bands.count, [&](int y0, int rows, const std::uint8_t* data) {
            parallelFor(0, rows, [&](int r0, int r1) {
                convertBand(y0 + r0, r1 - r0, data + std::size_t(r0) * l.rowBytes);
            });
        });
        return bmp;
    }
    // Decompression is the heavy part: each worker decodes its bands through its own handle.
    parallelFor(
        0, bands.count,
        [&](int b0, int b1) {
            TiffHandle own(t.path(), "r");
            openPageAgain(own, pageIndex, l);
            readBands(own, l, bands, b0, b1, convertBand);
        },
        1);
    return bmp;
}

// Everything else (old JPEG, YCbCr, Lab, 2- and 4-bit grey, separate planes...) through
// libtiff's RGBA reader, which gives premultiplied 8-bit samples.
Bitmap decodeRgba(const TiffHandle& t, const Layout& l) {
    TIFF* tif = t.get();
    char message[1024] = {};
    if (!TIFFRGBAImageOK(tif, message))
        throw Error(std::string("this kind of TIFF image is not supported (") + message + ")");
    std::vector<std::uint32_t> raster(std::size_t(l.width) * l.height);
    // Asking for the stored orientation keeps rows as stored, like the direct path.
    const std::uint16_t orientation = field16(tif, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
    if (!TIFFReadRGBAImageOriented(tif, l.width, l.height, raster.data(), orientation, 1))
        t.fail("the image data is damaged or truncated");
    const bool opaque = std::all_of(
        raster.begin(), raster.end(), [](std::uint32_t p) { return TIFFGetA(p) == 255; });
    Bitmap bmp(int(l.width), int(l.height), PixelFormat::Rgb24);
    if (!opaque) bmp.addAlphaPlane();
    parallelFor(0, int(l.height), [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            const std::uint32_t* src = raster.data() + std::size_t(y) * l.width;
            std::uint8_t* dst = bmp.mutableScanline(y);
            std::uint8_t* alpha = opaque ? nullptr : bmp.mutableAlphaLine(y);
            for (std::uint32_t x = 0; x < l.width; ++x) {
                const std::uint32_t p = src[x];
                const unsigned a = TIFFGetA(p);
                const unsigned c[3] = { TIFFGetR(p), TIFFGetG(p), TIFFGetB(p) };
                for (int k = 0; k < 3; ++k)
                    dst[x * 3 + k] = std::uint8_t(a == 255 ? c[k]
                            : a == 0                       ? 0
                                     : std::min(255u, (c[k] * 255 + a / 2) / a));
                if (alpha) alpha[x] = std::uint8_t(a);
            }
        }
    });
    return bmp;
}

void readResolution(TIFF* tif, Bitmap& bmp) {
    float xres = 0, yres = 0;
    if (!TIFFGetField(tif, TIFFTAG_XRESOLUTION, &xres)
        || !TIFFGetField(tif, TIFFTAG_YRESOLUTION, &yres))
        return;
    const std::uint16_t unit = field16(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
    const double factor = unit == RESUNIT_CENTIMETER ? 2.54 : unit == RESUNIT_INCH ? 1.0 : 0.0;
    if (factor > 0 && std::isfinite(xres) && std::isfinite(yres) && xres > 0 && yres > 0)
        bmp.setDpi(xres * factor, yres * factor);
}

std::vector<std::uint8_t> readIcc(TIFF* tif) {
    std::uint32_t size = 0;
    void* data = nullptr;
    if (!TIFFGetField(tif, TIFFTAG_ICCPROFILE, &size, &data) || !data) return {};
    const auto* p = static_cast<const std::uint8_t*>(data);
    return { p, p + size };
}

std::string pagesWording(int n) {
    return std::to_string(n) + (n == 1 ? " page" : " pages");
}

} // namespace

int tiffPageCount(const std::string& path) {
    TiffHandle t(path, "r");
    return int(TIFFNumberOfDirectories(t.get()));
}

DecodedImage readTiffPage(const std::string& path, int pageIndex) {
    TiffHandle t(path, "r");
    TIFF* tif = t.get();
    if (pageIndex < 0 || !TIFFSetDirectory(tif, tdir_t(pageIndex))) {
        const int pages = int(TIFFNumberOfDirectories(tif));
        if (pageIndex < 0 || pageIndex >= pages)
            throw Error("Page " + std::to_string(pageIndex + 1) + " does not exist in " + path
                + " (it has " + pagesWording(pages) + ")");
        t.fail("page " + std::to_string(pageIndex + 1) + " could not be read");
    }
    const Layout layout = readLayout(tif);
    DecodedImage out;
    out.bitmap = layout.format != PixelFormat::None ? decodeDirect(t, pageIndex, layout)
                                                    : decodeRgba(t, layout);
    readResolution(tif, out.bitmap);
    // The EXIF of the file describes its first page.
    if (pageIndex == 0) out.metadata = readMetadataFromFile(path);
    if (out.metadata.iccProfile.empty()) out.metadata.iccProfile = readIcc(tif);
    return out;
}

} // namespace ie::io
