// The hand-written codecs (BMP, TGA, PCX/DCX, PNM, ICO, PSD): lossless round trips, read-only
// variants from hand-made bytes, and hostile files.
#include "imaging/BufferPool.h"
#include "imaging/Error.h"
#include "io/CodecRegistry.h"
#include "io/ImageIO.h"
#include "support/TestImages.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

using namespace ie;
using vst::test::readFile;
using vst::test::writeFile;

namespace {

/// Noise rows alternating with rows of 4-pixel runs, so that RLE coders meet both literal
/// stretches and runs.
Bitmap runsAndNoise(int w, int h, PixelFormat f, bool alpha) {
    Bitmap bmp = vst::test::noise(w, h, f, unsigned(w * 31 + h));
    const int bpp = bitsPerPixel(f);
    for (int y = 1; y < h; y += 2) {
        std::uint8_t* row = bmp.mutableScanline(y);
        for (int x = 0; x < w; ++x) {
            const int from = x - x % 4;
            if (bpp == 1) {
                const bool bit = row[from >> 3] & (0x80 >> (from & 7));
                row[x >> 3] = std::uint8_t(
                    bit ? row[x >> 3] | (0x80 >> (x & 7)) : row[x >> 3] & ~(0x80 >> (x & 7)));
            } else {
                std::memmove(row + x * bpp / 8, row + from * bpp / 8, std::size_t(bpp / 8));
            }
        }
    }
    if (alpha) {
        bmp.addAlphaPlane();
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                bmp.mutableAlphaLine(y)[x]
                    = std::uint8_t(x % 3 == 0 ? 0 : (x * 37 + y * 91) & 0xFF);
    }
    return bmp;
}

std::string bytes(std::initializer_list<int> v) {
    std::string s;
    for (int b : v)
        s.push_back(char(b));
    return s;
}
void le16(std::string& s, unsigned v) {
    s += char(v & 0xFF);
    s += char(v >> 8 & 0xFF);
}
void le32(std::string& s, std::uint32_t v) {
    le16(s, v & 0xFFFF);
    le16(s, v >> 16);
}
void be16(std::string& s, unsigned v) {
    s += char(v >> 8 & 0xFF);
    s += char(v & 0xFF);
}
void be32(std::string& s, std::uint32_t v) {
    be16(s, v >> 16);
    be16(s, v & 0xFFFF);
}

/// A BMP file header and 40-byte info header.
std::string bmpHeaders(int w, int h, int bits, int compression, std::uint32_t pixelOffset) {
    std::string s = "BM";
    le32(s, 0);
    le32(s, 0);
    le32(s, pixelOffset);
    le32(s, 40);
    le32(s, std::uint32_t(w));
    le32(s, std::uint32_t(h));
    le16(s, 1);
    le16(s, unsigned(bits));
    le32(s, std::uint32_t(compression));
    s.append(20, '\0');
    return s;
}

std::string tgaHeader(int type, int w, int h, int depth, int descriptor) {
    std::string s = bytes({ 0, 0, type, 0, 0, 0, 0, 0, 0, 0, 0, 0 });
    le16(s, unsigned(w));
    le16(s, unsigned(h));
    s += char(depth);
    s += char(descriptor);
    return s;
}

/// A PCX header (RLE, version 5) for `planes` planes of 8 bits.
std::string pcxHeader(int w, int h, int planes) {
    std::string s = bytes({ 0x0A, 5, 1, 8 });
    le16(s, 0);
    le16(s, 0);
    le16(s, unsigned(w - 1));
    le16(s, unsigned(h - 1));
    s.append(4 + 48 + 1, '\0');
    s += char(planes);
    le16(s, unsigned(w + (w & 1)));
    le16(s, 1);
    s.append(58, '\0');
    return s;
}

std::string psdHeader(int w, int h, int channels, int depth, int mode) {
    std::string s = "8BPS";
    be16(s, 1);
    s.append(6, '\0');
    be16(s, unsigned(channels));
    be32(s, std::uint32_t(h));
    be32(s, std::uint32_t(w));
    be16(s, unsigned(depth));
    be16(s, unsigned(mode));
    be32(s, 0); // colour mode data
    be32(s, 0); // resources
    be32(s, 0); // layers
    return s;
}

std::string errorOf(const std::string& path) {
    try {
        io::loadImage(path);
    } catch (const Error& e) {
        return e.what();
    }
    return {};
}

class SimpleCodecs : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = vst::test::scratchDir(
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    }
    std::string path(const std::string& name) const { return m_dir + "/" + name; }
    Bitmap load(const std::string& name, int page = 0) const {
        io::LoadOptions o;
        o.pageIndex = page;
        return io::loadImage(path(name), o).bitmap;
    }
    Bitmap roundTrip(const Bitmap& bmp, const std::string& name, const io::FormatParams& p = {}) {
        io::saveImage(path(name), bmp, p);
        return load(name);
    }
    std::string m_dir;
};

struct RoundTripCase {
    const char* ext;
    PixelFormat format;
    bool alpha;
    bool rle; ///< bmpRle and tgaRle
};

std::string caseName(const RoundTripCase& c) {
    std::string n = std::string(c.ext + 1) + "_" + std::string(pixelFormatName(c.format));
    if (c.alpha) n += "_alpha";
    if (c.rle) n += "_rle";
    return n;
}

const RoundTripCase kRoundTrips[] = {
    { ".bmp", PixelFormat::Bw1, false, false },
    { ".bmp", PixelFormat::Palette8, false, false },
    { ".bmp", PixelFormat::Palette8, false, true },
    { ".bmp", PixelFormat::Gray8, false, false },
    { ".bmp", PixelFormat::Gray8, false, true },
    { ".bmp", PixelFormat::Rgb24, false, false },
    { ".bmp", PixelFormat::Rgb24, true, false },
    { ".tga", PixelFormat::Bw1, false, true },
    { ".tga", PixelFormat::Palette8, false, false },
    { ".tga", PixelFormat::Palette8, false, true },
    { ".tga", PixelFormat::Gray8, false, false },
    { ".tga", PixelFormat::Gray8, false, true },
    { ".tga", PixelFormat::Rgb24, false, false },
    { ".tga", PixelFormat::Rgb24, false, true },
    { ".tga", PixelFormat::Rgb24, true, false },
    { ".tga", PixelFormat::Rgb24, true, true },
    { ".pcx", PixelFormat::Bw1, false, false },
    { ".pcx", PixelFormat::Palette8, false, false },
    { ".pcx", PixelFormat::Gray8, false, false },
    { ".pcx", PixelFormat::Rgb24, false, false },
    { ".dcx", PixelFormat::Rgb24, false, false },
    { ".pbm", PixelFormat::Bw1, false, false },
    { ".pnm", PixelFormat::Bw1, false, false },
    { ".pgm", PixelFormat::Gray8, false, false },
    { ".pgm", PixelFormat::Gray16, false, false },
    { ".ppm", PixelFormat::Rgb24, false, false },
    { ".ppm", PixelFormat::Rgb48, false, false },
    { ".pam", PixelFormat::Bw1, false, false },
    { ".pam", PixelFormat::Gray8, true, false },
    { ".pam", PixelFormat::Gray16, true, false },
    { ".pam", PixelFormat::Rgb48, true, false },
    { ".ico", PixelFormat::Rgb24, false, false },
    { ".ico", PixelFormat::Rgb24, true, false },
    { ".cur", PixelFormat::Rgb24, true, false },
    { ".psd", PixelFormat::Bw1, false, false },
    { ".psd", PixelFormat::Palette8, false, false },
    { ".psd", PixelFormat::Gray8, false, false },
    { ".psd", PixelFormat::Gray16, true, false },
    { ".psd", PixelFormat::Rgb24, false, false },
    { ".psd", PixelFormat::Rgb24, true, false },
    { ".psd", PixelFormat::Rgb48, true, false },
    { ".psd", PixelFormat::Cmyk32, true, false },
    { ".psb", PixelFormat::Rgb24, true, false },
};

class LosslessRoundTrip : public SimpleCodecs,
                          public ::testing::WithParamInterface<RoundTripCase> { };

TEST_P(LosslessRoundTrip, IsBitIdenticalAtOddWidths) {
    const RoundTripCase c = GetParam();
    io::FormatParams params;
    params.bmpRle = params.tgaRle = c.rle;
    // 1 to 9 pixels: every row padding; 67: runs longer than one packet byte.
    for (const int w : { 1, 3, 7, 9, 67 }) {
        const Bitmap src = runsAndNoise(w, 6, c.format, c.alpha);
        const Bitmap back = roundTrip(src, "img" + std::to_string(w) + c.ext, params);
        EXPECT_TRUE(back.samePixels(src))
            << "width " << w << ", read as " << pixelFormatName(back.pixelFormat());
    }
}

INSTANTIATE_TEST_SUITE_P(SimpleFormats, LosslessRoundTrip, ::testing::ValuesIn(kRoundTrips),
    [](const auto& info) { return caseName(info.param); });

TEST_F(SimpleCodecs, Rgba32SourcesKeepColourAndAlpha) {
    Bitmap src = vst::test::noise(13, 5, PixelFormat::Rgba32, 3);
    for (const char* ext : { ".bmp", ".tga", ".ico", ".psd", ".pam" }) {
        const Bitmap back = roundTrip(src, std::string("rgba") + ext);
        ASSERT_EQ(back.width(), 13) << ext;
        ASSERT_TRUE(back.hasAlpha()) << ext;
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 13; ++x)
                ASSERT_EQ(back.pixel(x, y), src.pixel(x, y)) << ext << " at " << x << "," << y;
    }
}

TEST_F(SimpleCodecs, ResolutionIsKept) {
    Bitmap src = vst::test::noise(4, 4, PixelFormat::Rgb24);
    src.setDpi(300, 150);
    for (const char* ext : { ".bmp", ".pcx", ".psd" }) {
        const Bitmap back = roundTrip(src, std::string("dpi") + ext);
        EXPECT_DOUBLE_EQ(back.dpiX(), 300) << ext;
        EXPECT_DOUBLE_EQ(back.dpiY(), 150) << ext;
    }
    io::FormatParams p;
    p.dpiX = p.dpiY = 96;
    EXPECT_DOUBLE_EQ(roundTrip(src, "override.bmp", p).dpiX(), 96);
}

TEST_F(SimpleCodecs, FormatsAFileCantHoldAreConverted) {
    const struct {
        const char* name;
        PixelFormat from, readAs;
    } cases[] = {
        { "wide.bmp", PixelFormat::Rgb48, PixelFormat::Rgb24 },
        { "cmyk.tga", PixelFormat::Cmyk32, PixelFormat::Rgb24 },
        { "grey16.pcx", PixelFormat::Gray16, PixelFormat::Gray8 },
        { "colour.pgm", PixelFormat::Rgb24, PixelFormat::Gray8 },
        { "colour.pbm", PixelFormat::Rgb24, PixelFormat::Bw1 },
        { "pal.ppm", PixelFormat::Palette8, PixelFormat::Rgb24 },
    };
    for (const auto& c : cases) {
        const Bitmap src = vst::test::photoLike(20, 10, c.from);
        const Bitmap back = roundTrip(src, c.name);
        EXPECT_EQ(back.pixelFormat(), c.readAs) << c.name;
        if (c.readAs == PixelFormat::Rgb24) {
            EXPECT_GT(vst::test::psnr(src, back), 40) << c.name;
        }
    }
}

// ---- BMP

TEST_F(SimpleCodecs, BmpTopDownRowsMatchBottomUp) {
    const Bitmap src = vst::test::noise(3, 4, PixelFormat::Rgb24);
    io::saveImage(path("up.bmp"), src);
    std::string file = readFile(path("up.bmp"));
    const std::size_t offset = 54, stride = 12;
    ASSERT_EQ(file.size(), offset + 4 * stride);
    std::string flipped = file.substr(0, offset);
    for (int r = 3; r >= 0; --r)
        flipped += file.substr(offset + r * stride, stride);
    const std::int32_t negative = -4;
    std::memcpy(&flipped[22], &negative, 4);
    writeFile(path("down.bmp"), flipped);
    EXPECT_TRUE(load("down.bmp").samePixels(src));
}

TEST_F(SimpleCodecs, BmpRle4WithAbsoluteRunAndDeltaDecodes) {
    std::string f = bmpHeaders(4, 3, 4, 2, 14 + 40 + 16 * 4);
    for (int i = 0; i < 16; ++i)
        f += bytes({ i * 16, i * 8, i * 4, 0 });
    // Bottom row: 1,2,1,2. Middle row: absolute 3,4,5 then one 6. Top row: skipped to x=2 by
    // a delta, then a run of 7; the rest stays index 0. The end code closes the bitmap.
    f += bytes({ 4, 0x12, 0, 0 });
    f += bytes({ 0, 3, 0x34, 0x50, 1, 0x60, 0, 0 });
    f += bytes({ 0, 2, 2, 0, 2, 0x77, 0, 1 });
    writeFile(path("rle4.bmp"), f);
    const Bitmap b = load("rle4.bmp");
    ASSERT_EQ(b.pixelFormat(), PixelFormat::Palette8);
    ASSERT_EQ(b.palette().size(), 16u);
    const std::uint8_t expect[3][4] = { { 0, 0, 7, 7 }, { 3, 4, 5, 6 }, { 1, 2, 1, 2 } };
    for (int y = 0; y < 3; ++y)
        EXPECT_EQ(0, std::memcmp(b.scanline(y), expect[y], 4)) << "row " << y;
}

TEST_F(SimpleCodecs, Bmp16Bit565BitfieldsDecode) {
    std::string f = bmpHeaders(4, 1, 16, 3, 14 + 40 + 12);
    le32(f, 0xF800);
    le32(f, 0x07E0);
    le32(f, 0x001F);
    for (unsigned px : { 0xF800u, 0x07E0u, 0x001Fu, 0x8410u })
        le16(f, px);
    writeFile(path("565.bmp"), f);
    const Bitmap b = load("565.bmp");
    ASSERT_EQ(b.pixelFormat(), PixelFormat::Rgb24);
    EXPECT_FALSE(b.hasAlpha());
    EXPECT_EQ(b.pixel(0, 0), (Rgba { 255, 0, 0, 255 }));
    EXPECT_EQ(b.pixel(1, 0), (Rgba { 0, 255, 0, 255 }));
    EXPECT_EQ(b.pixel(2, 0), (Rgba { 0, 0, 255, 255 }));
    EXPECT_EQ(b.pixel(3, 0), (Rgba { 132, 130, 132, 255 })); // 16/31, 32/63, 16/31
}

TEST_F(SimpleCodecs, Bmp32BitWithZeroAlphaIsOpaque) {
    // Many writers leave the fourth byte of BI_RGB pixels at 0: that is no transparency.
    std::string f = bmpHeaders(2, 1, 32, 0, 54);
    f += bytes({ 10, 20, 30, 0, 40, 50, 60, 0 });
    writeFile(path("x.bmp"), f);
    const Bitmap b = load("x.bmp");
    EXPECT_FALSE(b.hasAlpha());
    EXPECT_EQ(b.pixel(1, 0), (Rgba { 60, 50, 40, 255 }));
}

TEST_F(SimpleCodecs, BmpRle8IsSmallerOnFlatImages) {
    Bitmap flat(200, 50, PixelFormat::Palette8);
    flat.setPalette(vst::test::noise(1, 1, PixelFormat::Palette8).palette());
    flat.fill({ 255, 0, 0, 255 });
    io::FormatParams rle;
    rle.bmpRle = true;
    io::saveImage(path("flat.bmp"), flat, rle);
    EXPECT_LT(readFile(path("flat.bmp")).size(), 2000u);
    EXPECT_TRUE(load("flat.bmp").samePixels(flat));
}

// ---- TGA

TEST_F(SimpleCodecs, TgaRleTopLeftOriginWithPacketsAcrossRows) {
    std::string f = tgaHeader(10, 3, 2, 24, 0x20);
    f += bytes({ 0x81, 0, 0, 255 }); // two red pixels
    f += bytes({ 0x02, 0, 255, 0, 255, 0, 0, 9, 9, 9 }); // green | blue, grey: crosses the row end
    f += bytes({ 0x81, 255, 255, 255 }); // two white
    writeFile(path("tl.tga"), f);
    const Bitmap b = load("tl.tga");
    ASSERT_EQ(b.pixelFormat(), PixelFormat::Rgb24);
    const Rgba expect[2][3] = { { { 255, 0, 0 }, { 255, 0, 0 }, { 0, 255, 0 } },
        { { 0, 0, 255 }, { 9, 9, 9 }, { 255, 255, 255 } } };
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(b.pixel(x, y), expect[y][x]) << x << "," << y;
}

TEST_F(SimpleCodecs, TgaRightToLeftAnd16BitAlphaBit) {
    // Bottom-up, right to left, 16-bit with one attribute bit: the row holds x=1 then x=0.
    std::string f = tgaHeader(2, 2, 1, 16, 0x10 | 1);
    le16(f, 0x8000 | 0x7C00); // opaque red, stored first = rightmost
    le16(f, 0x001F); // transparent blue
    writeFile(path("rl.tga"), f);
    const Bitmap b = load("rl.tga");
    EXPECT_EQ(b.pixel(0, 0), (Rgba { 0, 0, 255, 0 }));
    EXPECT_EQ(b.pixel(1, 0), (Rgba { 255, 0, 0, 255 }));
}

// ---- PCX / DCX

TEST_F(SimpleCodecs, DcxPagesAreReadByIndex) {
    io::saveImage(path("a.pcx"), vst::test::noise(5, 3, PixelFormat::Rgb24, 1));
    io::saveImage(path("b.pcx"), vst::test::noise(6, 2, PixelFormat::Palette8, 2));
    const std::string a = readFile(path("a.pcx")), b = readFile(path("b.pcx"));
    std::string dcx;
    le32(dcx, 0x3ADE68B1);
    le32(dcx, 16);
    le32(dcx, std::uint32_t(16 + a.size()));
    le32(dcx, 0);
    writeFile(path("two.dcx"), dcx + a + b);
    EXPECT_EQ(io::imagePageCount(path("two.dcx")), 2);
    EXPECT_TRUE(load("two.dcx", 0).samePixels(load("a.pcx")));
    EXPECT_TRUE(load("two.dcx", 1).samePixels(load("b.pcx")));
    io::LoadOptions third;
    third.pageIndex = 2;
    EXPECT_THROW(io::loadImage(path("two.dcx"), third), Error);
}

TEST_F(SimpleCodecs, Pcx4BitPlanarEgaDecodes) {
    // One plane per bit of the index: pixel 0 has index 1|4 = 5, pixel 1 index 2|8 = 10.
    std::string f = bytes({ 0x0A, 5, 0, 1 });
    le16(f, 0);
    le16(f, 0);
    le16(f, 1);
    le16(f, 0);
    le16(f, 72);
    le16(f, 72);
    for (int i = 0; i < 16; ++i)
        f += bytes({ i * 16, 255 - i * 16, i });
    f += char(0);
    f += char(4); // planes
    le16(f, 2);
    le16(f, 1);
    f.append(58, '\0');
    f += bytes({ 0x80, 0, 0x40, 0, 0x80, 0, 0x40, 0 }); // uncompressed planes
    writeFile(path("ega.pcx"), f);
    const Bitmap b = load("ega.pcx");
    ASSERT_EQ(b.pixelFormat(), PixelFormat::Palette8);
    EXPECT_EQ(b.scanline(0)[0], 5);
    EXPECT_EQ(b.scanline(0)[1], 10);
    EXPECT_EQ(b.pixel(1, 0), (Rgba { 160, 95, 10, 255 }));
}

// ---- PNM

struct PnmText {
    const char* name;
    const char* text;
    PixelFormat format;
    std::vector<std::uint16_t> samples; ///< first row's samples as stored in the bitmap
};

TEST_F(SimpleCodecs, PnmAsciiVariantsWithCommentsAndMaxvals) {
    const PnmText cases[] = {
        { "p1.pbm", "P1\n# a comment\n3 2\n0 1 0\n1 1 1\n", PixelFormat::Bw1, { 0xA0 } },
        { "p1tight.pbm", "P1 3 2 010111", PixelFormat::Bw1, { 0xA0 } },
        { "p2.pgm", "P2\n#c1\n# c2\n2 1\n15\n15 7\n", PixelFormat::Gray8, { 255, 119 } },
        { "p2wide.pgm", "P2 3 1 1000 # after maxval\n0 500 1000\n", PixelFormat::Gray16,
            { 0, 32768, 65535 } },
        { "p3.ppm", "P3 2 1 255\n255 0 0 0#x\n 0 255\n", PixelFormat::Rgb24,
            { 255, 0, 0, 0, 0, 255 } },
        { "p3over.ppm", "P3 1 1 100 100 50 200\n", PixelFormat::Rgb24, { 255, 128, 255 } },
    };
    for (const PnmText& c : cases) {
        writeFile(path(c.name), c.text);
        const Bitmap b = load(c.name);
        ASSERT_EQ(b.pixelFormat(), c.format) << c.name;
        const std::uint8_t* row = b.scanline(0);
        for (std::size_t i = 0; i < c.samples.size(); ++i) {
            std::uint16_t v = row[i];
            if (bitsPerSample(c.format) == 16) std::memcpy(&v, row + 2 * i, 2);
            EXPECT_EQ(v, c.samples[i]) << c.name << " sample " << i;
        }
    }
}

TEST_F(SimpleCodecs, PnmBinary16BitIsBigEndianAndScaled) {
    writeFile(path("be.pgm"), std::string("P5 2 1 65535\n") + bytes({ 0x12, 0x34, 0xAB, 0xCD }));
    const Bitmap b = load("be.pgm");
    ASSERT_EQ(b.pixelFormat(), PixelFormat::Gray16);
    std::uint16_t v[2];
    std::memcpy(v, b.scanline(0), 4);
    EXPECT_EQ(v[0], 0x1234);
    EXPECT_EQ(v[1], 0xABCD);

    writeFile(
        path("k.ppm"), std::string("P6 1 1 1000\n") + bytes({ 0x03, 0xE8, 0x01, 0xF4, 0, 0 }));
    const Bitmap c = load("k.ppm");
    ASSERT_EQ(c.pixelFormat(), PixelFormat::Rgb48);
    std::uint16_t rgb[3];
    std::memcpy(rgb, c.scanline(0), 6);
    EXPECT_EQ(rgb[0], 65535);
    EXPECT_EQ(rgb[1], 32768);
    EXPECT_EQ(rgb[2], 0);

    io::saveImage(path("out.pgm"), b);
    EXPECT_EQ(readFile(path("out.pgm")),
        std::string("P5\n2 1\n65535\n") + bytes({ 0x12, 0x34, 0xAB, 0xCD }));
}

TEST_F(SimpleCodecs, PbmStoresOneAsBlack) {
    Bitmap bw(3, 1, PixelFormat::Bw1);
    bw.mutableScanline(0)[0] = 0x40; // black, white, black
    io::saveImage(path("b.pbm"), bw);
    EXPECT_EQ(readFile(path("b.pbm")), std::string("P4\n3 1\n") + bytes({ 0xA0 }));
}

// ---- ICO

TEST_F(SimpleCodecs, IcoPagesAreOrderedLargestFirst) {
    io::saveImage(path("s.ico"), runsAndNoise(16, 16, PixelFormat::Rgb24, true));
    io::saveImage(path("l.ico"), runsAndNoise(32, 32, PixelFormat::Rgb24, true));
    const std::string s = readFile(path("s.ico")).substr(22),
                      l = readFile(path("l.ico")).substr(22);
    std::string ico = bytes({ 0, 0, 1, 0, 2, 0 });
    auto entry = [&](int side, std::size_t size, std::size_t offset) {
        ico += bytes({ side, side, 0, 0, 1, 0, 32, 0 });
        le32(ico, std::uint32_t(size));
        le32(ico, std::uint32_t(offset));
    };
    entry(16, s.size(), 38);
    entry(32, l.size(), 38 + s.size());
    writeFile(path("two.ico"), ico + s + l);
    EXPECT_EQ(io::imagePageCount(path("two.ico")), 2);
    EXPECT_TRUE(load("two.ico", 0).samePixels(load("l.ico")));
    EXPECT_TRUE(load("two.ico", 1).samePixels(load("s.ico")));
}

TEST_F(SimpleCodecs, IcoPaletteImageUsesAndMask) {
    // 8-bit colour bitmap of 2x2 with the AND mask making the top-left pixel transparent.
    std::string f = bytes({ 0, 0, 1, 0, 1, 0, 2, 2, 0, 0, 1, 0, 8, 0 });
    std::string img;
    le32(img, 40);
    le32(img, 2);
    le32(img, 4);
    le16(img, 1);
    le16(img, 8);
    img.append(24, '\0');
    for (int i = 0; i < 256; ++i)
        img += bytes({ i, i / 2, 255 - i, 0 });
    img += bytes({ 1, 2, 0, 0, 3, 4, 0, 0 }); // bottom row, then top row
    img += bytes({ 0, 0, 0, 0, 0x80, 0, 0, 0 }); // mask: top row, x = 0
    le32(f, std::uint32_t(img.size()));
    le32(f, 22);
    writeFile(path("pal.ico"), f + img);
    const Bitmap b = load("pal.ico");
    ASSERT_EQ(b.pixelFormat(), PixelFormat::Palette8);
    ASSERT_TRUE(b.hasAlphaPlane());
    EXPECT_EQ(b.pixel(0, 0), (Rgba { 252, 1, 3, 0 }));
    EXPECT_EQ(b.pixel(1, 0), (Rgba { 251, 2, 4, 255 }));
    EXPECT_EQ(b.pixel(0, 1).a, 255);
}

TEST_F(SimpleCodecs, IcoWithEmbeddedPngDecodes) {
    const auto png = io::CodecRegistry::instance().forExtension(".png");
    if (!png) GTEST_SKIP() << "no PNG codec";
    const Bitmap src = runsAndNoise(20, 10, PixelFormat::Rgb24, true);
    io::saveImage(path("in.png"), src);
    const std::string data = readFile(path("in.png"));
    std::string ico = bytes({ 0, 0, 1, 0, 1, 0, 20, 10, 0, 0, 1, 0, 32, 0 });
    le32(ico, std::uint32_t(data.size()));
    le32(ico, 22);
    writeFile(path("png.ico"), ico + data);
    EXPECT_TRUE(load("png.ico").samePixels(load("in.png")));
}

TEST_F(SimpleCodecs, IcoRefusesImagesOver256) {
    try {
        io::saveImage(path("big.ico"), Bitmap(257, 16, PixelFormat::Rgb24));
        FAIL();
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("ICO images can be at most 256 x 256 pixels"),
            std::string::npos);
    }
    EXPECT_NO_THROW(io::saveImage(path("max.ico"), Bitmap(256, 256, PixelFormat::Rgb24)));
    EXPECT_EQ(load("max.ico").width(), 256);
}

// ---- PSD

TEST_F(SimpleCodecs, PsdRawCmykIsInvertedInk) {
    std::string f = psdHeader(1, 1, 4, 8, 4);
    be16(f, 0); // raw
    f += bytes({ 255, 0, 127, 200 });
    writeFile(path("cmyk.psd"), f);
    const Bitmap b = load("cmyk.psd");
    ASSERT_EQ(b.pixelFormat(), PixelFormat::Cmyk32);
    EXPECT_FALSE(b.hasAlpha());
    EXPECT_EQ(0, std::memcmp(b.scanline(0), bytes({ 0, 255, 128, 55 }).data(), 4));
}

TEST_F(SimpleCodecs, PsdExtraChannelIsAlphaOnlyWhenMergedTransparencyIsSaid) {
    // RGB plus one extra channel, raw, 1 x 1.
    auto file = [&](const std::string& resources, const std::string& layers) {
        std::string f = psdHeader(1, 1, 4, 8, 3);
        f.resize(f.size() - 8);
        be32(f, std::uint32_t(resources.size()));
        f += resources;
        be32(f, std::uint32_t(layers.size()));
        f += layers;
        be16(f, 0);
        return f + bytes({ 10, 20, 30, 99 });
    };
    std::string named = "8BIM";
    be16(named, 0x03EE);
    be16(named, 0);
    be32(named, 6);
    named += bytes({ 5, 'A', 'l', 'p', 'h', 'a' });
    std::string negativeCount;
    be32(negativeCount, 2);
    be16(negativeCount, 0xFFFF); // -1 layer: merged transparency in the first extra channel
    std::string positiveCount;
    be32(positiveCount, 2);
    be16(positiveCount, 1);
    struct {
        const char* name;
        std::string resources, layers;
        bool alpha;
    } cases[] = {
        { "flat.psd", "", "", true },
        { "named.psd", named, "", false },
        { "merged.psd", named, negativeCount, true },
        { "layered.psd", "", positiveCount, false },
    };
    for (const auto& c : cases) {
        writeFile(path(c.name), file(c.resources, c.layers));
        const Bitmap b = load(c.name);
        EXPECT_EQ(b.hasAlphaPlane(), c.alpha) << c.name;
        EXPECT_EQ(b.pixel(0, 0), (Rgba { 10, 20, 30, std::uint8_t(c.alpha ? 99 : 255) })) << c.name;
    }
}

TEST_F(SimpleCodecs, PsdRefusesOver30000ButPsbTakesIt) {
    EXPECT_THROW(io::saveImage(path("wide.psd"), Bitmap(30001, 1, PixelFormat::Gray8)), Error);
    const Bitmap wide = runsAndNoise(30001, 2, PixelFormat::Gray8, false);
    EXPECT_TRUE(roundTrip(wide, "wide.psb").samePixels(wide));
}

// ---- hostile files

struct HostileCase {
    std::string name;
    std::string bytes;
};

std::vector<HostileCase> lyingHeaders() {
    std::vector<HostileCase> v;
    for (const int side : { 60000, 20000 }) {
        const std::string s = std::to_string(side);
        v.push_back({ "bmp24_" + s + ".bmp", bmpHeaders(side, side, 24, 0, 54) + "abcd" });
        v.push_back({ "bmprle_" + s + ".bmp",
            bmpHeaders(side, side, 8, 1, 54 + 1024) + std::string(1024, '\0') + bytes({ 4, 1 }) });
        v.push_back({ "tga_" + s + ".tga", tgaHeader(2, side, side, 24, 0) + "abcdef" });
        v.push_back({ "tgarle_" + s + ".tga", tgaHeader(10, side, side, 32, 0) + "\xff\1\2\3\4" });
        v.push_back({ "pcx_" + s + ".pcx", pcxHeader(side, side, 3) + "\xff\1\xff\2" });
        v.push_back({ "p6_" + s + ".ppm", "P6 " + s + " " + s + " 255\nabc" });
        v.push_back({ "p3_" + s + ".ppm", "P3 " + s + " " + s + " 255 1 2 3" });
        v.push_back({ "p4_" + s + ".pbm", "P4 " + s + " " + s + "\nab" });
        std::string psdRaw = psdHeader(side, side, 3, 8, 3);
        be16(psdRaw, 0);
        v.push_back({ "psdraw_" + s + ".psd", psdRaw + "abc" });
        std::string psdRle = psdHeader(side, side, 3, 8, 3);
        be16(psdRle, 1);
        v.push_back({ "psdrle_" + s + ".psd", psdRle + std::string(size_t(side) * 6, '\x01') });
        std::string ico
            = bytes({ 0, 0, 1, 0, 1, 0, 0, 0, 0, 0, 1, 0, 32, 0, 40, 0, 0, 0, 22, 0, 0, 0 });
        std::string dib;
        le32(dib, 40);
        le32(dib, std::uint32_t(side));
        le32(dib, std::uint32_t(side) * 2);
        le16(dib, 1);
        le16(dib, 32);
        dib.append(24, '\0');
        v.push_back({ "ico_" + s + ".ico", ico + dib });
    }
    return v;
}

TEST_F(SimpleCodecs, HeadersClaimingHugeSizesFailBeforeAllocating) {
    // The pool keeps whatever a failed load allocated, so its size shows a giant allocation.
    BufferPool& pool = BufferPool::instance();
    pool.setMaxPooledBytes(std::size_t(64) << 30);
    for (const HostileCase& c : lyingHeaders()) {
        writeFile(path(c.name), c.bytes);
        pool.trim();
        const std::string err = errorOf(path(c.name));
        EXPECT_LT(pool.pooledBytes(), std::size_t(16) << 20) << c.name;
        EXPECT_NE(err, "") << c.name;
        // Over the limit: refused by size; under it: refused for the missing bytes.
        const bool refused = err.find("too large") != std::string::npos
            || err.find("truncated") != std::string::npos;
        EXPECT_TRUE(refused) << c.name << ": " << err;
    }
    pool.trim();
    pool.setMaxPooledBytes(std::size_t(768) << 20);
}

/// Valid files of each codec's variants (compressed and not), for cutting and corrupting.
std::vector<std::pair<std::string, std::string>> sampleFiles(const std::string& dir) {
    io::FormatParams raw, rle;
    raw.tgaRle = false;
    rle.bmpRle = true;
    const struct {
        const char* name;
        PixelFormat format;
        bool alpha;
        io::FormatParams params;
    } samples[] = {
        { "rgb.bmp", PixelFormat::Rgb24, false, raw },
        { "argb.bmp", PixelFormat::Rgb24, true, raw },
        { "rle8.bmp", PixelFormat::Palette8, false, rle },
        { "raw.tga", PixelFormat::Rgb24, true, raw },
        { "rle.tga", PixelFormat::Palette8, false, {} },
        { "rgb.pcx", PixelFormat::Rgb24, false, {} },
        { "one.dcx", PixelFormat::Rgb24, false, {} },
        { "bin.ppm", PixelFormat::Rgb48, false, {} },
        { "alpha.pam", PixelFormat::Rgb24, true, {} },
        { "icon.ico", PixelFormat::Rgb24, true, {} },
        { "rle.psd", PixelFormat::Rgb24, true, {} },
        { "bitmap.psd", PixelFormat::Bw1, false, {} },
    };
    std::vector<std::pair<std::string, std::string>> out;
    for (const auto& s : samples) {
        const std::string p = dir + "/" + s.name;
        io::saveImage(p, runsAndNoise(37, 23, s.format, s.alpha), s.params);
        out.push_back({ s.name, readFile(p) });
    }
    return out;
}

TEST_F(SimpleCodecs, TruncatedFilesFail) {
    for (const auto& [name, good] : sampleFiles(m_dir)) {
        const std::size_t cuts[] = { 0, 2, 9, 30, good.size() / 2, good.size() * 3 / 5 };
        for (const std::size_t n : cuts) {
            writeFile(path("cut_" + name), good.substr(0, n));
            EXPECT_NE(errorOf(path("cut_" + name)), "") << name << " cut at " << n;
        }
    }
    // An ASCII PNM that runs out of numbers.
    writeFile(path("short.pgm"), "P2 3 3 255 1 2 3 4");
    EXPECT_NE(errorOf(path("short.pgm")).find("truncated"), std::string::npos);
}

TEST_F(SimpleCodecs, CorruptedAndGarbageFilesNeverCrash) {
    // Every outcome but a crash, a hang or a sanitizer report is fine: a decoded image or an
    // ie::Error.
    std::mt19937 rng(11);
    for (const auto& [name, good] : sampleFiles(m_dir)) {
        for (int round = 0; round < 100; ++round) {
            std::string bad = good;
            const int flips = 1 + int(rng() % 6);
            for (int i = 0; i < flips; ++i)
                bad[rng() % std::min<std::size_t>(bad.size(), round % 2 ? bad.size() : 160)]
                    = char(rng());
            writeFile(path("bad_" + name), bad);
            try {
                io::loadImage(path("bad_" + name));
            } catch (const Error&) { }
        }
        std::string garbage = good.substr(0, 4);
        for (int i = 0; i < 3000; ++i)
            garbage += char(rng());
        writeFile(path("garbage_" + name), garbage);
        EXPECT_NE(errorOf(path("garbage_" + name)), "") << name;
    }
}

} // namespace
