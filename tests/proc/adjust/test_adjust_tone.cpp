// Tone-map adjustments: brightness, contrast, exposure, levels, curves, balance, negative.
#include "proc/adjust/BrightnessContrast.h"
#include "proc/adjust/ChannelOps.h"
#include "proc/adjust/ColorBalance.h"
#include "proc/adjust/Curves.h"
#include "proc/adjust/Levels.h"

#include "imaging/Error.h"
#include "support/TestImages.h"

#include <gtest/gtest.h>

using namespace ie;

namespace {

const PixelFormat kFormats[] = { PixelFormat::Rgb24, PixelFormat::Rgba32, PixelFormat::Rgb48,
    PixelFormat::Gray8, PixelFormat::Gray16 };

Bitmap solid(int w, int h, PixelFormat f, Rgba c) {
    Bitmap b(w, h, f);
    b.fill(c);
    return b;
}

} // namespace

TEST(AdjustTone, ZeroParametersLeaveEveryFormatUnchanged) {
    for (PixelFormat f : kFormats) {
        SCOPED_TRACE(int(f));
        Bitmap image = vst::test::noise(7, 5, f);
        const Bitmap original = image;
        proc::brightnessContrastExposure(image, nullptr, 0, 0, 0);
        proc::levels(image, nullptr, {});
        proc::colorCurves(image, nullptr, {});
        proc::rgbBalance(image, nullptr, 0, 0, 0);
        proc::intensityRgb(image, nullptr, 0, 0, 0);
        EXPECT_TRUE(image.samePixels(original));
        proc::negative(image, nullptr);
        EXPECT_FALSE(image.samePixels(original));
        proc::negative(image, nullptr);
        EXPECT_TRUE(image.samePixels(original)) << "negative twice is the identity";
    }
}

TEST(AdjustTone, KnownValues) {
    struct Case {
        const char* name;
        std::function<void(Bitmap&)> run;
        Rgba in, out;
    };
    const Case cases[] = {
        { "negative", [](Bitmap& b) { proc::negative(b, nullptr); }, { 10, 100, 255 },
            { 245, 155, 0 } },
        { "exposure +1 doubles",
            [](Bitmap& b) { proc::brightnessContrastExposure(b, nullptr, 0, 0, 1); },
            { 10, 100, 200 }, { 20, 200, 255 } },
        { "contrast -100 is flat grey",
            [](Bitmap& b) { proc::brightnessContrastExposure(b, nullptr, 0, -100, 0); },
            { 0, 90, 255 }, { 128, 128, 128 } },
        { "contrast 100 is a step at mid-grey",
            [](Bitmap& b) { proc::brightnessContrastExposure(b, nullptr, 0, 100, 0); },
            { 120, 135, 250 }, { 0, 255, 255 } },
        { "brightness +100 adds half the range",
            [](Bitmap& b) { proc::brightnessContrastExposure(b, nullptr, 100, 0, 0); },
            { 0, 100, 200 }, { 128, 228, 255 } },
        { "intensity -255 removes red",
            [](Bitmap& b) { proc::intensityRgb(b, nullptr, -255, 10, 0); }, { 200, 100, 50 },
            { 0, 110, 50 } },
        { "levels stretch 50..150",
            [](Bitmap& b) {
                proc::LevelsParams p;
                p.master.inBlack = 50;
                p.master.inWhite = 150;
                proc::levels(b, nullptr, p);
            },
            { 40, 100, 160 }, { 0, 128, 255 } },
        { "levels gamma 2 on red only, output range on green",
            [](Bitmap& b) {
                proc::LevelsParams p;
                p.red.gamma = 2;
                p.green.outBlack = 100;
                p.green.outWhite = 200;
                proc::levels(b, nullptr, p);
            },
            { 64, 0, 64 }, { 128, 100, 64 } },
        { "balance keeps luma", [](Bitmap& b) { proc::rgbBalance(b, nullptr, 20, 0, 0); },
            { 100, 100, 100 }, { 136, 85, 85 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bitmap image = solid(3, 2, PixelFormat::Rgb24, c.in);
        c.run(image);
        const Rgba got = image.pixel(2, 1);
        EXPECT_NEAR(got.r, c.out.r, 1);
        EXPECT_NEAR(got.g, c.out.g, 1);
        EXPECT_NEAR(got.b, c.out.b, 1);
    }
}

TEST(AdjustTone, CurvesPassThroughTheirPointsSmoothly) {
    proc::ToneCurve curve;
    curve.points = { { 0, 0 }, { 64, 100 }, { 192, 200 }, { 255, 255 } };
    for (const auto& p : curve.points)
        EXPECT_NEAR(proc::evaluateCurve(curve, p.x), p.y, 1e-9);
    double last = -1; // monotone points give a rising curve between them
    for (int x = 0; x <= 255; ++x) {
        const double y = proc::evaluateCurve(curve, x);
        EXPECT_GE(y, last);
        last = y;
    }
    proc::CurvesParams params;
    params.green = curve;
    Bitmap image = solid(2, 2, PixelFormat::Rgb24, { 64, 64, 192 });
    proc::colorCurves(image, nullptr, params);
    EXPECT_EQ(image.pixel(0, 0), (Rgba { 64, 100, 192, 255 }));
}

TEST(AdjustTone, RefusesBadParametersAndFormats) {
    Bitmap image = solid(2, 2, PixelFormat::Rgb24, { 1, 2, 3 });
    const Bitmap original = image;
    proc::LevelsParams lv;
    lv.red.inBlack = 200;
    lv.red.inWhite = 100;
    EXPECT_THROW(proc::levels(image, nullptr, lv), Error);
    proc::CurvesParams cv;
    cv.blue.points = { { 0, 0 }, { 100, 50 }, { 100, 60 }, { 255, 255 } };
    EXPECT_THROW(proc::colorCurves(image, nullptr, cv), Error);
    cv.blue.points = { { 0, 0 } };
    EXPECT_THROW(proc::colorCurves(image, nullptr, cv), Error);
    EXPECT_THROW(proc::brightnessContrastExposure(image, nullptr, 101, 0, 0), Error);
    EXPECT_THROW(proc::brightnessContrastExposure(image, nullptr, 0, 0, std::nan("")), Error);
    EXPECT_TRUE(image.samePixels(original));
    Bitmap paletted = solid(2, 2, PixelFormat::Palette8, { 0, 0, 0 });
    try {
        proc::negative(paletted, nullptr);
        FAIL() << "paletted images have no channels to invert";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("Negative"), std::string::npos) << e.what();
    }
}

TEST(AdjustTone, SelectionLimitsTheChangeOnThinImages) {
    for (auto [w, h] : { std::pair { 1, 9 }, std::pair { 9, 1 } }) {
        Bitmap image = vst::test::noise(w, h, PixelFormat::Rgb24);
        const Bitmap original = image;
        Selection sel(w, h);
        sel.selectRect({ 0, 0, w == 1 ? 1 : 4, h == 1 ? 1 : 4 });
        proc::negative(image, &sel);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const Rgba o = original.pixel(x, y), n = image.pixel(x, y);
                if (sel.at(x, y) == 255) {
                    EXPECT_EQ(n.r, 255 - o.r);
                } else {
                    EXPECT_EQ(n, o);
                }
            }
    }
}

TEST(AdjustTone, SixteenBitKeepsFineSteps) {
    Bitmap image(3, 1, PixelFormat::Rgb48);
    auto* p = reinterpret_cast<std::uint16_t*>(image.mutableScanline(0));
    for (int i = 0; i < 9; ++i)
        p[i] = std::uint16_t(1000 + i);
    proc::negative(image, nullptr);
    const auto* q = reinterpret_cast<const std::uint16_t*>(image.scanline(0));
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(q[i], 65535 - 1000 - i);
}

TEST(AdjustTone, SharedCopiesStayUntouchedAndAlphaPlanesAreKept) {
    const Bitmap original = vst::test::withAlpha(vst::test::noise(5, 300, PixelFormat::Rgb24));
    const Bitmap keep = vst::test::withAlpha(vst::test::noise(5, 300, PixelFormat::Rgb24));
    Bitmap image = original; // shares every strip with `original`
    proc::negative(image, nullptr);
    EXPECT_TRUE(original.samePixels(keep));
    ASSERT_TRUE(image.hasAlphaPlane());
    for (int y = 0; y < 300; y += 7) {
        EXPECT_EQ(image.alphaLine(y)[3], original.alphaLine(y)[3]);
        EXPECT_EQ(image.pixel(4, y).g, 255 - original.pixel(4, y).g);
    }
}
