// Tests of flips, resize, canvas size, crops, rounded corners and colour modes.
#include "imaging/Error.h"
#include "proc/geometry/Canvas.h"
#include "proc/geometry/ColorMode.h"
#include "proc/geometry/Crop.h"
#include "proc/geometry/Flip.h"
#include "proc/geometry/Resize.h"
#include "proc/geometry/RoundCorners.h"
#include "support/TestImages.h"

#include <gtest/gtest.h>

using namespace ie;

TEST(Flip, TwiceIsIdentityAndMovesPixels) {
    for (auto [w, h] : { std::pair { 5, 3 }, std::pair { 1, 6 }, std::pair { 6, 1 } }) {
        const Bitmap src = vst::test::withAlpha(vst::test::noise(w, h, PixelFormat::Rgb24));
        for (auto d : { proc::FlipDirection::Horizontal, proc::FlipDirection::Vertical }) {
            Bitmap b = src;
            proc::flip(b, d);
            const bool hor = d == proc::FlipDirection::Horizontal;
            EXPECT_EQ(b.pixel(0, 0), src.pixel(hor ? w - 1 : 0, hor ? 0 : h - 1));
            proc::flip(b, d);
            EXPECT_TRUE(b.samePixels(src));
        }
    }
}

TEST(Resize, ScalesAndRefusesBadSizes) {
    Bitmap src = vst::test::photoLike(40, 30);
    src.setDpi(300, 300);
    const Bitmap r = proc::resize(src, 20, 15, ResampleFilter::Lanczos3);
    EXPECT_EQ(r.width(), 20);
    EXPECT_EQ(r.height(), 15);
    EXPECT_EQ(r.dpiX(), 300);
    EXPECT_THROW(proc::resize(src, 0, 10, ResampleFilter::Lanczos3), Error);
    EXPECT_THROW(proc::resize(src, 10, 10, ResampleFilter(19)), Error);
    EXPECT_EQ(proc::scaledSide(4000, 25), 1000);
    EXPECT_EQ(proc::scaledSide(5, 50), 2); // 2.5 rounds to even
    EXPECT_EQ(proc::scaledSide(3, 1), 1);
}

TEST(Canvas, AddsFilledOrClearMarginsAndCuts) {
    const Bitmap src = vst::test::noise(4, 3, PixelFormat::Rgb24);
    const Bitmap grown = proc::resizeCanvas(src, { 2, 1, 0, 3 }, Rgba { 9, 8, 7, 255 });
    EXPECT_EQ(grown.width(), 6);
    EXPECT_EQ(grown.height(), 7);
    EXPECT_FALSE(grown.hasAlpha());
    EXPECT_EQ(grown.pixel(0, 0), (Rgba { 9, 8, 7, 255 }));
    EXPECT_EQ(grown.pixel(2, 1), src.pixel(0, 0));
    EXPECT_EQ(grown.pixel(5, 3), src.pixel(3, 2));
    const Bitmap clear = proc::resizeCanvas(src, { 1, 0, 0, 0 }, std::nullopt);
    EXPECT_EQ(clear.pixel(0, 0).a, 0);
    EXPECT_EQ(clear.pixel(1, 0), src.pixel(0, 0));
    const Bitmap cut = proc::resizeCanvas(src, { -1, -1, -1, 0 }, Rgba {});
    EXPECT_EQ(cut.width(), 2);
    EXPECT_EQ(cut.pixel(0, 0), src.pixel(1, 1));
    EXPECT_THROW(proc::resizeCanvas(src, { -2, 0, -2, 0 }, Rgba {}), Error);
}

TEST(Crop, ToRectSelectionAndOpaquePart) {
    const Bitmap src = vst::test::noise(8, 6, PixelFormat::Rgb24);
    EXPECT_EQ(proc::cropTo(src, { 2, 1, 3, 2 }).pixel(0, 0), src.pixel(2, 1));
    EXPECT_THROW(proc::cropTo(src, { 20, 20, 3, 3 }), Error);

    Selection sel(8, 6);
    sel.selectEllipse({ 2, 1, 5, 4 });
    const Bitmap c = proc::cropToSelection(src, sel);
    EXPECT_EQ(c.width(), sel.bounds().w);
    ASSERT_TRUE(c.hasAlpha());
    EXPECT_EQ(c.pixel(0, 0).a, sel.at(sel.bounds().x, sel.bounds().y)); // corner outside
    const int cx = sel.bounds().w / 2, cy = sel.bounds().h / 2;
    EXPECT_EQ(c.pixel(cx, cy).a, 255);
    EXPECT_EQ(c.pixel(cx, cy).r, src.pixel(sel.bounds().x + cx, sel.bounds().y + cy).r);
    EXPECT_THROW(proc::cropToSelection(src, Selection(8, 6)), Error);

    Bitmap clear(7, 5, PixelFormat::Rgba32);
    clear.fill({ 0, 0, 0, 0 });
    EXPECT_TRUE(proc::cropTransparentBorder(clear).samePixels(clear)); // nothing to keep
    clear.setPixel(2, 1, { 1, 2, 3, 255 });
    clear.setPixel(4, 3, { 1, 2, 3, 10 });
    EXPECT_EQ(proc::opaqueBounds(clear), (Rect { 2, 1, 3, 3 }));
    EXPECT_EQ(proc::cropTransparentBorder(clear).pixel(0, 0), (Rgba { 1, 2, 3, 255 }));
    EXPECT_EQ(proc::opaqueBounds(src), src.rect()); // no alpha: nothing is transparent
}

TEST(RoundCorners, ClearsCornersOnly) {
    Bitmap b(40, 20, PixelFormat::Rgb24);
    b.fill({ 50, 60, 70, 255 });
    proc::roundCorners(b, 8, 4);
    ASSERT_TRUE(b.hasAlphaPlane());
    for (auto [x, y] :
        { std::pair { 0, 0 }, std::pair { 39, 0 }, std::pair { 0, 19 }, std::pair { 39, 19 } })
        EXPECT_EQ(b.pixel(x, y).a, 0) << x << "," << y;
    EXPECT_EQ(b.pixel(20, 0).a, 255);
    EXPECT_EQ(b.pixel(0, 10).a, 255);
    EXPECT_EQ(b.pixel(20, 10).a, 255);
    int soft = 0;
    for (int x = 0; x < 8; ++x)
        soft += b.pixel(x, 1).a > 0 && b.pixel(x, 1).a < 255;
    EXPECT_GT(soft, 0);
    Bitmap same = vst::test::noise(5, 5, PixelFormat::Gray8);
    const Bitmap before = same;
    proc::roundCorners(same, 0, 3);
    EXPECT_TRUE(same.samePixels(before));
}

TEST(ColorMode, ConvertsBetweenModes) {
    Bitmap src(2, 1, PixelFormat::Rgb24);
    src.setPixel(0, 0, { 255, 0, 0, 255 });
    src.setPixel(1, 0, { 0, 0, 255, 255 });
    const Bitmap g = proc::toGray(src);
    EXPECT_EQ(g.pixelFormat(), PixelFormat::Gray8);
    EXPECT_EQ(g.scanline(0)[0], lumaOf(255, 0, 0));
    const Bitmap p = proc::toPalette8(src, 2);
    EXPECT_EQ(p.pixelFormat(), PixelFormat::Palette8);
    EXPECT_EQ(p.pixel(1, 0), (Rgba { 0, 0, 255, 255 }));
    const Bitmap k = proc::toCmyk(src);
    EXPECT_EQ(k.pixelFormat(), PixelFormat::Cmyk32);
    EXPECT_TRUE(proc::fromCmyk(k).samePixels(src));
    EXPECT_THROW(proc::fromCmyk(src), Error);
    EXPECT_THROW(proc::toPalette8(src, 1), Error);
    EXPECT_EQ(proc::toRgb24(g).pixel(0, 0).g, lumaOf(255, 0, 0));
    EXPECT_EQ(proc::changeMode(src, PixelFormat::Gray8).pixelFormat(), PixelFormat::Gray8);
}
