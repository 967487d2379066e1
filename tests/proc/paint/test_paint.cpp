// Tests of colour, alpha and gradient fills, merge, flood fill and colour replacement.
#include "imaging/Error.h"
#include "proc/paint/ColorCast.h"
#include "proc/paint/Fill.h"
#include "proc/paint/FloodFill.h"
#include "proc/paint/GradientFill.h"
#include "proc/paint/Merge.h"
#include "support/TestImages.h"

#include <gtest/gtest.h>

using namespace ie;

namespace {

Bitmap flat(int w, int h, PixelFormat f, Rgba c) {
    Bitmap b(w, h, f);
    b.fill(c);
    return b;
}

Selection rectSelection(int w, int h, Rect r) {
    Selection s(w, h);
    s.selectRect(r);
    return s;
}

} // namespace

TEST(Fill, ColorFillHonoursTheSelectionInEveryFormat) {
    for (PixelFormat f :
        { PixelFormat::Rgb24, PixelFormat::Rgba32, PixelFormat::Gray8, PixelFormat::Rgb48 }) {
        SCOPED_TRACE(int(f));
        Bitmap b = flat(6, 4, f, { 0, 0, 0, 255 });
        const Selection sel = rectSelection(6, 4, { 1, 1, 2, 2 });
        proc::fillColor(b, { 255, 255, 255, 255 }, &sel);
        EXPECT_EQ(b.pixel(1, 1).r, 255);
        EXPECT_EQ(b.pixel(2, 2).g, 255);
        EXPECT_EQ(b.pixel(0, 0).r, 0);
        EXPECT_EQ(b.pixel(3, 1).r, 0);
    }
    Bitmap one = flat(1, 5, PixelFormat::Rgb24, {});
    proc::fillColor(one, { 1, 2, 3, 255 });
    EXPECT_EQ(one.pixel(0, 4), (Rgba { 1, 2, 3, 255 }));
}

TEST(Fill, AlphaFillFlatAndVerticalFade) {
    Bitmap b = flat(3, 5, PixelFormat::Rgb24, { 10, 20, 30, 255 });
    proc::fillAlpha(b, 128);
    ASSERT_TRUE(b.hasAlphaPlane());
    EXPECT_EQ(b.pixel(2, 4).a, 128);
    EXPECT_EQ(b.pixel(2, 4).r, 10);
    proc::fillAlpha(b, 255, nullptr, proc::AlphaGradient::Vertical, 0);
    EXPECT_EQ(b.pixel(0, 0).a, 255);
    EXPECT_EQ(b.pixel(0, 2).a, 128); // 255 - 255 * 2 / 4 = 127.5, rounded away
    EXPECT_EQ(b.pixel(0, 4).a, 0);
    Bitmap h = flat(5, 1, PixelFormat::Rgba32, {});
    proc::fillAlpha(h, 0, nullptr, proc::AlphaGradient::Horizontal, 200);
    EXPECT_EQ(h.pixel(0, 0).a, 0);
    EXPECT_EQ(h.pixel(4, 0).a, 200);
}

TEST(GradientFill, EndsAndMiddlesOfTheDirections) {
    const Rect r { 0, 0, 100, 50 };
    struct Case {
        GradientKind kind;
        double x, y, expected;
    };
    const Case cases[] = {
        { GradientKind::Horizontal, 0, 25, 0 },
        { GradientKind::Horizontal, 100, 25, 1 },
        { GradientKind::Vertical, 50, 25, 0.5 },
        { GradientKind::HorizontalCenter, 50, 10, 1 },
        { GradientKind::HorizontalCenter, 0, 10, 0 },
        { GradientKind::VerticalCenter, 3, 25, 1 },
        { GradientKind::Diagonal, 100, 50, 1 },
        { GradientKind::Diagonal2, 100, 0, 0 },
        { GradientKind::DiagonalCenter, 50, 25, 1 },
        { GradientKind::Left, 0, 25, 0 },
        { GradientKind::Left, 100, 25, 1 },
        { GradientKind::Bottom, 50, 0, 1 },
        { GradientKind::TopLeft, 0, 0, 0 },
        { GradientKind::BottomRight, 0, 0, 1 },
        { GradientKind::None, 70, 3, 0 },
    };
    for (const Case& c : cases)
        EXPECT_NEAR(proc::gradientPosition(c.kind, r, c.x, c.y), c.expected, 1e-9)
            << int(c.kind) << " at " << c.x << "," << c.y;

    Bitmap b = flat(10, 4, PixelFormat::Rgb24, {});
    const Selection sel = rectSelection(10, 4, { 2, 0, 5, 4 });
    proc::fillGradient(b, { 255, 0, 0, 255 }, { 0, 0, 255, 255 }, GradientKind::Horizontal, &sel);
    EXPECT_GT(b.pixel(2, 0).r, 200); // the ramp spans the selection, not the image
    EXPECT_GT(b.pixel(6, 0).b, 200);
    EXPECT_EQ(b.pixel(1, 0), (Rgba { 0, 0, 0, 255 }));
    EXPECT_EQ(b.pixel(7, 0), (Rgba { 0, 0, 0, 255 }));
}

TEST(Merge, MixesByPercentAndRefusesBadValues) {
    Bitmap b = flat(4, 4, PixelFormat::Rgb24, { 0, 0, 0, 255 });
    const Bitmap white = flat(2, 2, PixelFormat::Rgb24, { 255, 255, 255, 255 }); // stretched
    proc::mergeBitmap(b, white, 50);
    EXPECT_NEAR(b.pixel(3, 3).r, 128, 1);
    Bitmap keep = flat(4, 4, PixelFormat::Gray8, { 7, 7, 7, 255 });
    proc::mergeBitmap(keep, white, 0);
    EXPECT_EQ(keep.pixel(0, 0).r, 7);
    proc::mergeBitmap(keep, white, 100);
    EXPECT_EQ(keep.pixel(0, 0).r, 255);
    EXPECT_THROW(proc::mergeBitmap(keep, white, 101), Error);
}

TEST(FloodFill, FillsTheConnectedAreaWithinTolerance) {
    // a white frame splits the image: the fill stops at it
    Bitmap b = flat(7, 5, PixelFormat::Rgb24, { 100, 100, 100, 255 });
    for (int y = 0; y < 5; ++y)
        b.setPixel(3, y, { 255, 255, 255, 255 });
    b.setPixel(1, 1, { 110, 100, 100, 255 });
    proc::FloodFill fill;
    fill.color = { 0, 0, 255, 255 };
    fill.tolerance = 5;
    EXPECT_EQ(proc::floodFill(b, 0, 0, fill), 14); // 15 left pixels minus the one too far
    EXPECT_EQ(b.pixel(2, 4), (Rgba { 0, 0, 255, 255 }));
    EXPECT_EQ(b.pixel(1, 1), (Rgba { 110, 100, 100, 255 }));
    EXPECT_EQ(b.pixel(4, 0), (Rgba { 100, 100, 100, 255 }));
    EXPECT_EQ(proc::floodFill(b, 99, 0, fill), 0);

    Bitmap a = flat(4, 4, PixelFormat::Rgb24, { 1, 1, 1, 255 });
    fill.alphaOnly = true;
    fill.alpha = 0;
    const Selection sel = rectSelection(4, 4, { 0, 0, 2, 4 });
    proc::floodFill(a, 0, 0, fill, &sel);
    EXPECT_EQ(a.pixel(1, 3).a, 0);
    EXPECT_EQ(a.pixel(1, 3).r, 1);
    EXPECT_EQ(a.pixel(2, 0).a, 255);
}

TEST(ColorCast, ReplacesNearColoursOnly) {
    Bitmap b(3, 1, PixelFormat::Rgb24);
    b.setPixel(0, 0, { 200, 10, 10, 255 });
    b.setPixel(1, 0, { 190, 20, 5, 255 });
    b.setPixel(2, 0, { 150, 10, 10, 255 });
    EXPECT_EQ(proc::castColorRange(b, { 200, 10, 10, 255 }, { 0, 255, 0, 255 }, 10), 2);
    EXPECT_EQ(b.pixel(1, 0), (Rgba { 0, 255, 0, 255 }));
    EXPECT_EQ(b.pixel(2, 0), (Rgba { 150, 10, 10, 255 }));
}
