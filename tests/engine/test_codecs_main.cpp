// JPEG and PNG codecs: quality and options of JPEG, lossless PNG round trips of every pixel
// format, the PNG sample layouts the writer never produces, metadata blocks and damaged files.
#include "imaging/Error.h"
#include "io/CodecRegistry.h"
#include "io/ImageIO.h"
#include "support/TestImages.h"

#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>
// jpeglib.h needs FILE and size_t declared first.
#include <cstdio>
#include <jpeglib.h>

#include <cstring>

using namespace ie;
using namespace ie::io;
using vst::test::readFile;
using vst::test::scratchDir;
using vst::test::writeFile;

namespace {

std::shared_ptr<const Codec> codecFor(const std::string& ext) {
    auto c = CodecRegistry::instance().forExtension(ext);
    if (!c) throw Error("no codec for " + ext);
    return c;
}

DecodedImage roundTrip(const std::string& path, const Bitmap& bmp, const FormatParams& params = {},
    const Metadata& meta = {}) {
    auto codec = codecFor(extensionOf(path));
    codec->write(path, bmp, params, meta);
    return codec->read(path, {});
}

/// Offset of the first JPEG marker `code` (FF code) in a file, or npos.
std::size_t findMarker(const std::string& bytes, unsigned char code) {
    return bytes.find(std::string { char(0xFF), char(code) });
}

/// A minimal well-formed ICC profile header without tags (libpng checks what it embeds).
std::vector<std::uint8_t> minimalIccProfile(const char* colorSpace) {
    std::vector<std::uint8_t> p(132, 0);
    auto put = [&](std::size_t at, const char* s) { std::memcpy(&p[at], s, 4); };
    p[3] = 132;
    p[8] = 2; // version 2.1
    p[9] = 0x10;
    put(12, "mntr");
    put(16, colorSpace);
    put(20, "XYZ ");
    put(36, "acsp");
    const std::uint8_t d50[12] = { 0, 0, 0xF6, 0xD6, 0, 1, 0, 0, 0, 0, 0xD3, 0x2D };
    std::memcpy(&p[68], d50, 12);
    return p;
}

Metadata sampleMetadata(std::size_t iccBytes) {
    Metadata m;
    m.exif = { 'I', 'I', 42, 0, 8, 0, 0, 0, 0, 0, 0, 0, 0, 0 };
    m.xmp = "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\"><rdf:RDF/></x:xmpmeta>";
    m.iptc = { 0x1C, 0x02, 0x78, 0x00, 0x05, 'h', 'e', 'l', 'l', 'o' }; // odd: padded in 8BIM
    m.iccProfile = minimalIccProfile("RGB ");
    std::uint32_t seed = 5; // incompressible: libpng drops profiles that deflate very small
    while (m.iccProfile.size() < iccBytes)
        m.iccProfile.push_back(std::uint8_t((seed = seed * 1664525u + 1013904223u) >> 24));
    m.iccProfile[0] = std::uint8_t(iccBytes >> 24);
    m.iccProfile[1] = std::uint8_t(iccBytes >> 16);
    m.iccProfile[2] = std::uint8_t(iccBytes >> 8);
    m.iccProfile[3] = std::uint8_t(iccBytes);
    return m;
}

void expectSameMetadata(const Metadata& a, const Metadata& b) {
    EXPECT_EQ(a.exif, b.exif);
    EXPECT_EQ(a.xmp, b.xmp);
    EXPECT_EQ(a.iptc, b.iptc);
    EXPECT_EQ(a.iccProfile, b.iccProfile);
}

/// Every prefix length in `cuts` (fractions of the file) must fail with ie::Error.
void expectTruncationsFail(const std::string& path, const std::string& ext) {
    const std::string bytes = readFile(path);
    auto codec = codecFor(ext);
    const std::string cut = path + ".cut" + ext;
    for (double f : { 0.0, 0.001, 0.01, 0.1, 0.5, 0.9, 0.999 }) {
        const auto n = std::max<std::size_t>(9, std::size_t(bytes.size() * f));
        writeFile(cut, bytes.substr(0, n));
        EXPECT_THROW(codec->read(cut, {}), Error) << "cut at " << n << " of " << bytes.size();
    }
    writeFile(cut, bytes.substr(0, bytes.size() - 1));
    EXPECT_THROW(codec->read(cut, {}), Error) << "last byte cut";
}

// ---- JPEG ---------------------------------------------------------------------------------

struct JpegOptionCase {
    ChromaSubsampling subsampling;
    bool progressive;
    bool optimize;
    unsigned char sof; ///< SOF0 baseline or SOF2 progressive
    std::uint8_t lumaSampling; ///< sampling factors of the first component (h << 4 | v)
};

class JpegOptions : public ::testing::TestWithParam<JpegOptionCase> { };

TEST_P(JpegOptions, WriteValidFilesThatDecodeCloseToTheSource) {
    const auto c = GetParam();
    const Bitmap src = vst::test::photoLike(301, 203);
    FormatParams p;
    p.jpegQuality = 90;
    p.jpegSubsampling = c.subsampling;
    p.jpegProgressive = c.progressive;
    p.jpegOptimizeCoding = c.optimize;
    const std::string path = scratchDir("jpegopt") + "/a.jpg";
    const DecodedImage d = roundTrip(path, src, p);
    ASSERT_EQ(d.bitmap.pixelFormat(), PixelFormat::Rgb24);
    ASSERT_EQ(d.bitmap.width(), 301);
    ASSERT_EQ(d.bitmap.height(), 203);
    EXPECT_GT(vst::test::psnr(src, d.bitmap), 38.0);

    const std::string bytes = readFile(path);
    const std::size_t sof = findMarker(bytes, c.sof);
    ASSERT_NE(sof, std::string::npos);
    EXPECT_EQ(findMarker(bytes, c.sof == 0xC0 ? 0xC2 : 0xC0), std::string::npos);
    // SOF: marker, length(2), precision, height(2), width(2), components, then id, sampling.
    EXPECT_EQ(std::uint8_t(bytes[sof + 9]), 3);
    EXPECT_EQ(std::uint8_t(bytes[sof + 11]), c.lumaSampling);
}

INSTANTIATE_TEST_SUITE_P(Jpeg, JpegOptions,
    ::testing::Values(JpegOptionCase { ChromaSubsampling::S420, false, false, 0xC0, 0x22 },
        JpegOptionCase { ChromaSubsampling::S444, false, true, 0xC0, 0x11 },
        JpegOptionCase { ChromaSubsampling::S422, true, false, 0xC2, 0x21 },
        JpegOptionCase { ChromaSubsampling::S444, true, true, 0xC2, 0x11 }));

TEST(JpegCodec, GreyStaysGreyAndQualityOrdersFileSizes) {
    const Bitmap grey = vst::test::photoLike(160, 120, PixelFormat::Gray8);
    const std::string dir = scratchDir("jpeggrey");
    FormatParams low, high;
    low.jpegQuality = 30;
    high.jpegQuality = 95;
    const DecodedImage d = roundTrip(dir + "/hi.jpg", grey, high);
    EXPECT_EQ(d.bitmap.pixelFormat(), PixelFormat::Gray8);
    EXPECT_GT(vst::test::psnr(grey, d.bitmap), 38.0);
    codecFor(".jpg")->write(dir + "/lo.jpg", grey, low, {});
    EXPECT_LT(readFile(dir + "/lo.jpg").size(), readFile(dir + "/hi.jpg").size());
}

TEST(JpegCodec, RgbaInputDropsAlpha) {
    Bitmap rgba(40, 30, PixelFormat::Rgba32);
    rgba.fill({ 200, 100, 50, 0 });
    const DecodedImage d = roundTrip(scratchDir("jpegrgba") + "/a.jpg", rgba);
    EXPECT_EQ(d.bitmap.pixelFormat(), PixelFormat::Rgb24);
    EXPECT_FALSE(d.bitmap.hasAlpha());
    const Rgba c = d.bitmap.pixel(20, 15);
    EXPECT_NEAR(c.r, 200, 3);
    EXPECT_NEAR(c.g, 100, 3);
    EXPECT_NEAR(c.b, 50, 3);
}

TEST(JpegCodec, ResolutionFromBitmapOrParams) {
    Bitmap b = vst::test::photoLike(32, 32);
    b.setDpi(300, 150);
    const std::string dir = scratchDir("jpegdpi");
    DecodedImage d = roundTrip(dir + "/a.jpg", b);
    EXPECT_EQ(d.bitmap.dpiX(), 300);
    EXPECT_EQ(d.bitmap.dpiY(), 150);
    FormatParams p;
    p.dpiX = p.dpiY = 96;
    d = roundTrip(dir + "/b.jpg", b, p);
    EXPECT_EQ(d.bitmap.dpiX(), 96);
    EXPECT_EQ(d.bitmap.dpiY(), 96);
}

TEST(JpegCodec, MetadataBlocksSurviveIncludingMultiSegmentIcc) {
    const Metadata meta = sampleMetadata(150'000); // ICC over three APP2 segments
    const DecodedImage d = roundTrip(
        scratchDir("jpegmeta") + "/a.jpg", vst::test::photoLike(16, 16), FormatParams {}, meta);
    expectSameMetadata(d.metadata, meta);
}

/// Writes an Adobe-style CMYK JPEG (inverted samples) of one ink colour with libjpeg itself.
void writeAdobeCmykJpeg(const std::string& path, const std::uint8_t ink[4]) {
    jpeg_compress_struct ci {};
    jpeg_error_mgr err {};
    ci.err = jpeg_std_error(&err);
    jpeg_create_compress(&ci);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    jpeg_stdio_dest(&ci, f);
    ci.image_width = 16;
    ci.image_height = 8;
    ci.input_components = 4;
    ci.in_color_space = JCS_CMYK;
    jpeg_set_defaults(&ci);
    jpeg_set_quality(&ci, 95, TRUE);
    jpeg_start_compress(&ci, TRUE);
    std::uint8_t row[16 * 4];
    for (int x = 0; x < 16; ++x)
        for (int i = 0; i < 4; ++i)
            row[x * 4 + i] = std::uint8_t(255 - ink[i]);
    JSAMPROW rows[1] = { row };
    while (ci.next_scanline < ci.image_height)
        jpeg_write_scanlines(&ci, rows, 1);
    jpeg_finish_compress(&ci);
    jpeg_destroy_compress(&ci);
    std::fclose(f);
}

TEST(JpegCodec, AdobeCmykReadsAsInkValues) {
    const std::string path = scratchDir("jpegcmyk") + "/c.jpg";
    const std::uint8_t ink[4] = { 200, 40, 0, 90 };
    writeAdobeCmykJpeg(path, ink);
    const DecodedImage d = codecFor(".jpg")->read(path, {});
    ASSERT_EQ(d.bitmap.pixelFormat(), PixelFormat::Cmyk32);
    const std::uint8_t* p = d.bitmap.scanline(4) + 5 * 4;
    for (int i = 0; i < 4; ++i)
        EXPECT_NEAR(p[i], ink[i], 2) << "channel " << i;
}

TEST(JpegCodec, DamagedFilesGiveErrors) {
    const std::string dir = scratchDir("jpegbad");
    codecFor(".jpg")->write(dir + "/ok.jpg", vst::test::photoLike(200, 150), {}, {});
    expectTruncationsFail(dir + "/ok.jpg", ".jpg");

    std::string garbage = "\xFF\xD8\xFF\xE0";
    for (int i = 0; i < 4000; ++i)
        garbage += char(i * 131 % 251);
    writeFile(dir + "/garbage.jpg", garbage);
    EXPECT_THROW(codecFor(".jpg")->read(dir + "/garbage.jpg", {}), Error);

    // A frame header claiming 65000 x 65000 is refused before any pixel memory is taken.
    std::string huge = readFile(dir + "/ok.jpg");
    const std::size_t sof = findMarker(huge, 0xC0);
    ASSERT_NE(sof, std::string::npos);
    huge[sof + 5] = huge[sof + 7] = char(0xFD);
    huge[sof + 6] = huge[sof + 8] = char(0xE8);
    writeFile(dir + "/huge.jpg", huge);
    try {
        codecFor(".jpg")->read(dir + "/huge.jpg", {});
        ADD_FAILURE() << "huge frame accepted";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("too large"), std::string::npos) << e.what();
    }
}

TEST(JpegCodec, EndlessProgressiveScansAreRefused) {
    // The last scan of a progressive file repeated: each costs a full pass over the image.
    const std::string dir = scratchDir("jpegscans");
    FormatParams p;
    p.jpegProgressive = true;
    codecFor(".jpg")->write(
        dir + "/p.jpg", vst::test::photoLike(16, 16, PixelFormat::Gray8), p, {});
    const std::string bytes = readFile(dir + "/p.jpg");
    const std::size_t lastScan = bytes.rfind(std::string { char(0xFF), char(0xDA) });
    ASSERT_NE(lastScan, std::string::npos);
    const std::string scan = bytes.substr(lastScan, bytes.size() - 2 - lastScan);
    std::string many = bytes.substr(0, bytes.size() - 2);
    for (int i = 0; i < 600; ++i)
        many += scan;
    writeFile(dir + "/many.jpg", many + "\xFF\xD9");
    try {
        codecFor(".jpg")->read(dir + "/many.jpg", {});
        ADD_FAILURE() << "accepted";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("scans"), std::string::npos) << e.what();
    }
}

TEST(JpegCodec, ScrambledScanDataNeverCrashes) {
    const std::string dir = scratchDir("jpegscramble");
    codecFor(".jpg")->write(dir + "/ok.jpg", vst::test::photoLike(64, 64), {}, {});
    const std::string bytes = readFile(dir + "/ok.jpg");
    for (int seed = 1; seed <= 20; ++seed) {
        std::string bad = bytes;
        for (std::size_t i = bad.size() / 3 + seed; i < bad.size() - 2; i += 37 + seed)
            bad[i] = char(bad[i] ^ (seed * 29));
        writeFile(dir + "/bad.jpg", bad);
        try {
            const auto d = codecFor(".jpg")->read(dir + "/bad.jpg", {});
            EXPECT_EQ(d.bitmap.width(), 64); // libjpeg may recover a damaged scan
        } catch (const Error&) { }
    }
}

// ---- PNG: lossless round trips ------------------------------------------------------------

enum class AlphaKind { None, Plane, PlanePerIndex };

struct PngCase {
    PixelFormat format;
    AlphaKind alpha;
    PixelFormat readsAs; ///< what the file becomes (formats PNG has no direct form of change)
};

class PngLossless : public ::testing::TestWithParam<std::tuple<PngCase, bool>> { };

Bitmap withAlpha(Bitmap b, AlphaKind kind) {
    if (kind == AlphaKind::None) return b;
    b.addAlphaPlane();
    for (int y = 0; y < b.height(); ++y)
        for (int x = 0; x < b.width(); ++x)
            b.mutableAlphaLine(y)[x] = kind == AlphaKind::PlanePerIndex
                ? std::uint8_t(b.scanline(y)[x] * 7) // the same for every pixel of an index
                : std::uint8_t(x * 31 + y * 17);
    return b;
}

TEST_P(PngLossless, RoundTripIsExact) {
    const auto [c, interlace] = GetParam();
    const Bitmap src = withAlpha(vst::test::noise(37, 23, c.format, 7), c.alpha);
    FormatParams p;
    p.pngInterlace = interlace;
    const DecodedImage d = roundTrip(scratchDir("pngloss") + "/a.png", src, p);
    const Bitmap& got = d.bitmap;
    ASSERT_EQ(got.pixelFormat(), c.readsAs);
    ASSERT_EQ(got.hasAlpha(), src.hasAlpha());
    if (c.readsAs == c.format) {
        EXPECT_TRUE(got.samePixels(src));
        return;
    }
    for (int y = 0; y < src.height(); ++y)
        for (int x = 0; x < src.width(); ++x)
            ASSERT_EQ(got.pixel(x, y), src.pixel(x, y)) << x << "," << y;
}

INSTANTIATE_TEST_SUITE_P(Png, PngLossless,
    ::testing::Combine(
        ::testing::Values(PngCase { PixelFormat::Bw1, AlphaKind::None, PixelFormat::Bw1 },
            PngCase { PixelFormat::Bw1, AlphaKind::Plane, PixelFormat::Gray8 },
            PngCase { PixelFormat::Palette8, AlphaKind::None, PixelFormat::Palette8 },
            PngCase { PixelFormat::Palette8, AlphaKind::PlanePerIndex, PixelFormat::Palette8 },
            PngCase { PixelFormat::Palette8, AlphaKind::Plane, PixelFormat::Rgb24 },
            PngCase { PixelFormat::Gray8, AlphaKind::None, PixelFormat::Gray8 },
            PngCase { PixelFormat::Gray8, AlphaKind::Plane, PixelFormat::Gray8 },
            PngCase { PixelFormat::Gray16, AlphaKind::None, PixelFormat::Gray16 },
            PngCase { PixelFormat::Gray16, AlphaKind::Plane, PixelFormat::Gray16 },
            PngCase { PixelFormat::Rgb24, AlphaKind::None, PixelFormat::Rgb24 },
            PngCase { PixelFormat::Rgb24, AlphaKind::Plane, PixelFormat::Rgb24 },
            PngCase { PixelFormat::Rgba32, AlphaKind::None, PixelFormat::Rgb24 },
            PngCase { PixelFormat::Rgb48, AlphaKind::None, PixelFormat::Rgb48 },
            PngCase { PixelFormat::Rgb48, AlphaKind::Plane, PixelFormat::Rgb48 }),
        ::testing::Bool()));

TEST(PngCodec, OpaqueAlphaPlaneOfPaletteImageComesBack) {
    Bitmap src = vst::test::noise(20, 10, PixelFormat::Palette8);
    src.addAlphaPlane(255);
    const DecodedImage d = roundTrip(scratchDir("pngopaque") + "/a.png", src);
    EXPECT_TRUE(d.bitmap.samePixels(src));
}

TEST(PngCodec, LargeImageRoundTripIsExact) {
    // Several strips and compression bands (rows filtered across band edges), smooth content
    // so that every predictor gets chosen.
    const Bitmap src = vst::test::photoLike(1500, 1100);
    for (int level : { 0, 1, 6, 9 }) {
        FormatParams p;
        p.pngCompression = level;
        const DecodedImage d = roundTrip(scratchDir("pngbig") + "/a.png", src, p);
        EXPECT_TRUE(d.bitmap.samePixels(src)) << "level " << level;
    }
}

TEST(PngCodec, CmykIsWrittenAsRgb) {
    Bitmap cmyk(8, 8, PixelFormat::Cmyk32);
    cmyk.fill({ 255, 0, 0, 255 });
    const DecodedImage d = roundTrip(scratchDir("pngcmyk") + "/a.png", cmyk);
    EXPECT_EQ(d.bitmap.pixelFormat(), PixelFormat::Rgb24);
    EXPECT_EQ(d.bitmap.pixel(3, 3), cmyk.pixel(3, 3));
}

TEST(PngCodec, ResolutionAndMetadataSurvive) {
    Bitmap b = vst::test::photoLike(16, 16);
    b.setDpi(300, 72);
    const Metadata meta = sampleMetadata(400);
    const DecodedImage d = roundTrip(scratchDir("pngmeta") + "/a.png", b, FormatParams {}, meta);
    EXPECT_EQ(d.bitmap.dpiX(), 300);
    EXPECT_EQ(d.bitmap.dpiY(), 72);
    expectSameMetadata(d.metadata, meta);
}

// ---- PNG: layouts only other writers produce ----------------------------------------------

struct RawPng {
    int colorType, bitDepth;
    bool interlace = false;
    std::vector<std::uint8_t> plte {}; ///< RGB triples
    std::vector<std::uint8_t> trnsAlpha {}; ///< palette tRNS
    const png_color_16* trnsKey = nullptr; ///< grey or RGB colour key
};

/// Writes rows given as PNG samples with libpng directly.
void writeRawPng(const std::string& path, int w, int h, const RawPng& rawPng,
    const std::vector<std::vector<std::uint8_t>>& rows) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    png_init_io(png, f);
    png_set_IHDR(png, info, w, h, rawPng.bitDepth, rawPng.colorType,
        rawPng.interlace ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_BASE,
        PNG_FILTER_TYPE_BASE);
    if (!rawPng.plte.empty())
        png_set_PLTE(png, info,
            reinterpret_cast<png_colorp>(const_cast<std::uint8_t*>(rawPng.plte.data())),
            int(rawPng.plte.size() / 3));
    if (!rawPng.trnsAlpha.empty() || rawPng.trnsKey)
        png_set_tRNS(png, info, const_cast<std::uint8_t*>(rawPng.trnsAlpha.data()),
            int(rawPng.trnsAlpha.size()), rawPng.trnsKey);
    png_write_info(png, info);
    std::vector<png_bytep> ptrs;
    for (auto& r : rows)
        ptrs.push_back(const_cast<png_bytep>(r.data()));
    png_write_image(png, ptrs.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    std::fclose(f);
}

struct ReadCase {
    const char* name;
    RawPng rawPng;
    std::vector<std::uint8_t> row; ///< the same samples on every row
    PixelFormat format;
    std::vector<Rgba> pixels; ///< expected first pixels (alpha 255 when the bitmap has none)
    bool alpha;
};

const png_color_16 kGreyKey { 0, 0, 0, 0, 85 };
const png_color_16 kGrey1Key { 0, 0, 0, 0, 1 };
const png_color_16 kRgbKey { 0, 10, 20, 30, 0 };
const png_color_16 kRgb16Key { 0, 0x0102, 0x0304, 0x0506, 0 };

class PngReadLayouts : public ::testing::TestWithParam<ReadCase> { };

TEST_P(PngReadLayouts, BecomeTheRightBitmap) {
    const ReadCase& c = GetParam();
    const std::string path = scratchDir("pngread") + "/a.png";
    const int w = int(c.pixels.size()), h = 9; // 9 rows: every Adam7 pass has some
    writeRawPng(path, w, h, c.rawPng, std::vector<std::vector<std::uint8_t>>(h, c.row));
    const DecodedImage d = codecFor(".png")->read(path, {});
    ASSERT_EQ(d.bitmap.pixelFormat(), c.format);
    ASSERT_EQ(d.bitmap.hasAlpha(), c.alpha);
    for (int y : { 0, 4, 8 })
        for (int x = 0; x < w; ++x)
            EXPECT_EQ(d.bitmap.pixel(x, y), c.pixels[x]) << "pixel " << x << "," << y;
}

INSTANTIATE_TEST_SUITE_P(Png, PngReadLayouts,
    ::testing::Values(
        ReadCase { "grey2", { PNG_COLOR_TYPE_GRAY, 2 }, { 0b00011011 }, PixelFormat::Gray8,
            { { 0, 0, 0 }, { 85, 85, 85 }, { 170, 170, 170 }, { 255, 255, 255 } }, false },
        ReadCase { "grey4interlaced", { PNG_COLOR_TYPE_GRAY, 4, true }, { 0x0F, 0x80 },
            PixelFormat::Gray8, { { 0, 0, 0 }, { 255, 255, 255 }, { 136, 136, 136 }, { 0, 0, 0 } },
            false },
        ReadCase { "grey2key", { PNG_COLOR_TYPE_GRAY, 2, false, {}, {}, &kGrey1Key },
            { 0b00011011 }, PixelFormat::Gray8,
            { { 0, 0, 0 }, { 85, 85, 85, 0 }, { 170, 170, 170 }, { 255, 255, 255 } }, true },
        ReadCase { "grey8key", { PNG_COLOR_TYPE_GRAY, 8, true, {}, {}, &kGreyKey }, { 85, 86 },
            PixelFormat::Gray8, { { 85, 85, 85, 0 }, { 86, 86, 86 } }, true },
        ReadCase { "palette4trns",
            { PNG_COLOR_TYPE_PALETTE, 4, true, { 255, 0, 0, 0, 255, 0, 0, 0, 255 }, { 0, 128 } },
            { 0x01, 0x20 }, PixelFormat::Palette8,
            { { 255, 0, 0, 0 }, { 0, 255, 0, 128 }, { 0, 0, 255 }, { 255, 0, 0, 0 } }, true },
        ReadCase { "rgb8key", { PNG_COLOR_TYPE_RGB, 8, false, {}, {}, &kRgbKey },
            { 10, 20, 30, 10, 20, 31 }, PixelFormat::Rgb24, { { 10, 20, 30, 0 }, { 10, 20, 31 } },
            true },
        ReadCase { "rgb16keyInterlaced", { PNG_COLOR_TYPE_RGB, 16, true, {}, {}, &kRgb16Key },
            { 1, 2, 3, 4, 5, 6, 0xFF, 0xFF, 0, 0, 0x80, 0 }, PixelFormat::Rgb48,
            { { 1, 3, 5, 0 }, { 255, 0, 128 } }, true },
        ReadCase { "greyAlpha16", { PNG_COLOR_TYPE_GRAY_ALPHA, 16 }, { 0x80, 0, 0x80, 0 },
            PixelFormat::Gray16, { { 128, 128, 128, 128 } }, true }),
    [](const auto& info) { return std::string(info.param.name); });

// ---- PNG: damaged files -------------------------------------------------------------------

void appendChunk(std::string& out, const char* type, const std::string& data) {
    const auto n = std::uint32_t(data.size());
    for (int i = 3; i >= 0; --i)
        out += char(n >> (8 * i));
    const std::string body = std::string(type, 4) + data;
    out += body;
    const auto crc
        = std::uint32_t(crc32(0, reinterpret_cast<const Bytef*>(body.data()), uInt(body.size())));
    for (int i = 3; i >= 0; --i)
        out += char(crc >> (8 * i));
}

TEST(PngCodec, DamagedFilesGiveErrors) {
    const std::string dir = scratchDir("pngbad");
    codecFor(".png")->write(dir + "/ok.png", vst::test::photoLike(200, 150), {}, {});
    expectTruncationsFail(dir + "/ok.png", ".png");

    std::string garbage = "\x89PNG\r\n\x1a\n";
    for (int i = 0; i < 3000; ++i)
        garbage += char(i * 77 % 253);
    writeFile(dir + "/garbage.png", garbage);
    EXPECT_THROW(codecFor(".png")->read(dir + "/garbage.png", {}), Error);

    // Valid chunks, but the pixel data inflates to garbage.
    std::string badData = "\x89PNG\r\n\x1a\n";
    appendChunk(badData, "IHDR", std::string("\0\0\0\x10\0\0\0\x10\x08\x02\0\0\0", 13));
    appendChunk(badData, "IDAT", std::string("\x78\x9c\x01\x02\x03\x04\x05\x06", 8));
    appendChunk(badData, "IEND", "");
    writeFile(dir + "/baddata.png", badData);
    EXPECT_THROW(codecFor(".png")->read(dir + "/baddata.png", {}), Error);
}

TEST(PngCodec, HugeHeaderIsRefusedBeforeAllocating) {
    // 100000 x 100000 RGBA would be 40 GB; a handful of bytes claim it.
    std::string png = "\x89PNG\r\n\x1a\n";
    appendChunk(png, "IHDR", std::string("\0\x01\x86\xa0\0\x01\x86\xa0\x08\x06\0\0\0", 13));
    appendChunk(png, "IDAT", std::string("\x78\x9c\x03\x00\x00\x00\x00\x01", 8));
    appendChunk(png, "IEND", "");
    const std::string path = scratchDir("pngbomb") + "/bomb.png";
    writeFile(path, png);
    try {
        codecFor(".png")->read(path, {});
        ADD_FAILURE() << "accepted";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("too large"), std::string::npos) << e.what();
    }
}

} // namespace
