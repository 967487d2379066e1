#include "FilterTestUtil.h"
#include "support/TestImages.h"

#include "imaging/Error.h"
#include "proc/filter/Distort.h"
#include "proc/filter/EffectCatalogue.h"
#include "proc/filter/Frames.h"
#include "proc/filter/Lens.h"
#include "proc/filter/Stylize.h"

#include <gtest/gtest.h>

#include <set>

using namespace ie;
using namespace vst::test;

TEST(EffectCatalogue, EightGroupsOfAtLeastFiveEffectsWithSaneParameters) {
    const char* names[] = { "Distortion", "Lens Corrections", "Drawing", "Pixelization",
        "Dilation / Erosion", "Texture", "Frame", "Decoration" };
    const auto& groups = proc::effectCatalogue();
    ASSERT_EQ(groups.size(), 8u);
    std::set<std::string> ids;
    for (int g = 0; g < 8; ++g) {
        EXPECT_EQ(groups[g].number, g + 1);
        EXPECT_EQ(groups[g].name, names[g]);
        EXPECT_GE(groups[g].effects.size(), 5u);
        for (const auto& e : groups[g].effects) {
            EXPECT_TRUE(ids.insert(e.id).second) << e.id;
            EXPECT_EQ(e.id.find('/'), std::string::npos);
            for (const auto& p : e.params)
                EXPECT_TRUE(p.minimum <= p.defaultValue && p.defaultValue <= p.maximum) << e.id;
        }
    }
    const auto* sobel = proc::findCatalogueEffect(3, "sobelnegative");
    ASSERT_NE(sobel, nullptr);
    EXPECT_EQ(sobel->displayName, "EdgeDetect_Sobel (and Negative)");
}

TEST(EffectCatalogue, EveryEffectChangesOnlyTheSelectionOnEveryFormat) {
    for (PixelFormat f : kFilterFormats) {
        const Bitmap src = photoLike(48, 36, f);
        Selection sel(48, 36);
        sel.selectRect({ 4, 4, 20, 28 });
        for (const auto& g : proc::effectCatalogue())
            for (const auto& e : g.effects) {
                SCOPED_TRACE(::testing::Message() << e.id << " format " << int(f));
                Bitmap img = src;
                // Fringes of a few per mille need a large image to show; this one is small.
                const auto params
                    = e.id == "chromatic" ? std::vector<double> { 40, -40 } : e.defaults();
                proc::applyCatalogueEffect(img, g.number, e.id, params, &sel);
                bool changedInside = false;
                for (int y = 0; y < 36; ++y)
                    for (int x = 0; x < 48; ++x) {
                        const bool inside = x >= 4 && x < 24 && y >= 4 && y < 32;
                        if (!inside) {
                            ASSERT_EQ(img.pixel(x, y), src.pixel(x, y)) << x << "," << y;
                        } else {
                            changedInside |= img.pixel(x, y) != src.pixel(x, y);
                        }
                    }
                const bool greyHasNoFringes = f == PixelFormat::Gray8 && e.id == "chromatic";
                EXPECT_TRUE(changedInside || greyHasNoFringes);
            }
    }
}

TEST(EffectCatalogue, BadRequestsAreRefusedBeforeTouchingTheImage) {
    const Bitmap src = photoLike(8, 8);
    Bitmap img = src;
    EXPECT_THROW(proc::applyCatalogueEffect(img, 9, "wave", { 8, 60, 0 }), Error);
    EXPECT_THROW(proc::applyCatalogueEffect(img, 1, "nosuch", {}), Error);
    EXPECT_THROW(proc::applyCatalogueEffect(img, 2, "wave", { 8, 60, 0 }), Error); // wrong group
    EXPECT_THROW(proc::applyCatalogueEffect(img, 1, "wave", { 8, 60 }), Error);
    EXPECT_THROW(proc::applyCatalogueEffect(img, 1, "wave", { 8, 60, 400 }), Error);
    EXPECT_THROW(proc::applyCatalogueEffect(img, 1, "wave", { 8, std::nan(""), 0 }), Error);
    EXPECT_TRUE(img.samePixels(src));
    proc::applyCatalogueEffect(img, 0, "wave", { 8, 60, 0 }); // group 0 searches all groups
    EXPECT_FALSE(img.samePixels(src));
}

TEST(Distortions, ZeroAmountsAreIdentityAndAWaveShiftsByHand) {
    const Bitmap src = noise(15, 11, PixelFormat::Rgb24);
    Bitmap a = src, b = src, c = src, d = src, e = src, f = src;
    proc::wave(a, 0, 10);
    proc::twirl(b, 0);
    proc::pinch(c, 0);
    proc::ripple(d, 0, 10);
    proc::lensDistortion(e, 0);
    proc::spherize(f, 0);
    for (const Bitmap* r : { &a, &b, &c, &d, &e, &f })
        EXPECT_TRUE(r->samePixels(src));

    Bitmap ramp(8, 3, PixelFormat::Gray8);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 8; ++x)
            setSample(ramp, x, y, 0, 10 * x);
    proc::wave(ramp, 1, 4, 90); // row 0 samples one pixel to the right, row 1 not at all
    EXPECT_EQ(sampleAt(ramp, 2, 0, 0), 30);
    EXPECT_EQ(sampleAt(ramp, 2, 1, 0), 20);
    EXPECT_EQ(sampleAt(ramp, 2, 2, 0), 10);

    // An alpha plane moves with the colour: a grey image whose alpha equals its grey stays so.
    Bitmap shaped = noise(15, 11, PixelFormat::Gray8);
    shaped.addAlphaPlane();
    for (int y = 0; y < 11; ++y)
        for (int x = 0; x < 15; ++x)
            shaped.mutableAlphaLine(y)[x] = shaped.scanline(y)[x];
    proc::twirl(shaped, 90);
    for (int y = 0; y < 11; ++y)
        for (int x = 0; x < 15; ++x)
            ASSERT_EQ(shaped.alphaLine(y)[x], shaped.scanline(y)[x]);

    Bitmap t = src;
    proc::twirl(t, 120);
    EXPECT_EQ(t.pixel(7, 5), src.pixel(7, 5)); // the centre stays
    EXPECT_EQ(t.pixel(0, 0), src.pixel(0, 0)); // so do the corners outside the circle
}

TEST(Stylize, PosterizeSolarizePixelizeAndNoiseByHand) {
    Bitmap g(4, 2, PixelFormat::Gray8);
    const int values[] = { 100, 200, 10, 250, 60, 60, 60, 60 };
    for (int i = 0; i < 8; ++i)
        setSample(g, i % 4, i / 4, 0, values[i]);
    Bitmap post = g, sol = g, pix = g;
    proc::posterize(post, 2);
    EXPECT_EQ(sampleAt(post, 0, 0, 0), 0);
    EXPECT_EQ(sampleAt(post, 1, 0, 0), 255);
    proc::solarize(sol, 128);
    EXPECT_EQ(sampleAt(sol, 1, 0, 0), 55);
    EXPECT_EQ(sampleAt(sol, 0, 0, 0), 100);
    proc::pixelize(pix, 2, 2);
    EXPECT_EQ(sampleAt(pix, 0, 0, 0), 105); // (100 + 200 + 60 + 60) / 4
    EXPECT_EQ(sampleAt(pix, 1, 1, 0), 105);
    EXPECT_EQ(sampleAt(pix, 3, 0, 0), 95); // (10 + 250 + 60 + 60) / 4

    const Bitmap src = photoLike(20, 10);
    Bitmap n1 = src, n2 = src, n0 = src;
    proc::addNoise(n1, 20, false, 4);
    proc::addNoise(n2, 20, false, 4);
    proc::addNoise(n0, 0);
    EXPECT_TRUE(n1.samePixels(n2));
    EXPECT_FALSE(n1.samePixels(src));
    EXPECT_TRUE(n0.samePixels(src));
    const Bitmap flat = flatImage(9, 9, PixelFormat::Rgb24, 77);
    Bitmap oil = flat;
    proc::oilPaint(oil, 2, 10);
    EXPECT_TRUE(oil.samePixels(flat));
}

TEST(LensAndFrames, ChannelsCornersAndBorders) {
    const Bitmap src = photoLike(30, 20);
    Bitmap ca = src;
    proc::chromaticAberration(ca, 20, -20);
    EXPECT_EQ(maxSampleDiff(ca, src) > 0, true);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x)
            ASSERT_EQ(sampleAt(ca, x, y, 1), sampleAt(src, x, y, 1));

    const Bitmap flat = flatImage(30, 20, PixelFormat::Rgb24, 200);
    Bitmap v = flat;
    proc::vignette(v, -80, 30);
    EXPECT_LT(sampleAt(v, 0, 0, 0), 100);
    EXPECT_EQ(sampleAt(v, 15, 10, 0), 200);

    Bitmap framed = flat;
    proc::addFrame(framed, proc::FrameStyle::Solid, 2, { 10, 20, 30 });
    EXPECT_EQ(framed.pixel(1, 10), (Rgba { 10, 20, 30, 255 }));
    EXPECT_EQ(framed.pixel(28, 10), (Rgba { 10, 20, 30, 255 }));
    EXPECT_EQ(framed.pixel(2, 2), (Rgba { 200, 200, 200, 255 }));
}
