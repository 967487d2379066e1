#include "FilterTestUtil.h"
#include "support/TestImages.h"

#include "imaging/Error.h"
#include "proc/retouch/RetouchBrush.h"

#include <gtest/gtest.h>

using namespace ie;
using namespace vst::test;

namespace {

bool insideRect(int x, int y, Rect r) {
    return x >= r.x && x < r.right() && y >= r.y && y < r.bottom();
}

} // namespace

TEST(RetouchBrush, EveryTypeChangesOnlyItsDab) {
    for (int t = 0; t <= 12; ++t) {
        SCOPED_TRACE(t);
        const Bitmap src = noise(60, 50, PixelFormat::Rgb24); // detail above every threshold
        Bitmap img = src;
        proc::RetouchBrush brush;
        brush.type = proc::RetouchType(t);
        brush.width = brush.height = 20;
        if (brush.type == proc::RetouchType::Darkening) brush.params.brightnessAdjustment = -10;
        if (brush.type == proc::RetouchType::Decolorizing) brush.params.saturationAmount = -30;
        brush.dab(img, 28, 25);
        brush.dab(
            img, 31, 25); // a smudge picks colour up on the first dab and drags it on the second
        const Rect dabs { 28 - 10, 15, 23, 20 };
        bool changed = false;
        for (int y = 0; y < 50; ++y)
            for (int x = 0; x < 60; ++x) {
                if (!insideRect(x, y, dabs)) {
                    ASSERT_EQ(img.pixel(x, y), src.pixel(x, y)) << x << "," << y;
                } else {
                    changed |= img.pixel(x, y) != src.pixel(x, y);
                }
            }
        EXPECT_TRUE(changed);
    }
}

TEST(RetouchBrush, LighteningByHandWithShapesFeatherAndClipping) {
    const Bitmap flat = flatImage(20, 20, PixelFormat::Rgb24, 100);
    proc::RetouchBrush brush;
    brush.type = proc::RetouchType::Lightening;
    brush.params.brightnessAdjustment = 10;
    brush.shape = proc::DabShape::Rectangle;
    brush.width = 6;
    brush.height = 4;
    Bitmap img = flat;
    brush.dab(img, 10, 10); // covers x 7..12, y 8..11
    EXPECT_EQ(sampleAt(img, 7, 8, 0), 110);
    EXPECT_EQ(sampleAt(img, 12, 11, 2), 110);
    EXPECT_EQ(sampleAt(img, 6, 8, 0), 100);
    EXPECT_EQ(sampleAt(img, 7, 12, 0), 100);

    brush.shape = proc::DabShape::Circle;
    brush.width = brush.height = 10;
    brush.feathering = 4;
    Bitmap soft = flat;
    brush.dab(soft, 10, 10);
    EXPECT_EQ(sampleAt(soft, 10, 10, 0), 110);
    const int edge = sampleAt(soft, 6, 10, 0);
    EXPECT_GT(edge, 100);
    EXPECT_LT(edge, 110);
    EXPECT_EQ(sampleAt(soft, 5, 5, 0), 100); // the corner of the square lies outside the circle

    Bitmap clipped = flat;
    brush.dab(clipped, 0, 19); // mostly outside the image
    EXPECT_GT(sampleAt(clipped, 0, 19, 0), 100);
    brush.dab(clipped, -50, -50); // entirely outside: nothing happens
}

TEST(RetouchBrush, SelectionLimitsTheDabAndBadInputIsRefused) {
    const Bitmap flat = flatImage(20, 20, PixelFormat::Gray8, 100);
    proc::RetouchBrush brush;
    brush.type = proc::RetouchType::Darkening;
    brush.params.brightnessAdjustment = -40;
    brush.shape = proc::DabShape::Rectangle;
    brush.width = brush.height = 10;
    Selection sel(20, 20);
    sel.selectRect({ 0, 0, 10, 20 });
    Bitmap img = flat;
    brush.dab(img, 10, 10, &sel);
    EXPECT_EQ(sampleAt(img, 8, 10, 0), 60);
    EXPECT_EQ(sampleAt(img, 11, 10, 0), 100);
    Selection other(5, 5);
    other.selectAll();
    EXPECT_THROW(brush.dab(img, 10, 10, &other), Error);
    Bitmap pal(4, 4, PixelFormat::Palette8);
    pal.setPalette({ { 0, 0, 0 } });
    EXPECT_THROW(brush.dab(pal, 2, 2), Error);
}

TEST(RetouchBrush, PixelizeDabsFollowTheImageGrid) {
    const Bitmap src = noise(40, 40, PixelFormat::Rgb24);
    Bitmap img = src;
    proc::RetouchBrush brush;
    brush.type = proc::RetouchType::Pixelize;
    brush.params.pixelizeBlockSize = 8;
    brush.shape = proc::DabShape::Rectangle;
    brush.width = brush.height = 30;
    brush.dab(img, 20, 20);
    brush.dab(img, 23, 22); // overlapping: the blocks it paints are the same blocks
    for (int y = 8; y < 16; ++y)
        for (int x = 8; x < 16; ++x)
            EXPECT_EQ(img.pixel(x, y), img.pixel(8, 8));
}
