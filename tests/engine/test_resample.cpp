// Tests of the resampler: filter names, flat and ramp images, alpha, line art, formats, errors.
#include "imaging/Error.h"
#include "imaging/Resample.h"
#include "support/TestImages.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

namespace {

using ie::Bitmap;
using ie::PixelFormat;
using ie::ResampleFilter;
using ie::Rgba;

ResampleFilter filterAt(int i) {
    return static_cast<ResampleFilter>(i);
}

std::string describe(const Bitmap& b, int x, int y) {
    const Rgba p = b.pixel(x, y);
    return "(" + std::to_string(x) + "," + std::to_string(y) + ") = " + std::to_string(p.r) + ","
        + std::to_string(p.g) + "," + std::to_string(p.b) + "," + std::to_string(p.a);
}

// A grey ramp along x (or y): sample i is i * step.
Bitmap ramp(int n, bool vertical, PixelFormat format, int step) {
    Bitmap b(vertical ? 3 : n, vertical ? n : 3, format);
    for (int y = 0; y < b.height(); ++y) {
        std::uint8_t* row = b.mutableScanline(y);
        for (int x = 0; x < b.width(); ++x) {
            const int v = (vertical ? y : x) * step;
            if (format == PixelFormat::Gray16) {
                const auto w = static_cast<std::uint16_t>(v);
                std::memcpy(row + x * 2, &w, 2);
            } else {
                for (int c = 0; c < ie::channelCount(format); ++c)
                    row[x * ie::channelCount(format) + c] = static_cast<std::uint8_t>(v);
            }
        }
    }
    return b;
}

int rampSample(const Bitmap& b, int i, bool vertical) {
    const int x = vertical ? 1 : i, y = vertical ? i : 1;
    if (b.pixelFormat() != PixelFormat::Gray16)
        return b.scanline(y)[x * ie::channelCount(b.pixelFormat())];
    std::uint16_t v;
    std::memcpy(&v, b.scanline(y) + x * 2, 2);
    return v;
}

TEST(ResampleNames, RoundTripAndAliases) {
    for (int i = 0; i < ie::kResampleFilterCount; ++i)
        EXPECT_EQ(ie::resampleFilterFromName(ie::resampleFilterName(i)), i) << i;
    EXPECT_EQ(ie::resampleFilterName(5), "Lanczos 3");
    EXPECT_EQ(ie::resampleFilterName(18), "High Quality Bicubic (WIC)");
    EXPECT_EQ(ie::resampleFilterName(19), "ERROR");
    EXPECT_EQ(ie::resampleFilterName(-1), "ERROR");
    const std::pair<const char*, ResampleFilter> aliases[] = {
        { "lanczos3", ResampleFilter::Lanczos3 },
        { "bicubic", ResampleFilter::Bicubic },
        { "nearest", ResampleFilter::Nearest },
        { "bspline", ResampleFilter::BSpline },
        { "mitchell", ResampleFilter::Mitchell },
        { "hermite", ResampleFilter::Hermite },
        { "fastlinear", ResampleFilter::FastLinear },
        { "Project BW", ResampleFilter::ProjectBW },
        { "Project WB", ResampleFilter::ProjectWB },
        { "PROJECT B+W", ResampleFilter::ProjectBW },
        { "fant (wic)", ResampleFilter::WICFant },
    };
    for (const auto& [name, filter] : aliases)
        EXPECT_EQ(ie::resampleFilterFromName(name), int(filter)) << name;
    EXPECT_EQ(ie::resampleFilterFromName("sharpest"), -1);
    EXPECT_EQ(ie::resampleFilterFromName(""), -1);
}

// Every filter keeps a flat image flat, whatever the sizes (1 pixel sides included) and format.
TEST(Resample, ConstantImageStaysConstantForEveryFilter) {
    struct Case {
        int sw, sh, dw, dh;
    };
    const Case sizes[] = { { 7, 5, 3, 2 }, { 7, 5, 20, 13 }, { 1, 9, 4, 3 }, { 9, 1, 1, 1 },
        { 1, 1, 5, 5 }, { 13, 1, 1, 7 }, { 40, 30, 9, 7 }, { 1100, 2, 1, 3 } };
    struct Look {
        PixelFormat format;
        Rgba colour;
        bool alphaPlane;
    };
    const Look looks[] = { { PixelFormat::Rgb24, { 37, 180, 251, 255 }, false },
        { PixelFormat::Rgba32, { 200, 10, 90, 128 }, false },
        { PixelFormat::Rgb24, { 5, 99, 200, 77 }, true },
        { PixelFormat::Gray8, { 111, 111, 111, 255 }, true },
        { PixelFormat::Gray16, { 222, 222, 222, 255 }, false },
        { PixelFormat::Rgb48, { 1, 128, 254, 255 }, false },
        { PixelFormat::Cmyk32, { 10, 200, 90, 255 }, false } };
    for (int f = 0; f < ie::kResampleFilterCount; ++f)
        for (const Look& look : looks)
            for (const Case& c : sizes) {
                Bitmap src(c.sw, c.sh, look.format);
                if (look.alphaPlane) src.addAlphaPlane();
                src.fill(look.colour);
                const Rgba want = src.pixel(0, 0);
                const Bitmap out = ie::resample(src, c.dw, c.dh, filterAt(f));
                ASSERT_EQ(out.width(), c.dw);
                ASSERT_EQ(out.height(), c.dh);
                ASSERT_EQ(out.pixelFormat(), look.format);
                ASSERT_EQ(out.hasAlphaPlane(), look.alphaPlane);
                for (int y = 0; y < c.dh; ++y)
                    for (int x = 0; x < c.dw; ++x)
                        ASSERT_EQ(out.pixel(x, y), want)
                            << ie::resampleFilterName(f) << " " << ie::pixelFormatName(look.format)
                            << " " << c.sw << "x" << c.sh << " -> " << c.dw << "x" << c.dh << " "
                            << describe(out, x, y);
            }
}

TEST(Resample, SameSizeReturnsEqualPixels) {
    const Bitmap src = vst::test::noise(17, 11, PixelFormat::Rgb24);
    for (int f = 0; f < ie::kResampleFilterCount; ++f)
        EXPECT_TRUE(ie::resample(src, 17, 11, filterAt(f)).samePixels(src)) << f;
    // Drawing at scale 1 on whole pixels is exact too, even with a blurring kernel.
    Bitmap dst(6, 4, PixelFormat::Rgb24);
    ie::resampleInto(src, 3, 5, 6, 4, dst, ResampleFilter::Mitchell);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x)
            ASSERT_EQ(dst.pixel(x, y), src.pixel(x + 3, y + 5)) << x << "," << y;
}

// Triangle halving of 0, 10, ... 70: weights 1/8, 3/8, 3/8, 1/8 with clamped edges give
// 6.25, 25, 45, 63.75.
TEST(Resample, TriangleHalvingOfARampGivesHandCheckedValues) {
    for (const bool vertical : { false, true }) {
        for (const PixelFormat f : { PixelFormat::Gray8, PixelFormat::Rgb24 }) {
            const Bitmap src = ramp(8, vertical, f, 10);
            const Bitmap out
                = ie::resample(src, vertical ? 3 : 4, vertical ? 4 : 3, ResampleFilter::Triangle);
            const int want[] = { 6, 25, 45, 64 };
            for (int i = 0; i < 4; ++i)
                EXPECT_EQ(rampSample(out, i, vertical), want[i])
                    << i << (vertical ? " vertical " : " horizontal ") << ie::pixelFormatName(f);
        }
        const Bitmap wide = ramp(8, vertical, PixelFormat::Gray16, 9000);
        const Bitmap out
            = ie::resample(wide, vertical ? 3 : 4, vertical ? 4 : 3, ResampleFilter::Triangle);
        const int want16[] = { 5625, 22500, 40500, 57375 };
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(rampSample(out, i, vertical), want16[i]) << i;
    }
}

// Sampling between pixels: a half-pixel shift of a ramp with bilinear gives the midpoints.
TEST(Resample, StretchedDrawingUsesRealCoordinates) {
    const Bitmap src = ramp(8, false, PixelFormat::Gray8, 10);
    Bitmap dst(7, 1, PixelFormat::Gray8);
    ie::resampleInto(src, 0.5, 1, 7, 1, dst, ResampleFilter::Bilinear);
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(dst.scanline(0)[i], 10 * i + 5) << i;

    Bitmap zoomed(4, 4, PixelFormat::Gray8); // two source pixels drawn 2x: nearest keeps blocks
    ie::resampleInto(src, 3, 0, 2, 2, zoomed, ResampleFilter::None);
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(zoomed.scanline(3)[x], x < 2 ? 30 : 40) << x;

    EXPECT_THROW(ie::resampleInto(src, 0, 0, 0, 1, dst, ResampleFilter::Bilinear), ie::Error);
    EXPECT_THROW(ie::resampleInto(src, 0, 0, 1e13, 1, dst, ResampleFilter::Lanczos3), ie::Error);
    EXPECT_THROW(
        ie::resampleInto(src, std::nan(""), 0, 2, 1, dst, ResampleFilter::Lanczos3), ie::Error);
    Bitmap rgb(7, 1, PixelFormat::Rgb24);
    EXPECT_THROW(ie::resampleInto(src, 0, 0, 8, 3, rgb, ResampleFilter::Bilinear), ie::Error);
}

// Fully transparent pixels must not tint their visible neighbours, for filters with negative
// lobes, for smooth ones and for the line-art ones alike.
TEST(Resample, TransparentPixelsDoNotBleedColour) {
    const ResampleFilter filters[] = { ResampleFilter::Lanczos3, ResampleFilter::Bicubic,
        ResampleFilter::Triangle, ResampleFilter::BSpline, ResampleFilter::WICFant,
        ResampleFilter::ProjectBW, ResampleFilter::ProjectWB };
    for (const bool plane : { false, true }) {
        Bitmap src(12, 12, plane ? PixelFormat::Rgb24 : PixelFormat::Rgba32);
        if (plane) src.addAlphaPlane();
        src.fill({ 0, 255, 0, 0 });
        src.fillRect({ 0, 0, 5, 12 }, { 255, 0, 0, 255 });
        for (const ResampleFilter f : filters)
            for (const int size : { 5, 29 }) {
                const Bitmap out = ie::resample(src, size, size, f);
                int visible = 0;
                for (int y = 0; y < size; ++y)
                    for (int x = 0; x < size; ++x) {
                        const Rgba p = out.pixel(x, y);
                        if (p.a == 0) continue;
                        ++visible;
                        ASSERT_TRUE(p.r >= 254 && p.g <= 1 && p.b == 0)
                            << int(f) << (plane ? " plane " : " rgba ") << describe(out, x, y);
                    }
                EXPECT_GT(visible, 0);
            }
    }
}

TEST(Resample, ProjectFiltersKeepThinStrokesVisible) {
    Bitmap art(64, 64, PixelFormat::Gray8);
    art.fill({ 255, 255, 255, 255 });
    art.fillRect({ 21, 0, 1, 64 }, { 0, 0, 0, 255 });
    art.fillRect({ 0, 42, 64, 1 }, { 0, 0, 0, 255 });
    const Bitmap kept = ie::resample(art, 16, 16, ResampleFilter::ProjectBW);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            ASSERT_EQ(kept.pixel(x, y).r, (x == 5 || y == 10) ? 0 : 255) << describe(kept, x, y);
    Bitmap ink(64, 64, PixelFormat::Cmyk32); // ink grows with darkness: the extremes flip
    ink.fill({ 255, 255, 255, 255 });
    ink.fillRect({ 21, 0, 1, 64 }, { 0, 0, 0, 255 });
    EXPECT_EQ(
        ie::resample(ink, 16, 16, ResampleFilter::ProjectBW).pixel(5, 3), (Rgba { 0, 0, 0, 255 }));
    // A plain filter washes the same line out to grey.
    EXPECT_GT(ie::resample(art, 16, 16, ResampleFilter::Triangle).pixel(5, 2).r, 100);

    Bitmap inverse(64, 64, PixelFormat::Rgb24);
    inverse.fill({ 0, 0, 0, 255 });
    inverse.fillRect({ 0, 42, 64, 1 }, { 255, 255, 255, 255 });
    const Bitmap light = ie::resample(inverse, 16, 16, ResampleFilter::ProjectWB);
    for (int x = 0; x < 16; ++x) {
        EXPECT_EQ(light.pixel(x, 10), (Rgba { 255, 255, 255, 255 })) << x;
        EXPECT_EQ(light.pixel(x, 9), (Rgba { 0, 0, 0, 255 })) << x;
    }
}

// Nearest keeps every format, bit-packed and paletted included, and picks the centre sample.
TEST(Resample, NearestKeepsTheFormatAndPicksCentres) {
    for (int f = 1; f < ie::kPixelFormatCount; ++f) {
        const auto format = static_cast<PixelFormat>(f);
        Bitmap src = vst::test::noise(21, 10, format, 7);
        if (format != PixelFormat::Rgba32) {
            src.addAlphaPlane();
            for (int y = 0; y < src.height(); ++y)
                for (int x = 0; x < src.width(); ++x)
                    src.mutableAlphaLine(y)[x] = static_cast<std::uint8_t>(x * 11 + y);
        }
        for (const ResampleFilter filter : { ResampleFilter::None, ResampleFilter::Nearest }) {
            const Bitmap out = ie::resample(src, 7, 5, filter); // centres at 3x + 1, 2y + 1
            ASSERT_EQ(out.pixelFormat(), format);
            EXPECT_EQ(out.palette(), src.palette());
            for (int y = 0; y < 5; ++y)
                for (int x = 0; x < 7; ++x)
                    ASSERT_EQ(out.pixel(x, y), src.pixel(3 * x + 1, 2 * y + 1))
                        << ie::pixelFormatName(format) << " " << describe(out, x, y);
        }
    }
}

TEST(Resample, BitAndPaletteImagesFilterThroughGreyAndRgb) {
    Bitmap bw(16, 16, PixelFormat::Bw1);
    bw.fill({ 255, 255, 255, 255 });
    bw.fillRect({ 0, 0, 8, 16 }, { 0, 0, 0, 255 });
    const Bitmap grey = ie::resample(bw, 4, 4, ResampleFilter::Triangle);
    ASSERT_EQ(grey.pixelFormat(), PixelFormat::Gray8);
    EXPECT_EQ(grey.pixel(0, 0).r, 0);
    EXPECT_EQ(grey.pixel(3, 3).r, 255);

    const Bitmap pal = vst::test::noise(16, 16, PixelFormat::Palette8, 3);
    const Bitmap rgb = ie::resample(pal, 8, 8, ResampleFilter::Lanczos3);
    EXPECT_EQ(rgb.pixelFormat(), PixelFormat::Rgb24);
}

// The SIMD 8-bit kernels for 1, 3 and 4 samples a pixel and the float path are independent
// implementations: on the same picture they must agree, in both pass orders and at the tails.
TEST(Resample, FormatPathsAgree) {
    const Bitmap rgb = vst::test::photoLike(97, 61);
    Bitmap rgba(97, 61, PixelFormat::Rgba32), red(97, 61, PixelFormat::Gray8),
        wide(97, 61, PixelFormat::Rgb48);
    for (int y = 0; y < 61; ++y)
        for (int x = 0; x < 97; ++x) {
            const std::uint8_t* p = rgb.scanline(y) + x * 3;
            rgba.setPixel(x, y, rgb.pixel(x, y));
            red.mutableScanline(y)[x] = p[0];
            const std::uint16_t w[3] = { std::uint16_t(p[0] * 257), std::uint16_t(p[1] * 257),
                std::uint16_t(p[2] * 257) };
            std::memcpy(wide.mutableScanline(y) + x * 6, w, 6);
        }
    struct Case {
        int w, h;
        ResampleFilter filter;
    };
    const Case cases[]
        = { { 40, 23, ResampleFilter::Lanczos3 }, { 203, 131, ResampleFilter::Bicubic },
              { 31, 140, ResampleFilter::Mitchell }, { 150, 20, ResampleFilter::Lanczos3 } };
    for (const Case& c : cases) {
        const Bitmap a = ie::resample(rgb, c.w, c.h, c.filter);
        const Bitmap b = ie::resample(rgba, c.w, c.h, c.filter);
        const Bitmap g = ie::resample(red, c.w, c.h, c.filter);
        const Bitmap f = ie::resample(wide, c.w, c.h, c.filter);
        for (int y = 0; y < c.h; ++y)
            for (int x = 0; x < c.w; ++x) {
                const Rgba p = a.pixel(x, y);
                ASSERT_EQ(b.pixel(x, y), p) << c.w << "x" << c.h << " " << describe(b, x, y);
                ASSERT_EQ(g.scanline(y)[x], p.r) << c.w << "x" << c.h << " " << x << "," << y;
                const Rgba q = f.pixel(x, y);
                ASSERT_LE(std::abs(q.r - p.r) + std::abs(q.g - p.g) + std::abs(q.b - p.b), 3)
                    << c.w << "x" << c.h << " " << describe(a, x, y) << " vs " << describe(f, x, y);
            }
    }
}

TEST(Resample, InvalidRequestsThrow) {
    const Bitmap src = vst::test::noise(8, 8, PixelFormat::Rgb24);
    const std::pair<int, int> sizes[]
        = { { 0, 5 }, { 5, 0 }, { -1, 3 }, { 3, -7 }, { 300000, 1 }, { 100000, 100000 } };
    for (const auto& [w, h] : sizes)
        EXPECT_THROW(ie::resample(src, w, h, ResampleFilter::Lanczos3), ie::Error) << w << "x" << h;
    EXPECT_THROW(ie::resample(Bitmap(), 4, 4, ResampleFilter::Bicubic), ie::Error);
}

} // namespace
