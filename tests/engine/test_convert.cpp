#include "imaging/Convert.h"
#include "imaging/Error.h"
#include "imaging/Quantizer.h"
#include "support/TestImages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <random>
#include <set>

using namespace ie;
using vst::test::maxRgbaDiff;
using vst::test::noise;
using vst::test::photoLike;
using vst::test::psnr;

namespace {

constexpr PixelFormat kAll[]
    = { PixelFormat::Bw1, PixelFormat::Palette8, PixelFormat::Gray8, PixelFormat::Gray16,
          PixelFormat::Rgb24, PixelFormat::Rgba32, PixelFormat::Rgb48, PixelFormat::Cmyk32 };

// Sizes that catch row and bit-packing slips: one column, one row, widths off a byte boundary.
constexpr int kSizes[][2] = { { 1, 5 }, { 5, 1 }, { 13, 7 } };

std::string name(PixelFormat from, PixelFormat to) {
    return std::string(pixelFormatName(from)) + " -> " + std::string(pixelFormatName(to));
}

// Mean colour error over 8x8 blocks: what the eye sees from a distance.
double blockError(const Bitmap& a, const Bitmap& b) {
    double total = 0;
    int blocks = 0;
    for (int by = 0; by + 8 <= a.height(); by += 8)
        for (int bx = 0; bx + 8 <= a.width(); bx += 8, ++blocks) {
            double d[3] = {};
            for (int y = by; y < by + 8; ++y)
                for (int x = bx; x < bx + 8; ++x) {
                    const Rgba p = a.pixel(x, y), q = b.pixel(x, y);
                    d[0] += p.r - q.r;
                    d[1] += p.g - q.g;
                    d[2] += p.b - q.b;
                }
            total += (std::abs(d[0]) + std::abs(d[1]) + std::abs(d[2])) / 64;
        }
    return total / blocks;
}

} // namespace

TEST(Convert, EveryFormatReadsAsBitmapPixelDoes) {
    // Bitmap::pixel is the reference decoding of each format.
    for (auto [w, h] : kSizes)
        for (PixelFormat f : kAll) {
            const Bitmap src = noise(w, h, f, 7);
            const Bitmap rgb = convertTo(src, PixelFormat::Rgb24);
            ASSERT_EQ(rgb.pixelFormat(), PixelFormat::Rgb24);
            EXPECT_EQ(maxRgbaDiff(rgb, convertTo(src, PixelFormat::Rgba32)), 0);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) {
                    Rgba want = src.pixel(x, y), got = rgb.pixel(x, y);
                    want.a = got.a = 255;
                    ASSERT_EQ(got, want) << pixelFormatName(f) << " at " << x << "," << y;
                }
        }
}

TEST(Convert, EveryFormatWritesAsBitmapSetPixelDoes) {
    for (auto [w, h] : kSizes) {
        const Bitmap rgb = noise(w, h, PixelFormat::Rgb24, 3);
        for (PixelFormat f : kAll) {
            if (f == PixelFormat::Palette8) continue; // its palette is chosen, see below
            Bitmap want(w, h, f);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    want.setPixel(x, y, rgb.pixel(x, y));
            const Bitmap got = convertTo(rgb, f);
            EXPECT_EQ(maxRgbaDiff(got, want), 0) << pixelFormatName(f) << " " << w << "x" << h;
        }
    }
}

TEST(Convert, RoundTrips) {
    struct Case {
        PixelFormat from, via;
        int tolerance; // 0: identical pixels
    };
    const Case cases[] = {
        { PixelFormat::Rgb24, PixelFormat::Rgb48, 0 },
        { PixelFormat::Rgb24, PixelFormat::Rgba32, 0 },
        { PixelFormat::Gray8, PixelFormat::Rgb24, 0 },
        { PixelFormat::Gray8, PixelFormat::Gray16, 0 },
        { PixelFormat::Gray8, PixelFormat::Palette8, 0 },
        { PixelFormat::Gray16, PixelFormat::Rgb48, 0 },
        { PixelFormat::Bw1, PixelFormat::Gray8, 0 },
        { PixelFormat::Bw1, PixelFormat::Palette8, 0 },
        { PixelFormat::Bw1, PixelFormat::Cmyk32, 0 },
        { PixelFormat::Rgb24, PixelFormat::Cmyk32, 1 },
    };
    for (const Case& c : cases)
        for (auto [w, h] : kSizes) {
            const Bitmap src = convertTo(noise(w, h, c.from, 11), c.from);
            Bitmap back = convertTo(convertTo(src, c.via), c.from);
            if (c.via == PixelFormat::Rgba32) { // its alpha comes back as an opaque plane
                EXPECT_TRUE(back.hasAlphaPlane() && back.alphaIsOpaque());
                back.removeAlphaPlane();
            }
            if (c.tolerance == 0)
                EXPECT_TRUE(back.samePixels(src)) << name(c.from, c.via) << " " << w << "x" << h;
            else
                EXPECT_LE(maxRgbaDiff(back, src), c.tolerance) << name(c.from, c.via);
        }
}

TEST(Convert, SixteenBitSamplesKeepTheirPrecision) {
    Bitmap grey(3, 1, PixelFormat::Gray16);
    const std::uint16_t v[3] = { 1, 32769, 65534 }; // not multiples of 257
    std::memcpy(grey.mutableScanline(0), v, sizeof v);
    const Bitmap rgb48 = convertTo(grey, PixelFormat::Rgb48);
    const auto* p = reinterpret_cast<const std::uint16_t*>(rgb48.scanline(0));
    EXPECT_EQ(p[3], 32769);
    EXPECT_EQ(p[4], 32769);
    EXPECT_EQ(p[8], 65534);
    EXPECT_TRUE(convertTo(rgb48, PixelFormat::Gray16).samePixels(grey));
}

TEST(Convert, AlphaSurvivesEveryConversion) {
    const Bitmap alpha = noise(13, 7, PixelFormat::Gray8, 5);
    Bitmap withPlane = noise(13, 7, PixelFormat::Rgb24, 6);
    withPlane.addAlphaPlane();
    for (int y = 0; y < 7; ++y)
        std::memcpy(withPlane.mutableAlphaLine(y), alpha.scanline(y), 13);
    const Bitmap rgba = convertTo(withPlane, PixelFormat::Rgba32);
    ASSERT_FALSE(rgba.hasAlphaPlane());
    for (PixelFormat f : kAll)
        for (const Bitmap* src : std::initializer_list<const Bitmap*> { &withPlane, &rgba }) {
            const Bitmap got = convertTo(*src, f, { 16, true, 128 });
            EXPECT_EQ(got.hasAlphaPlane(), f != PixelFormat::Rgba32);
            const Bitmap back = convertTo(got, PixelFormat::Rgba32);
            for (int y = 0; y < 7; ++y)
                for (int x = 0; x < 13; ++x)
                    ASSERT_EQ(back.pixel(x, y).a, alpha.scanline(y)[x])
                        << name(src->pixelFormat(), f);
        }
}

TEST(Convert, KeepsResolutionAndSharesWhenFormatIsTheSame) {
    Bitmap src = noise(4, 4, PixelFormat::Rgb24);
    src.setDpi(300, 150);
    for (PixelFormat f : kAll) {
        const Bitmap got = convertTo(src, f);
        EXPECT_EQ(got.dpiX(), 300) << pixelFormatName(f);
        EXPECT_EQ(got.dpiY(), 150) << pixelFormatName(f);
    }
    EXPECT_TRUE(
        convertTo(src, PixelFormat::Rgb24).colorPlane().sharesStripWith(src.colorPlane(), 0));
}

TEST(Convert, FewColoursBecomeAnExactPalette) {
    std::mt19937 rng(2);
    std::vector<Rgba> colours(200);
    for (Rgba& c : colours)
        c = { std::uint8_t(rng()), std::uint8_t(rng()), std::uint8_t(rng()), 255 };
    Bitmap src(61, 37, PixelFormat::Rgb24);
    for (int y = 0; y < src.height(); ++y)
        for (int x = 0; x < src.width(); ++x)
            src.setPixel(x, y, colours[rng() % colours.size()]);

    for (int limit : { 256, 200 }) {
        const Bitmap pal = convertTo(src, PixelFormat::Palette8, { limit, true, 128 });
        EXPECT_EQ(pal.palette().size(), 200u);
        EXPECT_TRUE(convertTo(pal, PixelFormat::Rgb24).samePixels(src)) << limit;
    }
    const Bitmap fewer = convertTo(src, PixelFormat::Palette8, { 100, false, 128 });
    EXPECT_LE(fewer.palette().size(), 100u);
    EXPECT_EQ(quantizePalette(src, 256).size(), 200u);
    EXPECT_LE(quantizePalette(src, 8).size(), 8u);
}

TEST(Convert, QuantizerKeepsPhotosClose) {
    const Bitmap photo = photoLike(256, 192);
    struct Case {
        int colors;
        double minPsnr;
    };
    for (Case c : { Case { 256, 36 }, Case { 16, 26 }, Case { 2, 16 } }) {
        const Bitmap pal = convertTo(photo, PixelFormat::Palette8, { c.colors, false, 128 });
        EXPECT_LE(pal.palette().size(), std::size_t(c.colors));
        EXPECT_GT(psnr(convertTo(pal, PixelFormat::Rgb24), photo), c.minPsnr) << c.colors;
    }
}

TEST(Convert, DitheringKeepsLocalAverages) {
    const Bitmap photo = photoLike(256, 192);
    const Bitmap flat = convertTo(photo, PixelFormat::Palette8, { 16, false, 128 });
    const Bitmap dithered = convertTo(photo, PixelFormat::Palette8, { 16, true, 128 });
    EXPECT_EQ(flat.palette(), dithered.palette());
    EXPECT_FALSE(flat.samePixels(dithered));
    EXPECT_LT(blockError(dithered, photo), 0.65 * blockError(flat, photo));
}

TEST(Convert, OneBitByThresholdOrDither) {
    Bitmap grey(37, 1, PixelFormat::Gray8);
    for (int x = 0; x < 37; ++x)
        grey.mutableScanline(0)[x] = std::uint8_t(100 + x); // 100 .. 136
    for (int t : { 0, 110, 128, 256 }) {
        const Bitmap bw = convertTo(grey, PixelFormat::Bw1, { 256, false, t });
        for (int x = 0; x < 37; ++x)
            ASSERT_EQ(bw.pixel(x, 0).r == 255, 100 + x >= t) << "threshold " << t << " x " << x;
    }
    // Error diffusion turns a flat grey into that share of white dots.
    for (int level : { 0, 64, 128, 191, 255 }) {
        Bitmap flat(101, 60, PixelFormat::Gray8);
        flat.fill({ std::uint8_t(level), std::uint8_t(level), std::uint8_t(level), 255 });
        const Bitmap bw = convertTo(flat, PixelFormat::Bw1, { 256, true, 128 });
        int white = 0;
        for (int y = 0; y < 60; ++y)
            for (int x = 0; x < 101; ++x)
                white += bw.pixel(x, y).r == 255;
        EXPECT_NEAR(white / (101.0 * 60), level / 255.0, 0.01) << level;
    }
}

TEST(Convert, HostilePaletteIndicesReadAsBlack) {
    Bitmap src(4, 1, PixelFormat::Palette8);
    src.setPalette({ { 10, 20, 30 } });
    const std::uint8_t idx[4] = { 0, 1, 200, 255 };
    std::memcpy(src.mutableScanline(0), idx, 4);
    const Bitmap rgb = convertTo(src, PixelFormat::Rgb24);
    EXPECT_EQ(rgb.pixel(0, 0), (Rgba { 10, 20, 30, 255 }));
    for (int x = 1; x < 4; ++x)
        EXPECT_EQ(rgb.pixel(x, 0), (Rgba { 0, 0, 0, 255 }));
}

TEST(Convert, PaletteSizeOutOfRangeIsAnError) {
    const Bitmap photo = photoLike(8, 8);
    for (int n : { -1, 0, 1, 257 }) {
        EXPECT_THROW(convertTo(photo, PixelFormat::Palette8, { n, false, 128 }), Error) << n;
        EXPECT_THROW(quantizePalette(photo, n), Error) << n;
    }
}

TEST(Convert, PaletteMapperFindsTheNearestEntry) {
    std::mt19937 rng(4);
    for (int n : { 1, 2, 7, 256 }) {
        std::vector<Rgb> pal(n);
        for (Rgb& p : pal)
            p = { std::uint8_t(rng()), std::uint8_t(rng()), std::uint8_t(rng()) };
        if (n > 2) pal[n - 1] = pal[1]; // a tie goes to the lower index
        const PaletteMapper coarse(pal), fine(pal, true);
        for (int i = 0; i < 3000; ++i) {
            const int r = int(rng() & 255), g = int(rng() & 255), b = int(rng() & 255);
            int best = 0, bestDist = 1 << 30;
            for (int k = 0; k < n; ++k) {
                const int d = (pal[k].r - r) * (pal[k].r - r) + (pal[k].g - g) * (pal[k].g - g)
                    + (pal[k].b - b) * (pal[k].b - b);
                if (d < bestDist) {
                    bestDist = d;
                    best = k;
                }
            }
            ASSERT_EQ(coarse.nearest(r, g, b), best) << n << " entries, " << r << "," << g;
            ASSERT_EQ(fine.nearest(r, g, b), best) << n << " entries, " << r << "," << g;
        }
    }
    EXPECT_EQ(PaletteMapper({}).nearest(1, 2, 3), 0);
}
