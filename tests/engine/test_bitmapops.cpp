#include "imaging/BitmapOps.h"
#include "imaging/Convert.h"
#include "imaging/Error.h"
#include "support/TestImages.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>

using namespace ie;
using vst::test::noise;

namespace {

constexpr PixelFormat kAll[]
    = { PixelFormat::Bw1, PixelFormat::Palette8, PixelFormat::Gray8, PixelFormat::Gray16,
          PixelFormat::Rgb24, PixelFormat::Rgba32, PixelFormat::Rgb48, PixelFormat::Cmyk32 };

// Odd sizes, one row, one column, and one larger than a rotation tile in both directions.
constexpr int kSizes[][2] = { { 13, 7 }, { 1, 9 }, { 9, 1 }, { 70, 131 } };

// Noise in every sample, with a noise alpha plane where the format allows one.
Bitmap sample(int w, int h, PixelFormat f) {
    Bitmap b = noise(w, h, f, unsigned(w * 31 + h));
    if (f == PixelFormat::Rgba32) return b;
    b.addAlphaPlane();
    const Bitmap a = noise(w, h, PixelFormat::Gray8, 99);
    for (int y = 0; y < h; ++y)
        std::memcpy(b.mutableAlphaLine(y), a.scanline(y), w);
    return b;
}

// The raw stored value of a pixel (all its bits) and its plane alpha, for exact comparisons.
std::uint64_t raw(const Bitmap& b, int x, int y) {
    const int bpp = bitsPerPixel(b.pixelFormat());
    std::uint64_t v = 0;
    if (bpp == 1)
        v = (b.scanline(y)[x >> 3] >> (7 - (x & 7))) & 1;
    else
        std::memcpy(&v, b.scanline(y) + std::size_t(x) * (bpp / 8), bpp / 8);
    if (b.hasAlphaPlane()) v = v << 8 | b.alphaLine(y)[x];
    return v;
}

// Checks got(x, y) == src(map(x, y)) for every pixel of `got`.
void expectMapped(const Bitmap& got, const Bitmap& src,
    const std::function<std::pair<int, int>(int, int)>& map, const std::string& what) {
    for (int y = 0; y < got.height(); ++y)
        for (int x = 0; x < got.width(); ++x) {
            const auto [sx, sy] = map(x, y);
            ASSERT_EQ(raw(got, x, y), raw(src, sx, sy)) << what << " at " << x << "," << y;
        }
}

std::string label(PixelFormat f, int w, int h) {
    return std::string(pixelFormatName(f)) + " " + std::to_string(w) + "x" + std::to_string(h);
}

Rgba grey(int v, int a = 255) {
    return { std::uint8_t(v), std::uint8_t(v), std::uint8_t(v), std::uint8_t(a) };
}

} // namespace

TEST(BitmapOps, TurnsAndFlipsMovePixelsWhereTheyBelong) {
    for (auto [w, h] : kSizes)
        for (PixelFormat f : kAll) {
            const Bitmap src = sample(w, h, f);
            const std::string what = label(f, w, h);
            const Bitmap r90 = rotateRightAngle(src, 90);
            ASSERT_EQ(r90.width(), h);
            ASSERT_EQ(r90.height(), w);
            expectMapped(
                r90, src,
                [&](int x, int y) {
                    return std::pair { y, h - 1 - x };
                },
                what + " 90");
            expectMapped(
                rotateRightAngle(src, 270), src,
                [&](int x, int y) {
                    return std::pair { w - 1 - y, x };
                },
                what + " 270");
            expectMapped(
                rotateRightAngle(src, 180), src,
                [&](int x, int y) {
                    return std::pair { w - 1 - x, h - 1 - y };
                },
                what + " 180");
            Bitmap flipped = src;
            flipHorizontal(flipped);
            expectMapped(
                flipped, src,
                [&](int x, int y) {
                    return std::pair { w - 1 - x, y };
                },
                what + " horizontal");
            flipped = src;
            flipVertical(flipped);
            expectMapped(
                flipped, src,
                [&](int x, int y) {
                    return std::pair { x, h - 1 - y };
                },
                what + " vertical");
        }
}

TEST(BitmapOps, TurnsAndFlipsUndoThemselves) {
    for (auto [w, h] : kSizes)
        for (PixelFormat f : kAll) {
            const Bitmap src = sample(w, h, f);
            const std::string what = label(f, w, h);
            Bitmap b = src;
            for (int i = 0; i < 4; ++i)
                b = rotateRightAngle(b, 90);
            EXPECT_TRUE(b.samePixels(src)) << what << " 4 x 90";
            EXPECT_TRUE(rotateRightAngle(rotateRightAngle(src, 90), 270).samePixels(src)) << what;
            EXPECT_TRUE(rotateRightAngle(rotateRightAngle(src, 180), 180).samePixels(src)) << what;
            b = src;
            flipHorizontal(b);
            flipHorizontal(b);
            EXPECT_TRUE(b.samePixels(src)) << what << " horizontal";
            flipVertical(b);
            flipVertical(b);
            EXPECT_TRUE(b.samePixels(src)) << what << " vertical";
        }
}

TEST(BitmapOps, QuarterTurnSwapsResolution) {
    Bitmap src = sample(5, 3, PixelFormat::Palette8);
    src.setDpi(300, 100);
    const Bitmap r = rotateRightAngle(src, 270);
    EXPECT_EQ(r.dpiX(), 100);
    EXPECT_EQ(r.dpiY(), 300);
    EXPECT_EQ(r.palette(), src.palette());
    for (int bad : { 0, 45, -90, 360 })
        EXPECT_THROW(rotateRightAngle(src, bad), Error) << bad;
}

TEST(BitmapOps, CropClipsToTheImage) {
    const Rect rects[] = { { 3, 2, 7, 4 }, { -5, -5, 9, 8 }, { 10, 5, 100, 100 }, { 0, 0, 13, 7 } };
    for (PixelFormat f : kAll) {
        Bitmap src = sample(13, 7, f);
        src.setDpi(200, 200);
        for (const Rect& r : rects) {
            const Rect c = r.intersected(src.rect());
            const Bitmap got = crop(src, r);
            ASSERT_EQ(got.rect(), (Rect { 0, 0, c.w, c.h }));
            EXPECT_EQ(got.dpiX(), 200);
            EXPECT_EQ(got.palette(), src.palette());
            expectMapped(
                got, src,
                [&](int x, int y) {
                    return std::pair { x + c.x, y + c.y };
                },
                label(f, r.x, r.y));
        }
        EXPECT_THROW(crop(src, { 13, 0, 5, 5 }), Error);
        EXPECT_THROW(crop(src, { -6, -6, 5, 5 }), Error);
    }
}

TEST(BitmapOps, CopyRectClipsAtAnyOffset) {
    // Offsets off byte boundaries for 1-bit rows, and partly outside on each side.
    struct Case {
        Rect from;
        int dx, dy;
    };
    const Case cases[] = { { { 0, 0, 13, 7 }, 3, 2 }, { { 2, 1, 9, 5 }, -4, -3 },
        { { -3, -2, 8, 8 }, 15, 10 }, { { 5, 0, 3, 7 }, 0, 0 } };
    for (PixelFormat f : kAll)
        for (const Case& c : cases) {
            const Bitmap src = sample(13, 7, f);
            Bitmap dst = sample(19, 12, f); // noise palettes are all alike
            const Bitmap orig = dst;
            copyRect(src, c.from, dst, c.dx, c.dy);
            const Rect s = c.from.intersected(src.rect());
            const int ox = c.dx - c.from.x, oy = c.dy - c.from.y; // dst = src + offset
            const Rect placed = Rect { s.x + ox, s.y + oy, s.w, s.h }.intersected(dst.rect());
            for (int y = 0; y < dst.height(); ++y)
                for (int x = 0; x < dst.width(); ++x) {
                    const bool inside = x >= placed.x && x < placed.right() && y >= placed.y
                        && y < placed.bottom();
                    const std::uint64_t want = inside ? raw(src, x - ox, y - oy) : raw(orig, x, y);
                    ASSERT_EQ(raw(dst, x, y), want) << label(f, c.dx, c.dy) << " " << x << "," << y;
                }
        }
}

TEST(BitmapOps, CopyRectWithinOneBitmapReadsTheOriginal) {
    for (PixelFormat f : { PixelFormat::Bw1, PixelFormat::Rgb24 }) {
        Bitmap b = sample(40, 300, f);
        const Bitmap before = b;
        const Rect from { 0, 0, 33, 290 };
        copyRect(b, from, b, 5, 7); // overlapping, moved down and right
        expectMapped(
            crop(b, { 5, 7, 33, 290 }), before,
            [](int x, int y) {
                return std::pair { x, y };
            },
            std::string(pixelFormatName(f)));
    }
}

TEST(BitmapOps, CopyRectConvertsToTheDestination) {
    Bitmap src(4, 1, PixelFormat::Rgb24);
    src.setPixel(0, 0, { 250, 10, 10, 255 });
    src.setPixel(1, 0, { 10, 240, 20, 255 });
    src.setPixel(2, 0, { 0, 0, 0, 255 });
    src.setPixel(3, 0, { 200, 200, 200, 255 });

    // A paletted destination keeps its palette; colours take the nearest entry.
    Bitmap pal(4, 1, PixelFormat::Palette8);
    const std::vector<Rgb> entries { { 0, 0, 0 }, { 255, 0, 0 }, { 0, 255, 0 }, { 255, 255, 255 } };
    pal.setPalette(entries);
    pal.addAlphaPlane(0);
    copyRect(src, src.rect(), pal, 0, 0);
    EXPECT_EQ(pal.palette(), entries);
    const std::uint8_t want[4] = { 1, 2, 0, 3 };
    EXPECT_EQ(std::memcmp(pal.scanline(0), want, 4), 0);
    EXPECT_EQ(pal.alphaLine(0)[2], 255) << "an opaque source makes the plane opaque";

    Bitmap grey16(4, 1, PixelFormat::Gray16);
    copyRect(src, src.rect(), grey16, 0, 0);
    EXPECT_EQ(grey16.pixel(3, 0), grey(200));

    // Alpha travels between a plane and Rgba32 pixels.
    Bitmap rgba(4, 1, PixelFormat::Rgba32);
    rgba.fill({ 0, 0, 0, 0 });
    Bitmap translucent = src;
    translucent.addAlphaPlane(77);
    copyRect(translucent, { 1, 0, 2, 1 }, rgba, 2, 0);
    EXPECT_EQ(rgba.pixel(2, 0), (Rgba { 10, 240, 20, 77 }));
    EXPECT_EQ(rgba.pixel(1, 0), (Rgba { 0, 0, 0, 0 }));
}

TEST(BitmapOps, CopyRectCopiesOnlyTheStripsItWrites) {
    Bitmap a(3000, 2000, PixelFormat::Rgb24);
    a.fill(grey(9));
    Bitmap b = a;
    const Bitmap patch = noise(10, 10, PixelFormat::Rgb24);
    copyRect(patch, patch.rect(), b, 5, 5);
    const int last = b.colorPlane().stripCount() - 1;
    ASSERT_GT(last, 0);
    EXPECT_TRUE(b.colorPlane().sharesStripWith(a.colorPlane(), last));
    EXPECT_FALSE(b.colorPlane().sharesStripWith(a.colorPlane(), 0));
    EXPECT_EQ(a.pixel(5, 5), grey(9));
}

TEST(BitmapOps, DrawOntoBlendsHalfTransparentPixels) {
    // 200 at half alpha over 50: (200 * 128 + 50 * 127) / 255 = 125.8.
    Bitmap src(3, 2, PixelFormat::Rgba32);
    src.fill(grey(200, 128));
    for (PixelFormat f : { PixelFormat::Rgb24, PixelFormat::Rgba32, PixelFormat::Gray8,
             PixelFormat::Gray16, PixelFormat::Rgb48, PixelFormat::Cmyk32 }) {
        Bitmap dst(5, 4, f);
        dst.fill(grey(50));
        drawOnto(dst, src, 3, -1); // partly outside
        EXPECT_NEAR(dst.pixel(3, 0).g, 125.8, 1) << pixelFormatName(f);
        EXPECT_NEAR(dst.pixel(4, 0).r, 125.8, 1) << pixelFormatName(f);
        EXPECT_EQ(dst.pixel(2, 0), grey(50)) << pixelFormatName(f);
        EXPECT_EQ(dst.pixel(3, 1), grey(50)) << pixelFormatName(f);
        EXPECT_EQ(dst.pixel(3, 0).a, 255) << pixelFormatName(f);
    }
    // Opacity scales an opaque source the same way.
    Bitmap opaque(1, 1, PixelFormat::Rgb24);
    opaque.fill(grey(200));
    Bitmap dst(1, 1, PixelFormat::Rgb24);
    dst.fill(grey(50));
    drawOnto(dst, opaque, 0, 0, 128 / 255.0);
    EXPECT_NEAR(dst.pixel(0, 0).b, 125.8, 1);
    drawOnto(dst, opaque, 0, 0, 0.0);
    EXPECT_NEAR(dst.pixel(0, 0).b, 125.8, 1);
}

TEST(BitmapOps, DrawOntoGivesUnionCoverage) {
    struct Case {
        int dstAlpha;
        int wantAlpha, wantColour;
    };
    // Over nothing the source shows as it is; over half cover the colours mix by coverage:
    // alpha 128 + 128 * 127 / 255 = 192, colour (200 * 128 + 50 * 64) / 192 = 150.
    const Case cases[] = { { 0, 128, 200 }, { 128, 192, 150 }, { 255, 255, 125 } };
    Bitmap src(1, 1, PixelFormat::Gray8);
    src.fill(grey(200));
    src.addAlphaPlane(128);
    for (const Case& c : cases)
        for (PixelFormat f : { PixelFormat::Rgba32, PixelFormat::Rgb24, PixelFormat::Palette8,
                 PixelFormat::Rgb48 }) {
            Bitmap dst(1, 1, f);
            if (f == PixelFormat::Palette8) {
                std::vector<Rgb> ramp(256);
                for (int i = 0; i < 256; ++i)
                    ramp[i] = { std::uint8_t(i), std::uint8_t(i), std::uint8_t(i) };
                dst.setPalette(ramp);
            }
            if (f != PixelFormat::Rgba32) dst.addAlphaPlane();
            dst.fill(grey(50, c.dstAlpha));
            drawOnto(dst, src, 0, 0);
            const Rgba got = dst.pixel(0, 0);
            EXPECT_NEAR(got.a, c.wantAlpha, 1) << pixelFormatName(f) << " over " << c.dstAlpha;
            EXPECT_NEAR(got.g, c.wantColour, 1) << pixelFormatName(f) << " over " << c.dstAlpha;
        }
}

TEST(BitmapOps, DrawOntoOneBitThresholdsTheBlend) {
    Bitmap dst(10, 1, PixelFormat::Bw1);
    dst.fill(grey(0));
    Bitmap src(4, 1, PixelFormat::Rgba32);
    src.fill(grey(255, 200));
    src.setPixel(0, 0, grey(255, 100));
    drawOnto(dst, src, 5, 0);
    for (int x = 0; x < 10; ++x)
        EXPECT_EQ(dst.pixel(x, 0).r, x >= 6 && x <= 8 ? 255 : 0) << x;
}
