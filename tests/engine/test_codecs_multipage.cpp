#include "imaging/Error.h"
#include "io/ImageIO.h"
#include "io/codecs/GifFrames.h"
#include "io/codecs/TiffPages.h"
#include "support/TestImages.h"

#include <gif_lib.h>
#include <gtest/gtest.h>
#include <tiffio.h>
#include <webp/encode.h>
#include <webp/mux.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <random>

using namespace ie;
using namespace ie::io;
using vst::test::maxRgbaDiff;
using vst::test::noise;
using vst::test::photoLike;
using vst::test::psnr;
using vst::test::readFile;
using vst::test::scratchDir;
using vst::test::withAlpha;
using vst::test::writeFile;

namespace {

Bitmap roundTrip(const Bitmap& bmp, const std::string& path, const FormatParams& params = {},
    const Metadata& meta = {}) {
    saveImage(path, bmp, params, meta);
    return loadImage(path).bitmap;
}

// Loading must fail with an engine error (never crash, hang or succeed with garbage).
void expectLoadError(const std::string& path) {
    EXPECT_THROW(loadImage(path), Error) << path;
    EXPECT_EQ(imagePageCount(path), 1) << path;
}

// Cuts a valid file at several points, then replaces everything after the signature with
// noise; every variant must be refused cleanly.
void expectDamagedFilesRefused(const std::string& valid, std::size_t signatureBytes) {
    const std::string bytes = readFile(valid);
    const std::string dir = scratchDir("damaged");
    const std::string name = dir + "/f" + extensionOf(valid);
    for (std::size_t cut : { std::size_t(3), signatureBytes + 2, std::size_t(40), bytes.size() / 3,
             bytes.size() / 2, bytes.size() - 40 }) {
        writeFile(name, bytes.substr(0, cut));
        SCOPED_TRACE("cut at " + std::to_string(cut));
        expectLoadError(name);
    }
    std::mt19937 rng(3);
    for (int trial = 0; trial < 4; ++trial) {
        std::string garbage = bytes.substr(0, signatureBytes);
        for (int i = 0; i < 300; ++i)
            garbage += char(rng());
        writeFile(name, garbage);
        SCOPED_TRACE("garbage " + std::to_string(trial));
        expectLoadError(name);
    }
}

// ---------------------------------------------------------------------------------------------
// TIFF

struct TiffCase {
    const char* name;
    std::function<Bitmap()> make;
};

TEST(TiffCodec, LosslessCompressionsKeepEveryFormatBitIdentical) {
    const TiffCase cases[] = {
        { "bw1", [] { return noise(37, 23, PixelFormat::Bw1); } },
        { "palette8", [] { return noise(37, 23, PixelFormat::Palette8); } },
        { "gray8", [] { return noise(37, 23, PixelFormat::Gray8); } },
        { "gray16", [] { return noise(37, 23, PixelFormat::Gray16); } },
        { "rgb24", [] { return noise(37, 23, PixelFormat::Rgb24); } },
        { "rgb48", [] { return noise(37, 23, PixelFormat::Rgb48); } },
        { "cmyk32", [] { return noise(37, 23, PixelFormat::Cmyk32); } },
        { "gray8+alpha", [] { return withAlpha(noise(37, 23, PixelFormat::Gray8)); } },
        { "rgb24+alpha", [] { return withAlpha(noise(37, 23, PixelFormat::Rgb24)); } },
        { "cmyk32+alpha", [] { return withAlpha(noise(37, 23, PixelFormat::Cmyk32)); } },
        // Several strips, 16-bit samples with an alpha sample.
        { "rgb48+alpha, many strips",
            [] { return withAlpha(noise(1001, 300, PixelFormat::Rgb48)); } },
    };
    const TiffCompression compressions[] = { TiffCompression::None, TiffCompression::Lzw,
        TiffCompression::Deflate, TiffCompression::PackBits };
    const std::string dir = scratchDir("tiff-lossless");
    for (const auto& c : cases) {
        const Bitmap src = c.make();
        for (TiffCompression comp : compressions) {
            SCOPED_TRACE(std::string(c.name) + " compression " + std::to_string(int(comp)));
            FormatParams p;
            p.tiffCompression = comp;
            const Bitmap back = roundTrip(src, dir + "/a.tif", p);
            EXPECT_TRUE(back.samePixels(src));
        }
    }
}

TEST(TiffCodec, CompressionsAFormatCannotTakeFallBackToLossless) {
    const std::string dir = scratchDir("tiff-fallback");
    FormatParams p;
    p.tiffCompression = TiffCompression::Ccitt4;
    const Bitmap bw = noise(45, 31, PixelFormat::Bw1);
    EXPECT_TRUE(roundTrip(bw, dir + "/g4.tif", p).samePixels(bw));
    const Bitmap rgb = noise(45, 31, PixelFormat::Rgb24);
    EXPECT_TRUE(roundTrip(rgb, dir + "/g4rgb.tif", p).samePixels(rgb));
    p.tiffCompression = TiffCompression::Jpeg;
    const Bitmap deep = noise(45, 31, PixelFormat::Rgb48);
    EXPECT_TRUE(roundTrip(deep, dir + "/jpeg48.tif", p).samePixels(deep));
    const Bitmap pal = noise(45, 31, PixelFormat::Palette8);
    EXPECT_TRUE(roundTrip(pal, dir + "/jpegpal.tif", p).samePixels(pal));
}

TEST(TiffCodec, JpegCompressionIsCloseAndHonoursQuality) {
    const std::string dir = scratchDir("tiff-jpeg");
    const Bitmap photo = photoLike(203, 141);
    FormatParams p;
    p.tiffCompression = TiffCompression::Jpeg;
    p.tiffJpegQuality = 95;
    const Bitmap good = roundTrip(photo, dir + "/q95.tif", p);
    EXPECT_EQ(good.pixelFormat(), PixelFormat::Rgb24);
    EXPECT_GT(psnr(good, photo), 33);
    const auto goodSize = readFile(dir + "/q95.tif").size();
    p.tiffJpegQuality = 20;
    roundTrip(photo, dir + "/q20.tif", p);
    EXPECT_LT(readFile(dir + "/q20.tif").size(), goodSize);
    // Alpha goes through JPEG beside the colour: kept, and close for smooth alpha.
    Bitmap src = photo;
    src.addAlphaPlane();
    for (int y = 0; y < src.height(); ++y)
        for (int x = 0; x < src.width(); ++x)
            src.mutableAlphaLine(y)[x] = std::uint8_t((x + y) / 2);
    const Bitmap back = roundTrip(src, dir + "/alpha.tif", p);
    ASSERT_TRUE(back.hasAlphaPlane());
    int worst = 0;
    for (int y = 0; y < src.height(); ++y)
        for (int x = 0; x < src.width(); ++x)
            worst = std::max(worst, std::abs(back.alphaLine(y)[x] - src.alphaLine(y)[x]));
    EXPECT_LE(worst, 6);
}

TEST(TiffCodec, InterleavedRgbaAndResolutionSurvive) {
    const std::string dir = scratchDir("tiff-rgba");
    Bitmap rgba = noise(33, 17, PixelFormat::Rgba32);
    rgba.setDpi(300, 150);
    const Bitmap back = roundTrip(rgba, dir + "/rgba.tif");
    EXPECT_EQ(back.pixelFormat(), PixelFormat::Rgb24);
    ASSERT_TRUE(back.hasAlphaPlane());
    EXPECT_EQ(maxRgbaDiff(back, rgba, true), 0);
    EXPECT_DOUBLE_EQ(back.dpiX(), 300);
    EXPECT_DOUBLE_EQ(back.dpiY(), 150);
    FormatParams p;
    p.dpiX = p.dpiY = 96;
    EXPECT_DOUBLE_EQ(roundTrip(rgba, dir + "/96.tif", p).dpiX(), 96);
}

TEST(TiffCodec, PagesAreReachedByIndex) {
    const std::string path = scratchDir("tiff-pages") + "/pages.tif";
    const std::vector<Bitmap> pages = { noise(40, 30, PixelFormat::Rgb24, 1),
        noise(21, 50, PixelFormat::Gray16, 2), withAlpha(noise(64, 8, PixelFormat::Palette8, 3)) };
    writeTiffPages(path, pages, {});
    EXPECT_EQ(imagePageCount(path), 3);
    for (int i = 0; i < 3; ++i) {
        LoadOptions o;
        o.pageIndex = i;
        const LoadedImage img = loadImage(path, o);
        EXPECT_EQ(img.pageCount, 3);
        if (i < 2)
            EXPECT_TRUE(img.bitmap.samePixels(pages[i])) << "page " << i;
        else // paletted with alpha is stored as RGB with alpha
            EXPECT_EQ(maxRgbaDiff(img.bitmap, pages[i], true), 0);
    }
    LoadOptions o;
    o.pageIndex = 4;
    try {
        loadImage(path, o);
        FAIL() << "page 5 loaded";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("Page 5 does not exist"), std::string::npos)
            << e.what();
        EXPECT_NE(std::string(e.what()).find("3 pages"), std::string::npos) << e.what();
    }
    EXPECT_THROW(writeTiffPages(path, {}, {}), Error);
}

// TIFF layouts other programs write, made with libtiff directly.
struct ForeignTiff {
    const char* name;
    int spp, bps;
    std::uint16_t photometric;
    std::vector<std::uint16_t> extra;
    bool tiled = false, bigTiff = false, separate = false;
    std::function<std::uint8_t(int x, int y, int s)> sample; ///< sample value (8-bit or less)
    std::function<Rgba(int x, int y)> expected;
    int tolerance = 0;
};

constexpr int kW = 37, kH = 23;

std::uint8_t pattern(int x, int y, int s) {
    return std::uint8_t(x * 7 + y * 13 + s * 61);
}

// Packs samples MSB first into rows (as libtiff expects for contiguous data).
std::vector<std::uint8_t> packRows(const ForeignTiff& t, int samplesPerRow, int plane) {
    const std::size_t rowBytes = (std::size_t(samplesPerRow) * t.bps + 7) / 8;
    std::vector<std::uint8_t> data(rowBytes * kH, 0);
    for (int y = 0; y < kH; ++y)
        for (int i = 0; i < samplesPerRow; ++i) {
            const int spp = samplesPerRow / kW;
            const int x = i / spp, s = plane >= 0 ? plane : i % spp;
            const unsigned v = t.sample(x, y, s) & ((1u << t.bps) - 1);
            const std::size_t bit = std::size_t(i) * t.bps;
            data[y * rowBytes + bit / 8] |= std::uint8_t(v << (8 - t.bps - bit % 8));
        }
    return data;
}

void writeForeign(const std::string& path, const ForeignTiff& t) {
    TIFF* tif = TIFFOpen(path.c_str(), t.bigTiff ? "w8" : "w");
    ASSERT_NE(tif, nullptr);
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, kW);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, kH);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, t.spp);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, t.bps);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, t.photometric);
    TIFFSetField(
        tif, TIFFTAG_PLANARCONFIG, t.separate ? PLANARCONFIG_SEPARATE : PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
    if (!t.extra.empty())
        TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, std::uint16_t(t.extra.size()), t.extra.data());
    if (t.photometric == PHOTOMETRIC_PALETTE) {
        std::vector<std::uint16_t> r(1 << t.bps), g(r.size()), b(r.size());
        for (std::size_t i = 0; i < r.size(); ++i) {
            r[i] = std::uint16_t(i * 4000);
            g[i] = std::uint16_t(65535 - i * 3000);
            b[i] = std::uint16_t(i * 257);
        }
        TIFFSetField(tif, TIFFTAG_COLORMAP, r.data(), g.data(), b.data());
    }
    if (t.tiled) {
        TIFFSetField(tif, TIFFTAG_TILEWIDTH, 16);
        TIFFSetField(tif, TIFFTAG_TILELENGTH, 16);
        const auto rows = packRows(t, kW * t.spp, -1);
        const std::size_t rowBytes = rows.size() / kH;
        std::vector<std::uint8_t> tile(std::size_t(TIFFTileSize(tif)));
        for (int ty = 0; ty < kH; ty += 16)
            for (int tx = 0; tx < kW; tx += 16) {
                std::fill(tile.begin(), tile.end(), 0);
                const std::size_t tileRow = 16 * std::size_t(t.spp) * t.bps / 8;
                for (int r = 0; r < 16 && ty + r < kH; ++r) {
                    const std::size_t off = std::size_t(tx) * t.spp * t.bps / 8;
                    std::memcpy(tile.data() + r * tileRow, rows.data() + (ty + r) * rowBytes + off,
                        std::min(tileRow, rowBytes - off));
                }
                ASSERT_GE(TIFFWriteTile(tif, tile.data(), tx, ty, 0, 0), 0);
            }
    } else {
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, 5);
        for (int plane = 0; plane < (t.separate ? t.spp : 1); ++plane) {
            const auto rows = packRows(t, t.separate ? kW : kW * t.spp, t.separate ? plane : -1);
            const std::size_t rowBytes = rows.size() / kH;
            for (int y = 0; y < kH; ++y)
                ASSERT_GE(
                    TIFFWriteScanline(tif, const_cast<std::uint8_t*>(rows.data() + y * rowBytes),
                        std::uint32_t(y), std::uint16_t(plane)),
                    0);
        }
    }
    TIFFClose(tif);
}

TEST(TiffCodec, ReadsLayoutsOtherWritersProduce) {
    auto grey = [](std::uint8_t v) { return Rgba { v, v, v, 255 }; };
    auto rgb = [](int x, int y) {
        return Rgba { pattern(x, y, 0), pattern(x, y, 1), pattern(x, y, 2), 255 };
    };
    // Premultiplied samples: colour c under alpha a is stored as c * a / 255.
    auto premulAlpha = [](int x, int y) { return std::uint8_t(128 + (x * 5 + y) % 128); };
    auto premulColor
        = [](int x, int y, int s) { return std::uint8_t((x * 11 + y * 3 + s * 50) % 256); };
    const ForeignTiff cases[] = {
        { "tiled rgb", 3, 8, PHOTOMETRIC_RGB, {}, true, false, false, pattern, rgb },
        { "bigtiff rgb", 3, 8, PHOTOMETRIC_RGB, {}, false, true, false, pattern, rgb },
        { "separate planes", 3, 8, PHOTOMETRIC_RGB, {}, false, false, true, pattern, rgb },
        { "min-is-white grey", 1, 8, PHOTOMETRIC_MINISWHITE, {}, false, false, false, pattern,
            [&](int x, int y) { return grey(std::uint8_t(255 - pattern(x, y, 0))); } },
        { "4-bit grey", 1, 4, PHOTOMETRIC_MINISBLACK, {}, false, false, false, pattern,
            [&](int x, int y) { return grey(std::uint8_t((pattern(x, y, 0) & 15) * 17)); } },
        { "4-bit palette", 1, 4, PHOTOMETRIC_PALETTE, {}, true, false, false, pattern,
            [](int x, int y) {
                const int i = pattern(x, y, 0) & 15;
                return Rgba { std::uint8_t((i * 4000 + 128) / 257),
                    std::uint8_t((65535 - i * 3000 + 128) / 257), std::uint8_t(i), 255 };
            } },
        { "associated alpha", 4, 8, PHOTOMETRIC_RGB, { EXTRASAMPLE_ASSOCALPHA }, false, false,
            false,
            [&](int x, int y, int s) {
                const int a = premulAlpha(x, y);
                return s == 3 ? std::uint8_t(a) : std::uint8_t(premulColor(x, y, s) * a / 255);
            },
            [&](int x, int y) {
                return Rgba { premulColor(x, y, 0), premulColor(x, y, 1), premulColor(x, y, 2),
                    premulAlpha(x, y) };
            },
            2 },
    };
    const std::string dir = scratchDir("tiff-foreign");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir + "/f.tif";
        writeForeign(path, c);
        const Bitmap back = loadImage(path).bitmap;
        ASSERT_EQ(back.width(), kW);
        ASSERT_EQ(back.height(), kH);
        int worst = 0;
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) {
                const Rgba p = back.pixel(x, y), q = c.expected(x, y);
                worst = std::max({ worst, std::abs(p.r - q.r), std::abs(p.g - q.g),
                    std::abs(p.b - q.b), std::abs(p.a - q.a) });
            }
        EXPECT_LE(worst, c.tolerance);
    }
}

TEST(TiffCodec, DamagedFilesAreRefused) {
    const std::string path = scratchDir("tiff-damaged") + "/ok.tif";
    saveImage(path, noise(64, 64, PixelFormat::Rgb24));
    expectDamagedFilesRefused(path, 4);
}

// ---------------------------------------------------------------------------------------------
// GIF

Bitmap palettedNoise(int w, int h, int colors, unsigned seed) {
    Bitmap bmp = noise(w, h, PixelFormat::Palette8, seed);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            bmp.mutableScanline(y)[x] = std::uint8_t(bmp.scanline(y)[x] % colors);
    auto pal = bmp.palette();
    pal.resize(std::size_t(colors));
    bmp.setPalette(pal);
    return bmp;
}

TEST(GifCodec, SingleFramePaletteRoundTripIsIdentical) {
    const std::string dir = scratchDir("gif-single");
    for (int colors : { 256, 16, 2 }) {
        SCOPED_TRACE(colors);
        const Bitmap src = palettedNoise(41, 29, colors, unsigned(colors));
        saveImage(dir + "/a.gif", src);
        const LoadedImage back = loadImage(dir + "/a.gif");
        EXPECT_TRUE(back.bitmap.samePixels(src));
        EXPECT_EQ(back.pageCount, 1);
    }
}

TEST(GifCodec, AnimationFramesComeBackWhole) {
    const std::string path = scratchDir("gif-anim") + "/anim.gif";
    Bitmap f0 = palettedNoise(30, 20, 16, 1), f1 = palettedNoise(30, 20, 16, 2),
           f2 = palettedNoise(30, 20, 16, 3);
    f1.addAlphaPlane();
    f1.fillRect({ 5, 4, 10, 6 }, { 0, 0, 0, 0 }); // a transparent hole
    writeGifFrames(path, { f0, f1, f2 }, {});
    EXPECT_EQ(imagePageCount(path), 3);
    LoadOptions o;
    o.pageIndex = 1;
    const Bitmap back1 = loadImage(path, o).bitmap;
    ASSERT_TRUE(back1.hasAlphaPlane());
    // Frame 0 was cleared: the hole shows nothing, the rest is frame 1.
    EXPECT_EQ(maxRgbaDiff(back1, f1, true), 0);
    EXPECT_EQ(back1.pixel(7, 5).a, 0);
    o.pageIndex = 2;
    EXPECT_TRUE(loadImage(path, o).bitmap.samePixels(f2));
    o.pageIndex = 3;
    try {
        loadImage(path, o);
        FAIL() << "frame 4 loaded";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("(it has 3 frames)"), std::string::npos) << e.what();
    }
}

// A GIF made the way other encoders do it: sub-rectangles, every disposal mode, a frame running
// off the screen.
void writeComposedGif(const std::string& path) {
    int err = 0;
    GifFileType* g = EGifOpenFileName(path.c_str(), false, &err);
    ASSERT_NE(g, nullptr);
    EGifSetGifVersion(g, true);
    GifColorType colors[4] = { { 0, 0, 0 }, { 255, 0, 0 }, { 0, 255, 0 }, { 0, 0, 255 } };
    ColorMapObject* map = GifMakeMapObject(4, colors);
    EGifPutScreenDesc(g, 8, 8, 2, 0, map);
    struct Sub {
        int x, y, w, h, index, disposal, transparent;
    };
    const Sub subs[] = {
        { 0, 0, 8, 8, 1, DISPOSE_DO_NOT, NO_TRANSPARENT_COLOR }, // red screen
        { 2, 2, 3, 3, 2, DISPOSE_PREVIOUS, NO_TRANSPARENT_COLOR }, // green, then undone
        { 5, 5, 6, 6, 3, DISPOSE_BACKGROUND, 0 }, // blue, clipped, pixel (5,5) transparent
        { 0, 0, 2, 2, 2, DISPOSE_DO_NOT, NO_TRANSPARENT_COLOR }, // green corner
    };
    for (const Sub& s : subs) {
        GraphicsControlBlock gcb { s.disposal, false, 10, s.transparent };
        GifByteType ext[4];
        EGifGCBToExtension(&gcb, ext);
        EGifPutExtension(g, GRAPHICS_EXT_FUNC_CODE, 4, ext);
        EGifPutImageDesc(g, s.x, s.y, s.w, s.h, false, nullptr);
        std::vector<GifPixelType> line(std::size_t(s.w));
        for (int y = 0; y < s.h; ++y) {
            for (int x = 0; x < s.w; ++x)
                line[x] = GifPixelType(s.transparent >= 0 && x == 0 && y == 0 ? 0 : s.index);
            EGifPutLine(g, line.data(), s.w);
        }
    }
    GifFreeMapObject(map);
    ASSERT_EQ(EGifCloseFile(g, &err), GIF_OK);
}

TEST(GifCodec, FramesAreComposedWithOffsetsAndDisposal) {
    const std::string path = scratchDir("gif-compose") + "/c.gif";
    writeComposedGif(path);
    EXPECT_EQ(imagePageCount(path), 4);
    const Rgba red { 255, 0, 0, 255 }, green { 0, 255, 0, 255 }, blue { 0, 0, 255, 255 },
        clear { 0, 0, 0, 0 };
    auto inRect = [](int x, int y, int x0, int y0, int x1, int y1) {
        return x >= x0 && x < x1 && y >= y0 && y < y1;
    };
    const std::function<Rgba(int, int)> expected[] = {
        [&](int, int) { return red; },
        [&](int x, int y) { return inRect(x, y, 2, 2, 5, 5) ? green : red; },
        [&](int x, int y) { return inRect(x, y, 5, 5, 8, 8) && !(x == 5 && y == 5) ? blue : red; },
        [&](int x, int y) {
            return inRect(x, y, 0, 0, 2, 2) ? green : inRect(x, y, 5, 5, 8, 8) ? clear : red;
        },
    };
    for (int i = 0; i < 4; ++i) {
        LoadOptions o;
        o.pageIndex = i;
        const Bitmap b = loadImage(path, o).bitmap;
        ASSERT_EQ(b.width(), 8);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) {
                Rgba got = b.pixel(x, y);
                if (got.a == 0) got = clear;
                ASSERT_EQ(got, expected[i](x, y)) << "frame " << i << " at " << x << "," << y;
            }
    }
}

TEST(GifCodec, TrueColourIsQuantizedAndAlphaThresholded) {
    const std::string dir = scratchDir("gif-quant");
    const Bitmap photo = photoLike(120, 90);
    EXPECT_GT(psnr(roundTrip(photo, dir + "/photo.gif"), photo), 25);
    Bitmap rgba = photoLike(40, 30, PixelFormat::Rgba32);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            rgba.mutableScanline(y)[x * 4 + 3] = std::uint8_t(x * 6);
    FormatParams p;
    p.gifTransparentThreshold = 100;
    const Bitmap back = roundTrip(rgba, dir + "/alpha.gif", p);
    ASSERT_TRUE(back.hasAlphaPlane());
    for (int x = 0; x < 40; ++x)
        EXPECT_EQ(back.pixel(x, 10).a, x * 6 < 100 ? 0 : 255) << x;
}

TEST(GifCodec, DamagedFilesAreRefused) {
    const std::string path = scratchDir("gif-damaged") + "/ok.gif";
    saveImage(path, noise(64, 64, PixelFormat::Palette8));
    expectDamagedFilesRefused(path, 6);
}

// ---------------------------------------------------------------------------------------------
// WebP

TEST(WebpCodec, LosslessIsBitIdenticalWithAndWithoutAlpha) {
    const std::string dir = scratchDir("webp-lossless");
    FormatParams p;
    p.webpLossless = true;
    p.webpQuality = 20; // effort: keeps the test quick
    Bitmap holes = withAlpha(noise(67, 45, PixelFormat::Rgb24));
    holes.mutableAlphaLine(3)[4] = 0; // colour under full transparency must survive too
    for (const Bitmap& src : { noise(67, 45, PixelFormat::Rgb24), holes }) {
        const Bitmap back = roundTrip(src, dir + "/a.webp", p);
        EXPECT_TRUE(back.samePixels(src)) << "alpha " << src.hasAlphaPlane();
    }
}

TEST(WebpCodec, LossyIsCloseAndKeepsAlpha) {
    const std::string dir = scratchDir("webp-lossy");
    const Bitmap photo = photoLike(256, 192);
    const Bitmap back = roundTrip(photo, dir + "/a.webp");
    EXPECT_EQ(back.pixelFormat(), PixelFormat::Rgb24);
    EXPECT_FALSE(back.hasAlphaPlane());
    EXPECT_GT(psnr(back, photo), 30);
    Bitmap withHole = photo;
    withHole.addAlphaPlane();
    withHole.fillRect({ 10, 10, 50, 40 }, { 0, 0, 0, 0 });
    const Bitmap alpha = roundTrip(withHole, dir + "/alpha.webp");
    ASSERT_TRUE(alpha.hasAlphaPlane());
    EXPECT_EQ(alpha.pixel(20, 20).a, 0);
    EXPECT_EQ(alpha.pixel(100, 100).a, 255);
}

TEST(WebpCodec, MetadataChunksRoundTrip) {
    const std::string path = scratchDir("webp-meta") + "/m.webp";
    Metadata meta;
    meta.exif = { 'I', 'I', 42, 0, 8, 0, 0, 0, 0, 0, 0, 0, 0, 0 }; // empty IFD0
    meta.xmp = "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\"></x:xmpmeta>";
    meta.iccProfile = std::vector<std::uint8_t>(132, 7);
    saveImage(path, noise(20, 10, PixelFormat::Rgb24), {}, meta);
    const Metadata back = loadImage(path).metadata;
    EXPECT_EQ(back.exif, meta.exif);
    EXPECT_EQ(back.xmp, meta.xmp);
    EXPECT_EQ(back.iccProfile, meta.iccProfile);
}

void writeAnimatedWebp(const std::string& path, const std::vector<Bitmap>& frames) {
    WebPAnimEncoderOptions options;
    ASSERT_TRUE(WebPAnimEncoderOptionsInit(&options));
    const int w = frames[0].width(), h = frames[0].height();
    WebPAnimEncoder* enc = WebPAnimEncoderNew(w, h, &options);
    WebPConfig config;
    WebPConfigInit(&config);
    config.lossless = 1;
    config.exact = 1;
    int timestamp = 0;
    for (const Bitmap& f : frames) {
        std::vector<std::uint8_t> rgba(std::size_t(w) * h * 4);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const Rgba c = f.pixel(x, y);
                std::memcpy(&rgba[(std::size_t(y) * w + x) * 4], &c, 4);
            }
        WebPPicture pic;
        WebPPictureInit(&pic);
        pic.width = w;
        pic.height = h;
        pic.use_argb = 1;
        WebPPictureImportRGBA(&pic, rgba.data(), w * 4);
        ASSERT_TRUE(WebPAnimEncoderAdd(enc, &pic, timestamp, &config));
        WebPPictureFree(&pic);
        timestamp += 100;
    }
    WebPAnimEncoderAdd(enc, nullptr, timestamp, nullptr);
    WebPData data;
    WebPDataInit(&data);
    ASSERT_TRUE(WebPAnimEncoderAssemble(enc, &data));
    writeFile(path, std::string(reinterpret_cast<const char*>(data.bytes), data.size));
    WebPDataClear(&data);
    WebPAnimEncoderDelete(enc);
}

TEST(WebpCodec, AnimationFramesAreComposited) {
    const std::string path = scratchDir("webp-anim") + "/anim.webp";
    Bitmap f0 = noise(24, 16, PixelFormat::Rgb24, 1), f1 = f0,
           f2 = noise(24, 16, PixelFormat::Rgb24, 3);
    f1.fillRect({ 3, 3, 6, 5 }, { 10, 200, 30, 255 }); // only a small part changes
    writeAnimatedWebp(path, { f0, f1, f2 });
    EXPECT_EQ(imagePageCount(path), 3);
    for (int i = 0; i < 3; ++i) {
        LoadOptions o;
        o.pageIndex = i;
        const LoadedImage img = loadImage(path, o);
        EXPECT_EQ(img.pageCount, 3);
        EXPECT_EQ(maxRgbaDiff(img.bitmap,
                      i == 0       ? f0
                          : i == 1 ? f1
                                   : f2,
                      true),
            0)
            << "frame " << i;
    }
    LoadOptions o;
    o.pageIndex = 3;
    EXPECT_THROW(loadImage(path, o), Error);
}

TEST(WebpCodec, RefusesWhatItCannotHold) {
    const std::string dir = scratchDir("webp-limits");
    EXPECT_THROW(saveImage(dir + "/wide.webp", Bitmap(16384, 1, PixelFormat::Gray8)), Error);
}

TEST(WebpCodec, DamagedFilesAreRefused) {
    const std::string path = scratchDir("webp-damaged") + "/ok.webp";
    saveImage(path, noise(64, 64, PixelFormat::Rgb24));
    expectDamagedFilesRefused(path, 12);
}

} // namespace
