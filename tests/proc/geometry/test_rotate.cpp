// Tests of free rotation and rotate-and-crop: identities, exact quarter turns, direction,
// backgrounds, transparency, odd sizes and formats.
#include "imaging/BitmapOps.h"
#include "imaging/Error.h"
#include "proc/geometry/Rotate.h"
#include "support/TestImages.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace ie;
using ie::proc::Interpolation;
using ie::proc::RotateOptions;

namespace {

Bitmap flat(int w, int h, PixelFormat f, Rgba c) {
    Bitmap b(w, h, f);
    b.fill(c);
    return b;
}

} // namespace

TEST(Rotate, WholeTurnsAreIdentitiesAndQuarterTurnsAreExact) {
    const Bitmap src = vst::test::noise(7, 4, PixelFormat::Rgb24);
    for (double a : { 0.0, 360.0, -360.0, 720.0 })
        EXPECT_TRUE(proc::rotate(src, a).samePixels(src)) << a;
    EXPECT_TRUE(proc::rotate(src, 90).samePixels(rotateRightAngle(src, 270)));
    EXPECT_TRUE(proc::rotate(src, -90).samePixels(rotateRightAngle(src, 90)));
    EXPECT_TRUE(proc::rotate(src, 180).samePixels(rotateRightAngle(src, 180)));
    EXPECT_TRUE(proc::rotate(src, 450).samePixels(rotateRightAngle(src, 270)));
}

TEST(Rotate, PositiveAnglesTurnAnticlockwise) {
    // a bright dot right of the centre ends up above-right after +45 degrees
    Bitmap src = flat(21, 21, PixelFormat::Gray8, { 0, 0, 0, 255 });
    src.setPixel(18, 10, { 255, 255, 255, 255 });
    RotateOptions o;
    o.interpolation = Interpolation::Bilinear;
    o.background = Rgba { 0, 0, 0, 255 };
    const Bitmap r = proc::rotate(src, 45, o);
    ASSERT_EQ(r.width(), 30); // 21 * (cos 45 + sin 45) = 29.7
    int bx = 0, by = 0, best = -1;
    for (int y = 0; y < r.height(); ++y)
        for (int x = 0; x < r.width(); ++x)
            if (r.pixel(x, y).r > best) best = r.pixel(x, y).r, bx = x, by = y;
    const double c = (r.width() - 1) / 2.0, d = 8 / std::sqrt(2.0);
    EXPECT_NEAR(bx, c + d, 1);
    EXPECT_NEAR(by, c - d, 1);
}

TEST(Rotate, FlatImagesStayFlatInsideAndCornersTakeTheBackground) {
    for (Interpolation in :
        { Interpolation::Nearest, Interpolation::Bilinear, Interpolation::Bicubic }) {
        for (PixelFormat f : { PixelFormat::Rgb24, PixelFormat::Gray8, PixelFormat::Rgb48,
                 PixelFormat::Rgba32, PixelFormat::Cmyk32, PixelFormat::Gray16 }) {
            SCOPED_TRACE(int(f) * 10 + int(in));
            RotateOptions o;
            o.interpolation = in;
            o.background = Rgba { 0, 0, 255, 255 };
            const Bitmap r = proc::rotate(flat(40, 30, f, { 200, 200, 200, 255 }), 30, o);
            const Rgba mid = r.pixel(r.width() / 2, r.height() / 2);
            EXPECT_NEAR(mid.r, 200, 1);
            EXPECT_NEAR(mid.b, 200, 1);
            const Rgba corner = r.pixel(0, 0);
            if (f == PixelFormat::Gray8 || f == PixelFormat::Gray16)
                EXPECT_EQ(corner.r, lumaOf(0, 0, 255));
            else
                EXPECT_NEAR(corner.b, 255, 2);
        }
    }
}

TEST(Rotate, TransparentBackgroundAddsAlphaWithSoftEdges) {
    const Bitmap src = flat(50, 50, PixelFormat::Rgb24, { 10, 200, 30, 255 });
    RotateOptions o;
    o.background.reset();
    const Bitmap r = proc::rotate(src, 10, o);
    ASSERT_TRUE(r.hasAlphaPlane());
    EXPECT_EQ(r.pixel(0, 0).a, 0);
    EXPECT_EQ(r.pixel(r.width() / 2, r.height() / 2).a, 255);
    EXPECT_EQ(r.pixel(r.width() / 2, r.height() / 2).g, 200);
    // along the top edge some pixel is partly covered, and its colour is not darkened
    bool soft = false;
    for (int y = 0; y < r.height() / 2; ++y) {
        const Rgba p = r.pixel(r.width() / 2, y);
        if (p.a > 0 && p.a < 255) {
            soft = true;
            EXPECT_NEAR(p.g, 200, 2);
        }
    }
    EXPECT_TRUE(soft);
    o.antialias = false;
    o.interpolation = Interpolation::Nearest;
    const Bitmap hard = proc::rotate(src, 10, o);
    for (int y = 0; y < hard.height(); ++y)
        for (int x = 0; x < hard.width(); ++x)
            ASSERT_TRUE(hard.pixel(x, y).a == 0 || hard.pixel(x, y).a == 255);
}

TEST(Rotate, ThinImagesAndPalettesRotate) {
    for (auto [w, h] : { std::pair { 1, 9 }, std::pair { 9, 1 }, std::pair { 1, 1 } }) {
        const Bitmap r = proc::rotate(vst::test::noise(w, h, PixelFormat::Rgb24), 30);
        EXPECT_GE(r.width(), 1);
        EXPECT_GE(r.height(), 1);
    }
    Bitmap pal(8, 8, PixelFormat::Palette8);
    pal.setPalette({ { 0, 0, 0 }, { 255, 0, 0 } });
    pal.fill({ 255, 0, 0, 255 });
    const Bitmap r = proc::rotate(pal, 15);
    EXPECT_EQ(r.pixelFormat(), PixelFormat::Rgb24);
    EXPECT_EQ(r.pixel(r.width() / 2, r.height() / 2), (Rgba { 255, 0, 0, 255 }));
    EXPECT_THROW(proc::rotate(pal, std::nan("")), Error);
}

TEST(RotateAndCrop, KeepsOnlyImagePixels) {
    EXPECT_EQ(proc::largestInnerRect(100, 100, 45), (Rect { 0, 0, 70, 70 })); // 100 / sqrt 2
    const Rect wide = proc::largestInnerRect(400, 100, 10);
    EXPECT_LT(wide.w, 400);
    EXPECT_LT(wide.h, 100);
    // the inner rectangle fits inside the turned one: its corners land inside the source
    const double a = 10 * std::numbers::pi / 180;
    for (double sx : { -1.0, 1.0 })
        for (double sy : { -1.0, 1.0 }) {
            const double x = sx * wide.w / 2.0, y = sy * wide.h / 2.0;
            EXPECT_LE(std::abs(x * std::cos(a) - y * std::sin(a)), 200.01);
            EXPECT_LE(std::abs(x * std::sin(a) + y * std::cos(a)), 50.01);
        }
    const Bitmap src = flat(400, 100, PixelFormat::Rgb24, { 90, 90, 90, 255 });
    const Bitmap r = proc::rotateAndCrop(src, 10);
    EXPECT_EQ(r.width(), wide.w);
    EXPECT_FALSE(r.hasAlpha());
    for (int y = 0; y < r.height(); ++y)
        for (int x = 0; x < r.width(); ++x)
            ASSERT_EQ(r.pixel(x, y).r, 90) << x << "," << y;
    EXPECT_TRUE(proc::rotateAndCrop(src, 0).samePixels(src));
}
