#include "document/Selection.h"

#include <gtest/gtest.h>

using namespace ie;

namespace {

int selectedCount(const Selection& s) {
    int n = 0;
    for (int y = 0; y < s.height(); ++y)
        for (int x = 0; x < s.width(); ++x)
            n += s.at(x, y) >= 128;
    return n;
}

} // namespace

TEST(Selection, ModesCombineRectangles) {
    Selection s(20, 10);
    EXPECT_TRUE(s.isEmpty());
    s.selectRect({ 2, 2, 6, 4 });
    EXPECT_EQ(s.bounds(), (Rect { 2, 2, 6, 4 }));
    s.selectRect({ 6, 2, 6, 4 }, SelectionMode::Add);
    EXPECT_EQ(s.bounds(), (Rect { 2, 2, 10, 4 }));
    s.selectRect({ 2, 2, 4, 4 }, SelectionMode::Subtract);
    EXPECT_EQ(s.bounds(), (Rect { 6, 2, 6, 4 }));
    s.selectRect({ 10, 0, 10, 10 }, SelectionMode::Intersect);
    EXPECT_EQ(s.bounds(), (Rect { 10, 2, 2, 4 }));
    s.selectRect({ 0, 0, 1, 1 }, SelectionMode::Intersect);
    EXPECT_TRUE(s.isEmpty());
    // Clipped to the canvas; new replaces.
    s.selectRect({ -5, -5, 8, 8 });
    EXPECT_EQ(s.bounds(), (Rect { 0, 0, 3, 3 }));
    s.selectRect({ 50, 50, 3, 3 });
    EXPECT_TRUE(s.isEmpty());
}

TEST(Selection, ShapesInvertAllAndClear) {
    Selection s(100, 100);
    s.selectEllipse({ 10, 10, 80, 80 });
    const int area = selectedCount(s);
    EXPECT_NEAR(area, 3.14159 * 40 * 40, 80);
    EXPECT_EQ(s.at(50, 50), 255);
    EXPECT_EQ(s.at(11, 11), 0);
    s.invert();
    EXPECT_EQ(s.at(11, 11), 255);
    EXPECT_EQ(s.at(50, 50), 0);
    s.selectPolygon({ { 0, 0 }, { 100, 0 }, { 0, 100 } });
    EXPECT_NEAR(selectedCount(s), 5000, 120);
    s.selectAll();
    EXPECT_EQ(s.bounds(), (Rect { 0, 0, 100, 100 }));
    s.clear();
    EXPECT_TRUE(s.isEmpty());
}

TEST(Selection, MagicWandFollowsToleranceAndContiguity) {
    Bitmap img(30, 10, PixelFormat::Rgb24);
    img.fill({ 100, 100, 100, 255 });
    img.fillRect({ 10, 0, 2, 10 }, { 0, 0, 0, 255 }); // a wall
    img.fillRect({ 20, 0, 10, 10 }, { 120, 100, 100, 255 }); // 20 levels away behind the wall
    Selection s(30, 10);
    s.selectMagicWand(img, 0, 0, 0);
    EXPECT_EQ(s.bounds(), (Rect { 0, 0, 10, 10 }));
    s.selectMagicWand(img, 0, 0, 10, SelectionMode::New, false);
    EXPECT_EQ(s.bounds(), (Rect { 0, 0, 30, 10 }));
    EXPECT_EQ(s.at(10, 5), 0);
    s.selectMagicWand(img, 0, 0, 5, SelectionMode::New, false);
    EXPECT_EQ(s.bounds(), (Rect { 0, 0, 20, 10 }));
}

TEST(Selection, FeatherSoftensAndBorderKeepsABand) {
    Selection s(60, 60);
    s.selectRect({ 20, 20, 20, 20 });
    s.feather(6);
    EXPECT_GT(s.at(30, 30), 240);
    EXPECT_GT(s.at(18, 30), 0);
    EXPECT_LT(s.at(21, 30), 255);
    s.selectRect({ 20, 20, 20, 20 });
    s.border(4);
    EXPECT_EQ(s.at(30, 30), 0);
    EXPECT_EQ(s.at(20, 30), 255);
    EXPECT_EQ(s.at(18, 30), 255);
    EXPECT_EQ(s.at(16, 30), 0);
}
