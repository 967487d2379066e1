// Colour adjustments: hue, saturation, temperature, colorize, grey balance, channel swaps,
// replace colour and red eyes.
#include "proc/adjust/ChannelOps.h"
#include "proc/adjust/ColorTemperature.h"
#include "proc/adjust/Colorize.h"
#include "proc/adjust/GrayBalance.h"
#include "proc/adjust/HueSaturation.h"
#include "proc/adjust/RedEye.h"
#include "proc/adjust/ReplaceColor.h"

#include "imaging/Convert.h"
#include "imaging/Error.h"
#include "support/TestImages.h"

#include <gtest/gtest.h>

using namespace ie;

namespace {

Bitmap solid(int w, int h, PixelFormat f, Rgba c) {
    Bitmap b(w, h, f);
    b.fill(c);
    return b;
}

void expectNear(Rgba got, Rgba want, int tolerance = 1) {
    EXPECT_NEAR(got.r, want.r, tolerance);
    EXPECT_NEAR(got.g, want.g, tolerance);
    EXPECT_NEAR(got.b, want.b, tolerance);
}

} // namespace

TEST(AdjustColor, ChannelSwapsFollowTheLetterRule) {
    // The caption's letters say what old red, green and blue become; the argument names, for
    // destination blue, green and red, the source channel.
    struct Case {
        const char* argument;
        Rgba out; // from (200, 100, 50)
    };
    const Case cases[] = {
        { "RGB", { 50, 100, 200 } }, // RGB->BGR
        { "RBG", { 100, 50, 200 } }, // RGB->BRG: red becomes blue, green red, blue green
        { "GRB", { 50, 200, 100 } }, // RGB->GBR
        { "BRG", { 100, 200, 50 } }, // RGB->GRB
        { "GBR", { 200, 50, 100 } }, // RGB->RBG
        { "bgr", { 200, 100, 50 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.argument);
        for (PixelFormat f : { PixelFormat::Rgb24, PixelFormat::Rgba32, PixelFormat::Rgb48 }) {
            Bitmap image = solid(2, 3, f, { 200, 100, 50, 77 });
            proc::disposeChannels(image, nullptr, c.argument);
            expectNear(image.pixel(1, 2), c.out, 0);
            if (f == PixelFormat::Rgba32) {
                EXPECT_EQ(image.pixel(1, 2).a, 77);
            }
        }
    }
    Bitmap red = solid(4, 1, PixelFormat::Rgb24, { 255, 0, 0 });
    proc::disposeChannels(red, nullptr, "RGB");
    EXPECT_EQ(red.pixel(0, 0), (Rgba { 0, 0, 255, 255 }));
    proc::disposeChannels(red, nullptr, "RGB");
    EXPECT_EQ(red.pixel(3, 0), (Rgba { 255, 0, 0, 255 }));
    for (const char* bad : { "", "RG", "RGBA", "RGX" })
        EXPECT_THROW(proc::disposeChannels(red, nullptr, bad), Error) << bad;
}

TEST(AdjustColor, HueSaturationKnownResults) {
    Bitmap image = vst::test::noise(6, 4, PixelFormat::Rgb24);
    const Bitmap original = image;
    proc::hueSaturationLuminosity(image, nullptr, proc::ColorRange::All, 0, 0, 0);
    EXPECT_TRUE(image.samePixels(original));
    proc::hueSaturationLuminosity(image, nullptr, proc::ColorRange::All, 0, -100, 0);
    for (int x = 0; x < 6; ++x) {
        const Rgba p = image.pixel(x, 2);
        EXPECT_NEAR(p.r, p.g, 1);
        EXPECT_NEAR(p.g, p.b, 1);
    }
    Bitmap grey = solid(2, 2, PixelFormat::Rgb24, { 100, 100, 100 });
    proc::hueSaturationLuminosity(grey, nullptr, proc::ColorRange::All, 120, 50, 0);
    expectNear(grey.pixel(0, 0), { 100, 100, 100 }); // greys have no hue to turn
    proc::hueSaturationLuminosity(grey, nullptr, proc::ColorRange::All, 0, 0, 100);
    expectNear(grey.pixel(0, 0), { 255, 255, 255 });
    Bitmap red = solid(2, 2, PixelFormat::Rgb24, { 200, 0, 0 });
    proc::hueSaturationLuminosity(red, nullptr, proc::ColorRange::All, 180, 0, 0);
    const Rgba turned = red.pixel(0, 0);
    EXPECT_LT(turned.r, turned.g); // red turned half way round is cyan-ish
    EXPECT_LT(turned.r, turned.b);
}

TEST(AdjustColor, ColourRangeChangesOnlyItsHues) {
    Bitmap image(3, 1, PixelFormat::Rgb24);
    image.setPixel(0, 0, { 220, 30, 30 }); // red
    image.setPixel(1, 0, { 30, 30, 220 }); // blue
    image.setPixel(2, 0, { 90, 90, 90 }); // grey
    proc::hueSaturationLuminosity(image, nullptr, proc::ColorRange::Reds, 0, -100, 0);
    const Rgba r = image.pixel(0, 0);
    EXPECT_NEAR(r.r, r.g, 2);
    EXPECT_EQ(image.pixel(1, 0), (Rgba { 30, 30, 220, 255 }));
    EXPECT_EQ(image.pixel(2, 0), (Rgba { 90, 90, 90, 255 }));
}

TEST(AdjustColor, TemperatureColorizeAndGreyBalance) {
    Bitmap warm = solid(1, 3, PixelFormat::Rgb24, { 100, 100, 100 });
    proc::temperatureTintSaturation(warm, nullptr, 100, 0, 0);
    EXPECT_GT(warm.pixel(0, 1).r, 100);
    EXPECT_LT(warm.pixel(0, 1).b, 100);
    EXPECT_EQ(warm.pixel(0, 1).g, 100);

    Bitmap image = solid(2, 2, PixelFormat::Rgb24, { 128, 128, 128 });
    proc::colorize(image, nullptr, 240, 100, 0); // pure blue at the grey's lightness
    expectNear(image.pixel(1, 1), { 0, 0, 255 }, 2);

    Bitmap mix = solid(3, 1, PixelFormat::Rgb24, { 200, 100, 0 });
    proc::grayScaleBalance(mix, nullptr, 50, 50, 0);
    expectNear(mix.pixel(0, 0), { 150, 150, 150 });
    EXPECT_THROW(proc::grayScaleBalance(mix, nullptr, 201, 0, 0), Error);
}

TEST(AdjustColor, ReplaceColorWithinTolerance) {
    Bitmap image(4, 1, PixelFormat::Rgb24);
    image.setPixel(0, 0, { 200, 10, 10 }); // the picked colour
    image.setPixel(1, 0, { 210, 10, 10 }); // 4 % away
    image.setPixel(2, 0, { 120, 10, 10 }); // far away
    image.setPixel(3, 0, { 10, 10, 200 });
    Bitmap exact = image;
    proc::replaceColor(exact, nullptr, { 200, 10, 10 }, 0, { 10, 200, 10 });
    EXPECT_EQ(exact.pixel(0, 0), (Rgba { 10, 200, 10, 255 }));
    EXPECT_EQ(exact.pixel(1, 0), image.pixel(1, 0));
    proc::replaceColor(image, nullptr, { 200, 10, 10 }, 10, { 10, 200, 10 });
    EXPECT_EQ(image.pixel(0, 0), (Rgba { 10, 200, 10, 255 }));
    EXPECT_EQ(image.pixel(1, 0), (Rgba { 20, 200, 10, 255 })); // shifted, texture kept
    EXPECT_EQ(image.pixel(2, 0), (Rgba { 120, 10, 10, 255 }));
    EXPECT_EQ(image.pixel(3, 0), (Rgba { 10, 10, 200, 255 }));
}

TEST(AdjustColor, RedEyesOnlyInTheSelection) {
    Bitmap image = solid(6, 1, PixelFormat::Rgb24, { 200, 40, 40 });
    image.setPixel(5, 0, { 120, 100, 90 }); // skin: red, but not dominant enough
    Selection sel(6, 1);
    sel.selectRect({ 0, 0, 3, 1 });
    sel.selectRect({ 5, 0, 1, 1 }, SelectionMode::Add);
    proc::removeRedEyes(image, &sel);
    EXPECT_EQ(image.pixel(0, 0), (Rgba { 40, 40, 40, 255 }));
    EXPECT_EQ(image.pixel(3, 0), (Rgba { 200, 40, 40, 255 }));
    EXPECT_EQ(image.pixel(5, 0), (Rgba { 120, 100, 90, 255 }));
}

TEST(AdjustColor, GreyImagesTakeTheLumaOfTheResult) {
    Bitmap grey = solid(2, 2, PixelFormat::Gray8, { 100, 100, 100 });
    proc::grayScaleBalance(grey, nullptr, 60, 118, 22); // twice the usual luma weights
    EXPECT_EQ(grey.pixel(0, 0).r, 200);
    proc::disposeChannels(grey, nullptr, "RGB");
    EXPECT_EQ(grey.pixel(1, 1).r, 200);
}

TEST(AdjustColor, EightAndSixteenBitPathsAgree) {
    // The 8-bit matrix runs in fixed point, the 16-bit one in floats: both must give one result.
    const Bitmap src = vst::test::noise(13, 7, PixelFormat::Rgb24);
    for (int range : { 0, 1, 4 }) {
        SCOPED_TRACE(range);
        Bitmap eight = src;
        Bitmap sixteen = convertTo(src, PixelFormat::Rgb48);
        for (Bitmap* b : { &eight, &sixteen }) {
            proc::hueSaturationLuminosity(*b, nullptr, proc::ColorRange(range), 40, 30, -20);
            proc::temperatureTintSaturation(*b, nullptr, 30, -20, 10);
        }
        EXPECT_LE(vst::test::maxRgbaDiff(eight, sixteen), 2);
    }
}
