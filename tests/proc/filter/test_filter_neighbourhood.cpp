#include "FilterTestUtil.h"
#include "support/TestImages.h"

#include "imaging/Error.h"
#include "proc/filter/BumpMap.h"
#include "proc/filter/Convolution.h"
#include "proc/filter/Denoise.h"
#include "proc/filter/EdgeDetect.h"
#include "proc/filter/GradientMap.h"
#include "proc/filter/Median.h"
#include "proc/filter/Morphology.h"
#include "proc/filter/SoftShadow.h"

#include <gtest/gtest.h>

using namespace ie;
using namespace vst::test;

TEST(Median, MatchesASortedWindowForEveryPathAndFormat) {
    struct Case {
        PixelFormat f;
        int w, h, radius;
    };
    const Case cases[] = { { PixelFormat::Rgb24, 17, 13, 1 }, { PixelFormat::Rgba32, 1, 9, 1 },
        { PixelFormat::Gray8, 9, 1, 1 }, { PixelFormat::Rgb48, 11, 10, 1 },
        { PixelFormat::Rgb24, 15, 12, 2 }, { PixelFormat::Gray8, 20, 7, 3 },
        { PixelFormat::Rgb48, 9, 8, 2 } };
    for (const Case& c : cases) {
        SCOPED_TRACE(
            ::testing::Message() << int(c.f) << " " << c.w << "x" << c.h << " r" << c.radius);
        const Bitmap src = noise(c.w, c.h, c.f, 5);
        Bitmap out = src;
        proc::median(out, c.radius);
        for (int y = 0; y < c.h; ++y)
            for (int x = 0; x < c.w; ++x)
                for (int ch = 0; ch < samplesPerPixel(c.f); ++ch) {
                    std::vector<int> w = windowAt(src, x, y, ch, c.radius);
                    std::nth_element(w.begin(), w.begin() + w.size() / 2, w.end());
                    ASSERT_EQ(sampleAt(out, x, y, ch), w[w.size() / 2]) << x << "," << y;
                }
    }
}

TEST(Morphology, HandCheckedShapesAndSelection) {
    Bitmap dot = flatImage(7, 7, PixelFormat::Gray8, 0);
    setSample(dot, 3, 3, 0, 255);
    Bitmap grown = dot, opened = dot;
    proc::dilate(grown, 1);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 7; ++x)
            EXPECT_EQ(
                sampleAt(grown, x, y, 0), std::abs(x - 3) <= 1 && std::abs(y - 3) <= 1 ? 255 : 0);
    proc::morphology(opened, proc::MorphOp::Open, 1); // an isolated dot disappears
    EXPECT_EQ(maxSampleDiff(opened, flatImage(7, 7, PixelFormat::Gray8, 0)), 0);

    Bitmap hole = flatImage(7, 7, PixelFormat::Rgb24, 200);
    setSample(hole, 3, 3, 1, 0);
    Bitmap closed = hole, eroded = hole;
    proc::morphology(closed, proc::MorphOp::Close, 1);
    EXPECT_EQ(maxSampleDiff(closed, flatImage(7, 7, PixelFormat::Rgb24, 200)), 0);
    proc::erode(eroded, 1);
    EXPECT_EQ(sampleAt(eroded, 2, 2, 1), 0);
    EXPECT_EQ(sampleAt(eroded, 2, 2, 0), 200);
    EXPECT_EQ(sampleAt(eroded, 1, 1, 1), 200);

    Bitmap limited = dot;
    Selection sel(7, 7);
    sel.selectRect({ 0, 0, 3, 7 });
    proc::dilate(limited, 1, &sel);
    EXPECT_EQ(sampleAt(limited, 2, 3, 0), 255);
    EXPECT_EQ(sampleAt(limited, 4, 3, 0), 0);
    Bitmap same = dot;
    proc::dilate(same, 0);
    EXPECT_TRUE(same.samePixels(dot));
}

TEST(Convolution, OneTapIsIdentityAndAKnownKernelGivesHandValues) {
    const Bitmap src = noise(6, 5, PixelFormat::Rgb24);
    Bitmap one = src;
    proc::convolve(one, { 1, { 1.0 }, 1, 0 });
    EXPECT_TRUE(one.samePixels(src));

    // A 3 x 3 Gray8 ramp 10, 20, 30 per row; the kernel takes right minus left plus a bias.
    Bitmap ramp(3, 2, PixelFormat::Gray8);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            setSample(ramp, x, y, 0, 10 * (x + 1));
    proc::convolve(ramp, { 3, { 0, 0, 0, -1, 0, 1, 0, 0, 0 }, 2, 50 });
    EXPECT_EQ(sampleAt(ramp, 0, 0, 0), 55); // (20 - 10) / 2 + 50: the edge repeats
    EXPECT_EQ(sampleAt(ramp, 1, 1, 0), 60);
    EXPECT_EQ(sampleAt(ramp, 2, 0, 0), 55);

    Bitmap avg = flatImage(5, 5, PixelFormat::Rgb48, 30000);
    proc::convolve(avg, { 5, std::vector<double>(25, 2.0), 0, 0 }); // divisor 0: the weights' sum
    EXPECT_EQ(maxSampleDiff(avg, flatImage(5, 5, PixelFormat::Rgb48, 30000)), 0);

    Bitmap img = src;
    EXPECT_THROW(proc::convolve(img, { 4, std::vector<double>(16, 1.0), 1, 0 }), Error);
    EXPECT_THROW(proc::convolve(img, { 3, std::vector<double>(8, 1.0), 1, 0 }), Error);
    EXPECT_TRUE(img.samePixels(src));
}

TEST(EdgeFilters, SobelEmbossAndBumpMapOnFlatAndStepImages) {
    const Bitmap flat = flatImage(6, 6, PixelFormat::Rgb24, 90);
    Bitmap sobel = flat, emboss = flat, bump = flat;
    proc::edgeDetectSobel(sobel);
    proc::emboss(emboss);
    proc::bumpMap(bump, 135, 45, 5);
    EXPECT_EQ(maxSampleDiff(sobel, flatImage(6, 6, PixelFormat::Rgb24, 0)), 0);
    EXPECT_EQ(maxSampleDiff(emboss, flatImage(6, 6, PixelFormat::Rgb24, 128)), 0);
    EXPECT_EQ(maxSampleDiff(bump, flat), 0);

    Bitmap step = flatImage(6, 4, PixelFormat::Gray8, 0);
    for (int y = 0; y < 4; ++y)
        for (int x = 3; x < 6; ++x)
            setSample(step, x, y, 0, 10);
    Bitmap edges = step;
    proc::edgeDetectSobel(edges);
    EXPECT_EQ(sampleAt(edges, 2, 1, 0), 40); // (10 + 20 + 10) - 0
    EXPECT_EQ(sampleAt(edges, 3, 1, 0), 40);
    EXPECT_EQ(sampleAt(edges, 0, 1, 0), 0);
    Bitmap lit = step;
    proc::emboss(lit, 0, 2); // light from the right: the rising edge turns bright
    EXPECT_EQ(sampleAt(lit, 2, 1, 0), 148);
    EXPECT_EQ(sampleAt(lit, 0, 1, 0), 128);
}

TEST(GradientMap, MapsBrightnessOntoTheTwoColours) {
    Bitmap img(3, 1, PixelFormat::Rgb24);
    img.setPixel(0, 0, { 0, 0, 0, 255 });
    img.setPixel(1, 0, { 255, 255, 255, 255 });
    img.setPixel(2, 0, { 51, 51, 51, 255 });
    proc::gradientMap(img, { 0, 0, 100 }, { 255, 200, 0 });
    EXPECT_EQ(img.pixel(0, 0), (Rgba { 0, 0, 100, 255 }));
    EXPECT_EQ(img.pixel(1, 0), (Rgba { 255, 200, 0, 255 }));
    EXPECT_EQ(img.pixel(2, 0), (Rgba { 51, 40, 80, 255 }));
}

TEST(SoftShadow, GrowsTheCanvasAndPutsTheShadowBehindTheShape) {
    Bitmap img = flatImage(10, 8, PixelFormat::Rgb24, 250);
    proc::addSoftShadow(img, { 0, 4, 3, 50, { 0, 0, 0 } });
    ASSERT_EQ(img.width(), 14);
    ASSERT_EQ(img.height(), 11);
    ASSERT_TRUE(img.hasAlpha());
    EXPECT_EQ(img.pixel(0, 0), (Rgba { 250, 250, 250, 255 }));
    EXPECT_EQ(img.pixel(13, 10).a, 128); // a hard shadow at half intensity
    EXPECT_EQ(img.pixel(13, 0).a, 0);
    Bitmap soft = flatImage(10, 8, PixelFormat::Rgba32, 255);
    proc::addSoftShadow(soft, {});
    EXPECT_EQ(soft.pixelFormat(), PixelFormat::Rgba32);
    EXPECT_EQ(soft.width(), 10 + 20);
    EXPECT_GT(soft.pixel(25, 22).a, soft.pixel(29, 22).a); // fades outwards
}

TEST(Denoise, SmoothsNoiseKeepsFlatAreasAndHonoursTheSelection) {
    for (PixelFormat f : kFilterFormats) {
        SCOPED_TRACE(int(f));
        const int v = bitsPerSample(f) == 16 ? 30000 : 120;
        const Bitmap flat = flatImage(24, 20, f, v);
        for (auto m : { proc::SmoothMethod::Bilateral, proc::SmoothMethod::NonLocalMeans }) {
            Bitmap b = flat;
            proc::smoothing(b, m, 10);
            EXPECT_LE(maxSampleDiff(b, flat), bitsPerSample(f) == 16 ? 257 : 1);
        }
    }
    const Bitmap img = flatImage(32, 24, PixelFormat::Rgb24, 120);
    const Bitmap grain = noise(32, 24, PixelFormat::Rgb24, 9);
    Bitmap noisy = img;
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 32; ++x)
            for (int c = 0; c < 3; ++c)
                setSample(noisy, x, y, c, 120 + sampleAt(grain, x, y, c) % 21 - 10);
    const Bitmap before = noisy;
    Selection sel(32, 24);
    sel.selectRect({ 0, 0, 16, 24 });
    proc::nonLocalMeansDenoise(noisy, 15, &sel);
    auto leftError = [&](const Bitmap& b) {
        long e = 0;
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 16; ++x)
                e += std::abs(sampleAt(b, x, y, 1) - 120);
        return e;
    };
    EXPECT_LT(leftError(noisy) * 2, leftError(before));
    EXPECT_EQ(noisy.pixel(20, 10), before.pixel(20, 10));
}
