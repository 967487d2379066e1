// The effect object: parameter table, text round trips, refusal of malformed texts, application.
#include "effects/ImageEffect.h"

#include "imaging/Error.h"
#include "proc/adjust/Levels.h"
#include "proc/filter/EffectCatalogue.h"
#include "support/TestImages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

using namespace ie;

namespace {

// Random values valid one by one and together (levels' white above black, curves in order).
ImageEffect randomEffect(int op, std::mt19937& rng) {
    ImageEffect e = ImageEffect::withDefaults(op);
    e.setEnabled(rng() % 2 == 0);
    for (const EffectParam& p : effectParams(op)) {
        double v = std::uniform_real_distribution<double>(p.min, p.max)(rng);
        if (p.kind != ParamKind::Real) v = std::floor(v);
        e.setParam(p.id, v);
    }
    if (e.op() == EffectOp::Levels)
        for (const char* c : { "master", "red", "green", "blue" }) {
            const std::string s(c);
            e.setParam(s + ".inBlack", double(rng() % 128));
            e.setParam(s + ".inWhite", double(128 + rng() % 128));
        }
    if (e.op() == EffectOp::UserFilter) e.setParam("size", 1 + 2 * double(rng() % 4));
    if (e.op() == EffectOp::OtherEffects) {
        const auto& group = proc::effectGroup(int(1 + rng() % 8));
        const std::size_t index = rng() % group.effects.size();
        e.setParam("group", group.number);
        e.setParam("effect", double(index));
        const auto& inner = group.effects[index].params;
        for (std::size_t i = 0; i < 8; ++i)
            e.setParam("p" + std::to_string(i + 1),
                i < inner.size() ? std::uniform_real_distribution<double>(
                    inner[i].minimum, inner[i].maximum)(rng)
                                 : 0);
    }
    if (e.op() == EffectOp::ColorCurve)
        for (const char* c : { "master", "red", "green", "blue" })
            for (int i = 0; i < 8; ++i)
                e.setParam(
                    std::string(c) + ".x" + std::to_string(i), i * 30 + (rng() % 300) / 10.0);
    return e;
}

} // namespace

TEST(ImageEffect, TableHasEveryOperationWithDefaultsInRange) {
    for (int op = 1; op <= 22; ++op) {
        SCOPED_TRACE(op);
        EXPECT_FALSE(effectName(op).empty());
        EXPECT_FALSE(effectParams(op).empty());
        for (const EffectParam& p : effectParams(op)) {
            EXPECT_LE(p.min, p.defaultValue) << p.id;
            EXPECT_LE(p.defaultValue, p.max) << p.id;
        }
    }
    EXPECT_TRUE(effectParams(0).empty());
    EXPECT_TRUE(effectParams(23).empty());
    EXPECT_THROW(ImageEffect::withDefaults(23), Error);
}

TEST(ImageEffect, TextRoundTripsForDefaultsAndRandomValues) {
    std::mt19937 rng(12345);
    for (int op = 1; op <= 22; ++op) {
        SCOPED_TRACE(op);
        const ImageEffect def = ImageEffect::withDefaults(op);
        const std::string text = def.AsString();
        EXPECT_EQ(text.rfind(std::to_string(op) + "/1/1/", 0), 0u) << text;
        EXPECT_EQ(
            std::count(text.begin(), text.end(), '/'), 2 + std::ptrdiff_t(def.values().size()));
        EXPECT_EQ(ImageEffect::fromString(text), def);
        for (int i = 0; i < 40; ++i) {
            const ImageEffect e = randomEffect(op, rng);
            const std::string t = e.AsString();
            EXPECT_EQ(t.find_first_of("\r\n, "), std::string::npos) << t;
            const ImageEffect back = ImageEffect::fromString(t);
            ASSERT_EQ(back, e) << t;
            EXPECT_EQ(back.AsString(), t);
        }
    }
}

TEST(ImageEffect, MalformedTextsAreRefused) {
    const char* bad[] = {
        "",
        "1",
        "1/1",
        "1/1/1",
        "1/1/1/0/0",
        "1/1/1/0/0/0/0",
        "1/1/1/0/0/0/",
        "x/1/1/0/0/0",
        "0/1/1/0/0/0",
        "23/1/1/0/0/0",
        "-1/1/1/0/0/0",
        "1/2/1/0/0/0",
        "1/1/0/0/0/0",
        "1/1/2/0/0/0",
        "1/1/1/0/abc/0",
        "1/1/1/0/0,5/0",
        "1/1/1/0/ 5/0",
        "1/1/1/0/+5/0",
        "1/1/1/0/150/0",
        "1/1/1/0/0/nan",
        "1/1/1/0/0/inf",
        "1/1/1/0/0/0\n",
        "6/1/1/0.5",
        "1.5/1/1/0/0/0",
        // levels with the red input white at its input black
        "19/1/1/0/255/1/0/255/100/100/1/0/255/0/255/1/0/255/0/255/1/0/255",
    };
    for (const char* text : bad) {
        SCOPED_TRACE(text);
        try {
            ImageEffect::fromString(text);
            ADD_FAILURE() << "accepted";
        } catch (const Error& e) {
            EXPECT_GT(std::string(e.what()).size(), 10u);
        }
    }
    ImageEffect curve = ImageEffect::withDefaults(18);
    curve.setParam("red.points", 3);
    curve.setParam("red.x2", 200); // x0 0, x1 255, x2 200: out of order
    EXPECT_THROW(ImageEffect::fromString(curve.AsString()), Error);
    EXPECT_THROW(curve.setParam("red.x2", 256), Error);
    EXPECT_THROW(curve.setParam("nothing", 1), Error);
}

TEST(ImageEffect, IdentityDefaultsLeaveTheImageAndDisabledEffectsDoNothing) {
    const Bitmap original = vst::test::noise(9, 7, PixelFormat::Rgb24);
    for (int op : { 1, 2, 3, 4, 10, 14, 17, 18, 19, 21 }) {
        SCOPED_TRACE(op);
        Bitmap image = original;
        ImageEffect::withDefaults(op).Apply(image);
        EXPECT_TRUE(image.samePixels(original));
    }
    ImageEffect off = ImageEffect::fromString("12/0/1/200/100/0");
    Bitmap image = original;
    off.Apply(image);
    EXPECT_TRUE(image.samePixels(original));
}

TEST(ImageEffect, AppliesTheSameAsTheDirectCallInsideTheSelection) {
    ImageEffect e = ImageEffect::withDefaults(19);
    e.setParam("master.inBlack", 40);
    e.setParam("green.gamma", 1.7);
    Bitmap viaEffect = vst::test::photoLike(20, 10);
    Bitmap direct = viaEffect;
    Selection sel(20, 10);
    sel.selectEllipse({ 2, 1, 15, 8 });
    e.Apply(viaEffect, &sel);
    proc::LevelsParams p;
    p.master.inBlack = 40;
    p.green.gamma = 1.7;
    proc::levels(direct, &sel, p);
    EXPECT_TRUE(viaEffect.samePixels(direct));
    EXPECT_EQ(viaEffect.pixel(0, 0), vst::test::photoLike(20, 10).pixel(0, 0));
}

TEST(ImageEffect, GeometryOperationsChangeTheSize) {
    Bitmap image = vst::test::photoLike(40, 20);
    ImageEffect::fromString("14/1/1/0/0/50/5").Apply(image);
    EXPECT_EQ(image.width(), 20);
    EXPECT_EQ(image.height(), 10);
    ImageEffect::fromString("14/1/1/0/30/100/5").Apply(image); // height given, ratio kept
    EXPECT_EQ(image.width(), 60);
    ImageEffect::fromString("17/1/1/5/2/10/3").Apply(image);
    EXPECT_EQ(image.width(), 45);
    EXPECT_EQ(image.height(), 25);
    ImageEffect::fromString("10/1/1/90/0/0/16777215/0").Apply(image);
    EXPECT_EQ(image.width(), 25);
    EXPECT_THROW(ImageEffect::fromString("17/1/1/30/0/30/0").Apply(image), Error);
}

TEST(ImageEffect, AFailingChainLeavesTheImageAsItWas) {
    Bitmap image = vst::test::noise(8, 8, PixelFormat::Rgb24);
    const Bitmap original = image;
    ImageEffectsList chain;
    chain.add(ImageEffect::fromString("1/1/1/50/0/0"));
    chain.add(ImageEffect::fromString("17/1/1/8/0/0/0")); // crops everything away
    EXPECT_THROW(chain.Apply(image), Error);
    EXPECT_TRUE(image.samePixels(original));
    chain.clear();
    ImageEffect invert = ImageEffect::withDefaults(19);
    invert.setParam("master.outBlack", 255);
    invert.setParam("master.outWhite", 0);
    chain.add(invert);
    chain.add(invert);
    chain.Apply(image);
    EXPECT_TRUE(image.samePixels(original)); // inverted twice
}

TEST(ImageEffect, FilterOperationsAndTheCatalogueRun) {
    const Bitmap original = vst::test::photoLike(16, 12);
    for (int op : { 5, 7, 8, 9, 13, 15, 20 }) {
        SCOPED_TRACE(op);
        Bitmap image = original;
        EXPECT_NO_THROW(ImageEffect::withDefaults(op).Apply(image));
        if (op == 5) {
            EXPECT_TRUE(image.samePixels(original)); // the default kernel is the identity
        }
    }
    Bitmap image = original;
    EXPECT_NO_THROW(ImageEffect::withDefaults(22).Apply(image)); // the catalogue's first effect
    EXPECT_EQ(image.width(), original.width());
    ImageEffect other = ImageEffect::withDefaults(22);
    other.setParam("effect", 99);
    EXPECT_THROW(ImageEffect::fromString(other.AsString()), Error);
    other = ImageEffect::withDefaults(22);
    other.setParam("p1", -999999); // outside the inner effect's own range
    EXPECT_THROW(ImageEffect::fromString(other.AsString()), Error);
    EXPECT_THROW(other.Apply(image), Error);
    EXPECT_THROW(ImageEffect::withDefaults(5).setParam("size", 8), Error);
    ImageEffect even = ImageEffect::withDefaults(5);
    even.setParam("size", 4);
    EXPECT_THROW(ImageEffect::fromString(even.AsString()), Error);
}
