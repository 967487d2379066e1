// Tests of histograms, channel pictures, the colour count, the comparison and the depth wording.
#include "imaging/Error.h"
#include "proc/analysis/Channels.h"
#include "proc/analysis/ColorDepth.h"
#include "proc/analysis/Compare.h"
#include "proc/analysis/Histogram.h"
#include "proc/analysis/UniqueColors.h"
#include "support/TestImages.h"

#include <gtest/gtest.h>

#include <numeric>

using namespace ie;
using proc::HistogramChannel;

namespace {

// Red, green, blue and mid grey side by side.
Bitmap fourColors() {
    Bitmap b(4, 1, PixelFormat::Rgb24);
    b.setPixel(0, 0, { 255, 0, 0, 255 });
    b.setPixel(1, 0, { 0, 255, 0, 255 });
    b.setPixel(2, 0, { 0, 0, 255, 255 });
    b.setPixel(3, 0, { 128, 128, 128, 255 });
    return b;
}

} // namespace

TEST(Histogram, CountsEachChannel) {
    const Bitmap b = fourColors();
    const auto red = proc::histogram(b, HistogramChannel::Red);
    EXPECT_EQ(red[255], 1u);
    EXPECT_EQ(red[0], 2u);
    EXPECT_EQ(red[128], 1u);
    const auto grey = proc::histogram(b, HistogramChannel::Gray);
    EXPECT_EQ(grey[lumaOf(0, 255, 0)], 1u);
    EXPECT_EQ(std::accumulate(grey.begin(), grey.end(), std::uint64_t(0)), 4u);
    const auto hue = proc::histogram(b, HistogramChannel::Hue);
    EXPECT_EQ(hue[0], 1u); // red; grey is not counted
    EXPECT_EQ(hue[85], 1u); // green at 120 degrees
    EXPECT_EQ(hue[170], 1u); // blue at 240 degrees
    EXPECT_EQ(std::accumulate(hue.begin(), hue.end(), std::uint64_t(0)), 3u);
    Selection sel(4, 1);
    sel.selectRect({ 1, 0, 2, 1 });
    const auto blue = proc::histogram(b, HistogramChannel::Blue, &sel);
    EXPECT_EQ(blue[255], 1u);
    EXPECT_EQ(blue[0], 1u);
}

TEST(Channels, GreyPicturesOfEachChannel) {
    const Bitmap b = fourColors();
    const Bitmap g = proc::rgbChannel(b, 1);
    EXPECT_EQ(g.pixelFormat(), PixelFormat::Gray8);
    EXPECT_EQ(g.scanline(0)[1], 255);
    EXPECT_EQ(g.scanline(0)[0], 0);
    const Bitmap cyan = proc::cmykChannel(b, 0);
    EXPECT_EQ(cyan.scanline(0)[0], 255); // red needs no cyan ink
    EXPECT_LT(cyan.scanline(0)[1], 128); // green does
    EXPECT_EQ(proc::cmykChannel(b, 3).scanline(0)[0], 255); // pure red: no black ink
    const Bitmap sat = proc::hsvChannel(b, 1);
    EXPECT_EQ(sat.scanline(0)[0], 255);
    EXPECT_EQ(sat.scanline(0)[3], 0);
    EXPECT_EQ(proc::hsvChannel(b, 2).scanline(0)[3], 128);
    EXPECT_THROW(proc::rgbChannel(b, 3), Error);
    EXPECT_THROW(proc::hsvChannel(b, -1), Error);
}

TEST(UniqueColors, CountsDistinctColours) {
    EXPECT_EQ(proc::countUniqueColors(fourColors()), 4);
    Bitmap flat(50, 7, PixelFormat::Gray8);
    flat.fill({ 9, 9, 9, 255 });
    EXPECT_EQ(proc::countUniqueColors(flat), 1);
}

TEST(Compare, IdenticalDifferentAndResized) {
    const Bitmap a = vst::test::photoLike(30, 20);
    const auto same = proc::compareImages(a, a);
    EXPECT_DOUBLE_EQ(same.similarity, 1.0);
    EXPECT_EQ(same.difference.pixelFormat(), PixelFormat::Gray8);
    EXPECT_EQ(same.difference.scanline(5)[5], 0);

    Bitmap black(2, 1, PixelFormat::Rgb24), mixed(2, 1, PixelFormat::Rgb24);
    black.fill({ 0, 0, 0, 255 });
    mixed.setPixel(0, 0, { 0, 0, 0, 255 });
    mixed.setPixel(1, 0, { 255, 255, 255, 255 });
    const auto half = proc::compareImages(black, mixed);
    EXPECT_DOUBLE_EQ(half.similarity, 0.5);
    EXPECT_EQ(half.difference.scanline(0)[0], 0);
    EXPECT_EQ(half.difference.scanline(0)[1], 255);

    const auto other = proc::compareImages(a, vst::test::photoLike(15, 10));
    EXPECT_EQ(other.difference.width(), 30);
    EXPECT_GT(other.similarity, 0.8);
    EXPECT_THROW(proc::compareImages(a, Bitmap()), Error);
}

TEST(ColorDepth, Wording) {
    EXPECT_EQ(proc::colorDepthText(1, 1), "Black and white");
    EXPECT_EQ(proc::colorDepthText(8, 1), "256 colors");
    EXPECT_EQ(proc::colorDepthText(4, 1), "16 colors");
    EXPECT_EQ(proc::colorDepthText(8, 3), "24 bit");
    EXPECT_EQ(proc::colorDepthText(Bitmap(2, 2, PixelFormat::Rgba32)), "32 bit");
    EXPECT_EQ(proc::colorDepthText(Bitmap(2, 2, PixelFormat::Rgb48)), "48 bit");
}
