// Adjustments computed from the picture: equalization, auto-enhancement, black and white.
#include "proc/adjust/BlackWhite.h"
#include "proc/adjust/Equalize.h"

#include "imaging/Error.h"
#include "support/TestImages.h"

#include <gtest/gtest.h>

using namespace ie;

namespace {

// A grey ramp squeezed into 100..139, one level per column.
Bitmap narrowRamp(PixelFormat f) {
    Bitmap b(40, 3, f);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 40; ++x)
            b.setPixel(
                x, y, { std::uint8_t(100 + x), std::uint8_t(100 + x), std::uint8_t(100 + x) });
    return b;
}

} // namespace

TEST(AdjustAuto, EqualizeAndAutoEnhanceSpreadANarrowRange) {
    for (PixelFormat f : { PixelFormat::Rgb24, PixelFormat::Gray8, PixelFormat::Rgb48 }) {
        SCOPED_TRACE(int(f));
        for (int mode = 0; mode < 3; ++mode) {
            Bitmap image = narrowRamp(f);
            if (mode == 0) proc::equalize(image, nullptr, false);
            if (mode == 1) proc::equalize(image, nullptr, true);
            if (mode == 2) proc::autoEnhance(image, nullptr, 100, 0);
            EXPECT_LE(image.pixel(0, 1).r, 8) << mode;
            EXPECT_GE(image.pixel(39, 1).r, 245) << mode;
            for (int x = 1; x < 40; ++x)
                EXPECT_GT(image.pixel(x, 1).r, image.pixel(x - 1, 1).r) << mode << " at " << x;
        }
    }
}

TEST(AdjustAuto, AutoEnhanceRemovesACastAndAmountZeroChangesNothing) {
    Bitmap image = vst::test::photoLike(32, 24);
    for (int y = 0; y < 24; ++y) { // a blue cast: blue lifted, never reaching black
        std::uint8_t* row = image.mutableScanline(y);
        for (int x = 0; x < 32; ++x)
            row[x * 3 + 2] = std::uint8_t(60 + row[x * 3 + 2] / 2);
    }
    Bitmap same = image;
    proc::autoEnhance(same, nullptr, 0, 1);
    EXPECT_TRUE(same.samePixels(image));
    proc::autoEnhance(image, nullptr, 100, 0);
    int minBlue = 255;
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 32; ++x)
            minBlue = std::min<int>(minBlue, image.pixel(x, y).b);
    EXPECT_EQ(minBlue, 0);
}

TEST(AdjustAuto, EqualizeHonoursTheSelection) {
    Bitmap image = narrowRamp(PixelFormat::Rgb24);
    const Bitmap original = image;
    Selection sel(40, 3);
    sel.selectRect({ 0, 1, 40, 1 });
    proc::equalize(image, &sel, false);
    EXPECT_EQ(image.pixel(5, 0), original.pixel(5, 0));
    EXPECT_EQ(image.pixel(5, 2), original.pixel(5, 2));
    EXPECT_GE(image.pixel(39, 1).r, 245);
}

TEST(AdjustAuto, ThresholdBlackAndWhite) {
    Bitmap image(4, 1, PixelFormat::Rgb24);
    image.setPixel(0, 0, { 0, 0, 0 });
    image.setPixel(1, 0, { 127, 127, 127 });
    image.setPixel(2, 0, { 128, 128, 128 });
    image.setPixel(3, 0, { 255, 0, 0 }); // luma 76
    Bitmap fixed = image;
    proc::convertToBWThreshold(fixed, nullptr, 128);
    const std::uint8_t want[] = { 0, 0, 255, 0 };
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(fixed.pixel(x, 0), (Rgba { want[x], want[x], want[x], 255 })) << x;
    Bitmap zero = image; // an empty threshold box reads as 0: everything white
    proc::convertToBWThreshold(zero, nullptr, 0);
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(zero.pixel(x, 0).r, 255);
    EXPECT_THROW(proc::convertToBWThreshold(zero, nullptr, 256), Error);
    EXPECT_THROW(proc::convertToBWThreshold(zero, nullptr, -2), Error);
}

TEST(AdjustAuto, OtsuSplitsTwoPopulations) {
    Bitmap image(10, 10, PixelFormat::Gray8);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            const int v = (x < 6 ? 40 : 200) + (x + y) % 7;
            image.setPixel(x, y, { std::uint8_t(v), std::uint8_t(v), std::uint8_t(v) });
        }
    const int t = proc::otsuThreshold(image, nullptr);
    EXPECT_GT(t, 46);
    EXPECT_LE(t, 200);
    proc::convertToBWThreshold(image, nullptr, -1);
    for (int x = 0; x < 10; ++x)
        EXPECT_EQ(image.pixel(x, 4).r, x < 6 ? 0 : 255);
}

TEST(AdjustAuto, OrderedDitherKeepsTheMeanTone) {
    for (int level : { 0, 64, 128, 191, 255 }) {
        Bitmap image(16, 16, PixelFormat::Rgb24);
        image.fill({ std::uint8_t(level), std::uint8_t(level), std::uint8_t(level) });
        proc::convertToBWOrdered(image, nullptr);
        int white = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const Rgba p = image.pixel(x, y);
                EXPECT_TRUE(p.r == 0 || p.r == 255);
                white += p.r == 255;
            }
        EXPECT_NEAR(white / 256.0, level / 255.0, 0.02) << level;
    }
}
