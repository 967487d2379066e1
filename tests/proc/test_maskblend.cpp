#include "proc/MaskBlend.h"

#include "imaging/Error.h"

#include <gtest/gtest.h>

using namespace ie;

namespace {

Selection softSelection(int w, int h) {
    Bitmap mask(w, h, PixelFormat::Gray8);
    mask.fill({ 0, 0, 0, 255 });
    mask.mutableScanline(1)[1] = 255;
    mask.mutableScanline(1)[2] = 128;
    Selection sel(w, h);
    sel.selectMask(mask);
    return sel;
}

} // namespace

TEST(MaskBlend, OnlySelectedPixelsChangeWithTheSoftEdge) {
    for (PixelFormat f : { PixelFormat::Rgb24, PixelFormat::Gray8, PixelFormat::Rgb48,
             PixelFormat::Rgba32, PixelFormat::Palette8 }) {
        SCOPED_TRACE(int(f));
        Bitmap image(5, 3, f);
        if (f == PixelFormat::Palette8) image.setPalette({ { 0, 0, 0 }, { 255, 255, 255 } });
        image.fill({ 0, 0, 0, 255 });
        const Bitmap original = image;
        const Selection sel = softSelection(5, 3);
        proc::editSelected(image, &sel, [](Bitmap& b, Rect r) {
            EXPECT_EQ(r, (Rect { 1, 1, 2, 1 }));
            b.fillRect(r, { 255, 255, 255, 255 });
        });
        EXPECT_EQ(image.pixel(1, 1).r, 255);
        const int soft = image.pixel(2, 1).r;
        if (f == PixelFormat::Palette8)
            EXPECT_EQ(soft, 255); // indices cannot blend: the nearer one is taken
        else
            EXPECT_NEAR(soft, 128, 1);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x)
                if (y != 1 || (x != 1 && x != 2)) {
                    EXPECT_EQ(image.pixel(x, y), original.pixel(x, y));
                }
    }
}

TEST(MaskBlend, NoSelectionEditsEverythingAndAWrongSizeIsRefused) {
    Bitmap image(4, 4, PixelFormat::Gray8);
    Selection none;
    EXPECT_EQ(proc::workRect(image, &none), image.rect());
    EXPECT_EQ(proc::workRect(image, nullptr), image.rect());
    Selection other(3, 4);
    other.selectAll();
    EXPECT_THROW(proc::workRect(image, &other), Error);
}
