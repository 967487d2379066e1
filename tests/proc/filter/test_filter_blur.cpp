#include "FilterTestUtil.h"
#include "support/TestImages.h"

#include "imaging/Error.h"
#include "proc/filter/Blur.h"
#include "proc/filter/Sharpen.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace ie;
using namespace vst::test;

namespace {

// A true Gaussian in double precision with repeated edges, truncated at 4 sigma.
Bitmap referenceGaussian(const Bitmap& src, double sigma) {
    const int r = int(std::ceil(4 * sigma));
    std::vector<double> k(2 * r + 1);
    double sum = 0;
    for (int i = -r; i <= r; ++i)
        sum += k[i + r] = std::exp(-0.5 * i * i / (sigma * sigma));
    for (double& v : k)
        v /= sum;
    const int W = src.width(), H = src.height(), C = samplesPerPixel(src.pixelFormat());
    std::vector<double> tmp(std::size_t(W) * H * C);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            for (int c = 0; c < C; ++c) {
                double s = 0;
                for (int i = -r; i <= r; ++i)
                    s += k[i + r] * sampleAt(src, std::clamp(x + i, 0, W - 1), y, c);
                tmp[(std::size_t(y) * W + x) * C + c] = s;
            }
    Bitmap out(W, H, src.pixelFormat());
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            for (int c = 0; c < C; ++c) {
                double s = 0;
                for (int i = -r; i <= r; ++i)
                    s += k[i + r] * tmp[(std::size_t(std::clamp(y + i, 0, H - 1)) * W + x) * C + c];
                setSample(out, x, y, c, int(std::lround(s)));
            }
    return out;
}

} // namespace

TEST(GaussianBlur, MatchesATrueGaussianForSmallAndLargeSigmaAndOddSizes) {
    struct Case {
        int w, h;
        PixelFormat f;
        double sigma;
        int tolerance;
    };
    const Case cases[] = {
        { 23, 19, PixelFormat::Rgb24, 1.5, 2 },
        { 40, 37, PixelFormat::Gray8, 2.0, 2 },
        { 1, 31, PixelFormat::Rgb24, 2.0, 2 },
        { 31, 1, PixelFormat::Rgba32, 2.0, 2 },
        { 64, 61, PixelFormat::Rgb24, 7.0, 3 }, // box cascade
        { 50, 45, PixelFormat::Gray8, 12.0, 3 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.w << "x" << c.h << " sigma " << c.sigma);
        Bitmap img = photoLike(c.w, c.h, c.f);
        const Bitmap expected = referenceGaussian(img, c.sigma);
        proc::gaussianBlur(img, c.sigma);
        EXPECT_LE(maxSampleDiff(img, expected), c.tolerance);
    }
    Bitmap wide = noise(30, 20, PixelFormat::Rgb48, 3);
    const Bitmap expected = referenceGaussian(wide, 2.0);
    proc::gaussianBlur(wide, 2.0);
    EXPECT_LE(maxSampleDiff(wide, expected), 300); // 16-bit scale: about one 8-bit level
}

TEST(Blurs, FlatImagesStayFlatAndZeroRadiiChangeNothing) {
    for (PixelFormat f : kFilterFormats) {
        SCOPED_TRACE(int(f));
        const int v = bitsPerSample(f) == 16 ? 40000 : 173;
        const Bitmap flat = flatImage(33, 21, f, v);
        for (double sigma : { 0.8, 3.0, 9.0, 30.0 }) {
            Bitmap b = flat;
            proc::gaussianBlur(b, sigma);
            EXPECT_EQ(maxSampleDiff(b, flat), 0) << sigma;
        }
        Bitmap box = flat, motion = flat, sharp = flat;
        proc::boxBlur(box, 4);
        proc::motionBlur(motion, 30, 9);
        proc::unsharpMask(sharp, 2, 3, 0);
        EXPECT_EQ(maxSampleDiff(box, flat), 0);
        EXPECT_EQ(maxSampleDiff(motion, flat), 0);
        EXPECT_EQ(maxSampleDiff(sharp, flat), 0);

        const Bitmap n = noise(9, 7, f);
        Bitmap a = n, b = n, c = n, d = n;
        proc::gaussianBlur(a, 0);
        proc::boxBlur(b, 0);
        proc::motionBlur(c, 45, 1);
        proc::unsharpMask(d, 2, 0);
        EXPECT_TRUE(a.samePixels(n) && b.samePixels(n) && c.samePixels(n) && d.samePixels(n));
    }
}

TEST(Blurs, BoxAndMotionBlurOfAnImpulse) {
    Bitmap img = flatImage(7, 7, PixelFormat::Gray8, 0);
    setSample(img, 3, 3, 0, 180);
    Bitmap box = img, motion = img;
    proc::boxBlur(box, 1);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 7; ++x)
            EXPECT_EQ(
                sampleAt(box, x, y, 0), std::abs(x - 3) <= 1 && std::abs(y - 3) <= 1 ? 20 : 0);
    proc::motionBlur(motion, 0, 3); // horizontal: the impulse spreads along its row only
    for (int x = 0; x < 7; ++x)
        EXPECT_EQ(sampleAt(motion, x, 3, 0), std::abs(x - 3) <= 1 ? 60 : 0);
    EXPECT_EQ(sampleAt(motion, 3, 2, 0), 0);
    proc::motionBlur(img, 90, 3); // vertical
    EXPECT_EQ(sampleAt(img, 3, 2, 0), 60);
    EXPECT_EQ(sampleAt(img, 2, 3, 0), 0);
}

TEST(Blurs, OnlyTheSelectionChangesAndOutsidePixelsStillFeedTheEdge) {
    Bitmap img = noise(40, 30, PixelFormat::Rgb24);
    const Bitmap original = img;
    Selection sel(40, 30);
    sel.selectRect({ 10, 8, 12, 9 });
    proc::gaussianBlur(img, 3, &sel);
    Bitmap whole = original;
    proc::gaussianBlur(whole, 3);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) {
            const bool inside = x >= 10 && x < 22 && y >= 8 && y < 17;
            EXPECT_EQ(img.pixel(x, y), (inside ? whole : original).pixel(x, y)) << x << "," << y;
        }
}

TEST(Blurs, UnfilterableFormatsAreRefused) {
    Bitmap pal(4, 4, PixelFormat::Palette8);
    pal.setPalette({ { 0, 0, 0 } });
    EXPECT_THROW(proc::gaussianBlur(pal, 2), Error);
    Bitmap cmyk(4, 4, PixelFormat::Cmyk32);
    EXPECT_THROW(proc::unsharpMask(cmyk, 2, 1), Error);
}

TEST(UnsharpMask, SteepensAnEdgeAndTheThresholdSparesSmallDetail) {
    Bitmap step = flatImage(12, 3, PixelFormat::Gray8, 100);
    for (int y = 0; y < 3; ++y)
        for (int x = 6; x < 12; ++x)
            setSample(step, x, y, 0, 150);
    Bitmap sharp = step;
    proc::unsharpMask(sharp, 1.0, 1.0, 0);
    EXPECT_LT(sampleAt(sharp, 5, 1, 0), 100);
    EXPECT_GT(sampleAt(sharp, 6, 1, 0), 150);
    EXPECT_EQ(sampleAt(sharp, 0, 1, 0), 100);
    Bitmap spared = step;
    proc::unsharpMask(spared, 1.0, 1.0, 60); // the edge differs from its blur by less than 60
    EXPECT_TRUE(spared.samePixels(step));
    Bitmap rgba = withAlpha(photoLike(8, 8, PixelFormat::Rgb24));
    Bitmap packed(8, 8, PixelFormat::Rgba32);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            packed.setPixel(x, y, rgba.pixel(x, y));
    const Bitmap before = packed;
    proc::sharpen(packed, 50, 3);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(packed.pixel(x, y).a, before.pixel(x, y).a);
}
