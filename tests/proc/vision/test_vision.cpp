// Tests of inpainting and foreground extraction.
#include "imaging/Error.h"
#include "proc/vision/ForegroundExtraction.h"
#include "proc/vision/Inpaint.h"
#include "support/TestImages.h"

#include <gtest/gtest.h>

using namespace ie;
using proc::InpaintMethod;

TEST(Inpaint, FillsTheHoleFromItsSurroundingsOnly) {
    for (auto method : { InpaintMethod::NavierStokes, InpaintMethod::Telea }) {
        for (PixelFormat f : { PixelFormat::Rgb24, PixelFormat::Gray8, PixelFormat::Rgb48 }) {
            SCOPED_TRACE(int(f) * 10 + int(method));
            Bitmap b(30, 20, f);
            b.fill({ 0, 200, 0, 255 });
            b.fillRect({ 12, 8, 4, 3 }, { 255, 0, 255, 255 }); // a blemish
            const Bitmap before = b;
            Bitmap mask(30, 20, PixelFormat::Gray8);
            mask.fill({ 0, 0, 0, 255 });
            mask.fillRect({ 12, 8, 4, 3 }, { 255, 255, 255, 255 });
            proc::inpaint(b, mask, 3, method);
            const Rgba healed = b.pixel(13, 9), green = before.pixel(0, 0);
            EXPECT_NEAR(healed.r, green.r, 8);
            EXPECT_NEAR(healed.g, green.g, 8);
            for (int y = 0; y < 20; ++y)
                for (int x = 0; x < 30; ++x)
                    if (!mask.pixel(x, y).r) {
                        ASSERT_EQ(b.pixel(x, y), before.pixel(x, y));
                    }
        }
    }
}

TEST(Inpaint, EmptyMasksChangeNothingAndWrongMasksAreRefused) {
    Bitmap b = vst::test::noise(8, 8, PixelFormat::Rgb24);
    const Bitmap before = b;
    proc::inpaint(b, Selection(8, 8), 3, InpaintMethod::Telea);
    EXPECT_TRUE(b.samePixels(before));
    EXPECT_THROW(
        proc::inpaint(b, Bitmap(4, 4, PixelFormat::Gray8), 3, InpaintMethod::Telea), Error);
    EXPECT_THROW(
        proc::inpaint(b, Bitmap(8, 8, PixelFormat::Rgb24), 3, InpaintMethod::Telea), Error);
}

TEST(ForegroundExtraction, FindsTheObjectInTheRectangle) {
    Bitmap b(60, 50, PixelFormat::Rgb24);
    b.fill({ 20, 40, 220, 255 }); // blue background
    b.fillRect({ 20, 15, 20, 20 }, { 240, 200, 30, 255 }); // a yellow object
    const Bitmap mask = proc::extractForeground(b, { 10, 5, 40, 40 }, 5);
    ASSERT_EQ(mask.pixelFormat(), PixelFormat::Gray8);
    EXPECT_EQ(mask.width(), 60);
    EXPECT_EQ(mask.pixel(30, 25).r, 255);
    EXPECT_EQ(mask.pixel(12, 8).r, 0);
    EXPECT_EQ(mask.pixel(2, 2).r, 0); // outside the rectangle
    EXPECT_THROW(proc::extractForeground(b, b.rect()), Error);
    EXPECT_EQ(proc::objectSearchRect({}, 60, 50), (Rect { 1, 1, 57, 47 }));
    EXPECT_EQ(proc::objectSearchRect({ 3, 4, 10, 10 }, 60, 50), (Rect { 3, 4, 10, 10 }));
    EXPECT_EQ(proc::objectSearchRect({ 3, 4, 57, 46 }, 60, 50), (Rect { 4, 5, 54, 43 }));
}
