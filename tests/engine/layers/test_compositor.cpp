// The compositor: blend arithmetic, opacity, masks, geometry, effects, scaled parts and merging.
#include "LayerTestSupport.h"
#include "imaging/BitmapOps.h"
#include "imaging/Error.h"
#include "imaging/Resample.h"
#include "layers/Blend.h"
#include "layers/Compositor.h"
#include "layers/LayerMerge.h"
#include "layers/ShapeLayer.h"
#include "support/TestImages.h"

#include <cstdlib>
#include <gtest/gtest.h>

using namespace ie;
using vst::test::photoLike;
using vst::test::psnr;

namespace {

void expectNear(Rgb got, Rgb want, int tol, const std::string& what) {
    EXPECT_NEAR(got.r, want.r, tol) << what;
    EXPECT_NEAR(got.g, want.g, tol) << what;
    EXPECT_NEAR(got.b, want.b, tol) << what;
}

} // namespace

TEST(Compositor, BlendOperationsGiveHandCheckedValues) {
    const Rgb b { 200, 100, 50 }, s { 100, 150, 250 };
    const struct {
        BlendOperation op;
        Rgb want;
    } cases[] = {
        { BlendOperation::Normal, { 100, 150, 250 } },
        { BlendOperation::Add, { 255, 250, 255 } },
        { BlendOperation::Sub, { 100, 0, 0 } },
        { BlendOperation::Mul, { 78, 59, 49 } },
        { BlendOperation::Xor, { 172, 242, 200 } },
        { BlendOperation::Max, { 200, 150, 250 } },
        { BlendOperation::Min, { 100, 100, 50 } },
        { BlendOperation::Average, { 150, 125, 150 } },
        { BlendOperation::Screen, { 222, 191, 251 } },
        { BlendOperation::Exclusion, { 144, 132, 202 } },
        { BlendOperation::Overlay, { 188, 118, 98 } },
        { BlendOperation::Subtractive, { 45, 0, 45 } },
        { BlendOperation::Red, { 100, 100, 50 } },
        { BlendOperation::Blue, { 200, 100, 250 } },
    };
    for (const auto& c : cases) {
        EXPECT_EQ(blendColor(c.op, b, s), c.want) << blendOperationName(c.op);
        // The same through the whole compositor, one layer over an opaque background.
        LayerStack st = lt::stackOn(4, 4, b);
        st.add(lt::solid(4, 4, s));
        st.layer(1).blendOperation = c.op;
        EXPECT_EQ(lt::rgbAt(compositeAll(st), 2, 2), c.want) << blendOperationName(c.op);
    }
    // Luminosity keeps the backdrop's hue and takes the source's luma.
    const Rgb lumi = blendColor(BlendOperation::Luminosity, b, s);
    EXPECT_NEAR(lumaOf(lumi.r, lumi.g, lumi.b), lumaOf(s.r, s.g, s.b), 2);
    EXPECT_GT(lumi.r, lumi.b);
}

TEST(Compositor, OpacityTransparencyAndVisibility) {
    LayerStack st = lt::stackOn(4, 4, { 200, 100, 50 });
    st.add(lt::solid(4, 4, { 100, 150, 250 }));
    st.layer(1).opacity = 0.5;
    expectNear(lt::rgbAt(compositeAll(st), 1, 1), { 150, 125, 150 }, 1, "opacity 0.5");
    st.layer(1).opacity = 1;
    st.layer(1).transparency = 128;
    expectNear(lt::rgbAt(compositeAll(st), 1, 1), { 150, 125, 150 }, 1, "transparency 128");
    st.layer(1).visible = false;
    EXPECT_EQ(lt::rgbAt(compositeAll(st), 1, 1), (Rgb { 200, 100, 50 }));

    // A half-transparent layer over nothing keeps its colour and its alpha.
    LayerStack empty = lt::stackOn(4, 4, { 0, 0, 0 }, 0);
    empty.add(lt::solid(4, 4, { 10, 20, 30 }, 128));
    const Bitmap out = compositeAll(empty);
    EXPECT_EQ(lt::rgbAt(out, 0, 0), (Rgb { 10, 20, 30 }));
    EXPECT_EQ(lt::alphaAt(out, 0, 0), 128);
    CompositeOptions flat;
    flat.withAlpha = false;
    flat.background = { 255, 255, 255 };
    expectNear(lt::rgbAt(compositeAll(empty, flat), 0, 0), { 132, 137, 142 }, 1, "over white");
}

TEST(Compositor, MaskAboveHidesOrShowsTheLayerBelow) {
    // Mask: white left half, black right half; hidden masks still apply.
    Bitmap maskPixels(10, 10, PixelFormat::Gray8);
    maskPixels.fill({ 0, 0, 0, 255 });
    maskPixels.fillRect({ 0, 0, 5, 10 }, { 255, 255, 255, 255 });
    const Rgb white { 255, 255, 255 }, red { 255, 0, 0 };
    for (bool inverted : { false, true }) {
        LayerStack st = lt::stackOn(10, 10, white);
        st.add(lt::solid(10, 10, red));
        auto mask = std::make_unique<ImageLayer>(maskPixels);
        mask->isMask = true;
        mask->maskInverted = inverted;
        mask->visible = false;
        mask->groupIndex = st.layer(1).groupIndex = 1000;
        st.add(std::move(mask));
        const Bitmap out = compositeAll(st);
        EXPECT_EQ(lt::rgbAt(out, 1, 5), inverted ? white : red);
        EXPECT_EQ(lt::rgbAt(out, 8, 5), inverted ? red : white);
    }
    // A shape mask: the layer shows only where the shape is (outside the mask box too: hidden).
    LayerStack st = lt::stackOn(20, 20, white);
    st.add(lt::solid(20, 20, red));
    auto m = std::make_unique<ShapeLayer>();
    m->width = m->height = 10;
    m->fillColor = colorRef(0, 0, 0);
    m->borderWidth = 0;
    m->isMask = m->maskInverted = true;
    st.add(std::move(m));
    const Bitmap out = compositeAll(st);
    EXPECT_EQ(lt::rgbAt(out, 5, 5), red);
    EXPECT_EQ(lt::rgbAt(out, 15, 15), white);
}

TEST(Compositor, RotationAboutTheCentreAndFlipMoveKnownPixels) {
    auto marked = [] {
        auto l = lt::solid(10, 10, { 0, 0, 0 }, 0);
        l->bitmap.setPixel(7, 2, { 255, 0, 0, 255 });
        return l;
    };
    LayerStack st = lt::stackOn(10, 10, { 255, 255, 255 });
    st.add(marked());
    st.layer(1).rotation = 90; // counter-clockwise: top right goes to top left
    Bitmap out = compositeAll(st);
    EXPECT_EQ(lt::rgbAt(out, 2, 2), (Rgb { 255, 0, 0 }));
    EXPECT_EQ(lt::rgbAt(out, 7, 2), (Rgb { 255, 255, 255 }));

    st.layer(1).rotation = 0;
    st.layer(1).flip = kFlipHorizontal | kFlipVertical;
    out = compositeAll(st);
    EXPECT_EQ(lt::rgbAt(out, 2, 7), (Rgb { 255, 0, 0 }));
}

TEST(Compositor, LayersAreClippedToTheCanvasAndPlacedByPosition) {
    LayerStack st = lt::stackOn(10, 10, { 0, 0, 0 });
    st.add(lt::solid(6, 6, { 0, 255, 0 }, 255, 7, -2));
    CompositeOptions opt;
    const Bitmap out = composite(st, Rect { -5, -5, 20, 20 }, 1.0, opt);
    EXPECT_EQ(lt::alphaAt(out, 2, 2), 0); // outside the canvas
    EXPECT_EQ(lt::rgbAt(out, 5 + 8, 5 + 1), (Rgb { 0, 255, 0 }));
    EXPECT_EQ(lt::alphaAt(out, 5 + 11, 5 + 1), 0); // the layer's part beyond the canvas
    opt.cropToCanvas = false;
    EXPECT_EQ(lt::rgbAt(composite(st, Rect { -5, -5, 20, 20 }, 1.0, opt), 5 + 11, 5 + 1),
        (Rgb { 0, 255, 0 }));
}

TEST(Compositor, ScaledPartEqualsTheDownscaledFullRender) {
    LayerStack st;
    st.add(std::make_unique<ImageLayer>(photoLike(200, 160)));
    auto top = std::make_unique<ImageLayer>(photoLike(120, 90));
    top->bitmap.addAlphaPlane(160);
    top->x = 30.5;
    top->y = 20;
    top->width = 150; // stretched
    top->height = 100;
    top->blendOperation = BlendOperation::Screen;
    st.add(std::move(top));
    auto shape = std::make_unique<ShapeLayer>();
    shape->x = 60, shape->y = 50, shape->width = 80, shape->height = 60;
    shape->shape = ShapeKind::Ellipse;
    shape->fillColor = colorRef(20, 200, 90);
    shape->fillOpacity = 0.7;
    st.add(std::move(shape));

    const Rect part { 40, 60, 100, 80 };
    const Bitmap full = compositeAll(st);
    const Bitmap expected = resample(crop(full, part), 50, 40, ResampleFilter::Bilinear);
    const Bitmap got = composite(st, part, 0.5);
    ASSERT_EQ(got.width(), 50);
    ASSERT_EQ(got.height(), 40);
    Bitmap gotRgb = got, expRgb = expected;
    gotRgb.removeAlphaPlane();
    expRgb.removeAlphaPlane();
    EXPECT_GT(psnr(gotRgb, expRgb), 28.0);
}

TEST(Compositor, SoftShadowInnerGlowAndFeathering) {
    const Rgb white { 255, 255, 255 };
    LayerStack st = lt::stackOn(60, 60, white);
    st.add(lt::solid(20, 20, { 0, 0, 255 }, 255, 20, 20));
    Layer& l = st.layer(1);
    l.softShadow = { true, 2, 8, 8, 100, { 0, 0, 0 } };
    Bitmap out = compositeAll(st);
    EXPECT_LT(lt::rgbAt(out, 44, 44).r, 100); // under the offset shadow
    EXPECT_EQ(lt::rgbAt(out, 16, 16), white); // the shadow is only down and right
    EXPECT_EQ(lt::rgbAt(out, 30, 30), (Rgb { 0, 0, 255 }));

    l.softShadow.enabled = false;
    l.innerGlow = { true, 4, 0, 0, 100, { 255, 255, 0 } };
    out = compositeAll(st);
    EXPECT_GT(lt::rgbAt(out, 20, 30).r, 100); // the edge glows
    EXPECT_EQ(lt::rgbAt(out, 30, 30), (Rgb { 0, 0, 255 })); // the middle does not

    l.innerGlow.enabled = false;
    l.alphaEdgeFeathering = 6;
    out = compositeAll(st);
    EXPECT_GT(lt::rgbAt(out, 20, 30).r, 150); // the edge fades to the white below
    EXPECT_EQ(lt::rgbAt(out, 30, 30), (Rgb { 0, 0, 255 }));
}

TEST(Compositor, MergeAllEqualsTheCompositeAndMergeSelectedKeepsTheRest) {
    LayerStack st;
    st.add(std::make_unique<ImageLayer>(photoLike(64, 48)));
    st.add(lt::solid(20, 20, { 250, 10, 10 }, 200, 5, 5));
    auto shape = std::make_unique<ShapeLayer>();
    shape->x = 30, shape->y = 10, shape->width = 25, shape->height = 30;
    shape->rotation = 30;
    st.add(std::move(shape));
    st.add(lt::solid(8, 8, { 0, 0, 250 }, 255, 50, 30));
    st.layer(3).blendOperation = BlendOperation::Mul;

    // Merged layers keep their look when they blend normally (other blends need the backdrop).
    const Bitmap expected = compositeAll(st);
    LayerStack merged = st;
    mergeLayers(merged, { 1, 2 });
    ASSERT_EQ(merged.count(), 3);
    EXPECT_EQ(merged.layer(1).kind(), LayerKind::Image);
    EXPECT_GT(psnr(compositeAll(merged), expected), 40.0);

    mergeAll(st);
    ASSERT_EQ(st.count(), 1);
    EXPECT_TRUE(static_cast<const ImageLayer&>(st.layer(0)).bitmap.samePixels(expected));
}

TEST(Compositor, ConvertingAVectorLayerKeepsItsLook) {
    LayerStack st = lt::stackOn(50, 50, { 255, 255, 255 });
    auto shape = std::make_unique<ShapeLayer>();
    shape->x = 10, shape->y = 5, shape->width = 30, shape->height = 40;
    shape->shape = ShapeKind::Heart;
    shape->fillColor = colorRef(200, 0, 100);
    shape->rotation = 15;
    st.add(std::move(shape));
    const Bitmap before = compositeAll(st);
    convertToImageLayer(st, 1);
    ASSERT_EQ(st.layer(1).kind(), LayerKind::Image);
    EXPECT_EQ(st.layer(1).rotation, 15);
    EXPECT_GT(psnr(compositeAll(st), before), 30.0);
}

TEST(Compositor, RejectsInvalidRequests) {
    LayerStack st = lt::stackOn(4, 4, {});
    EXPECT_THROW(composite(st, 0, 0, 0, 4, 4, 4), Error);
    EXPECT_THROW(composite(st, 0, 0, 4, 4, 0, 4), Error);
    EXPECT_THROW(composite(st, 0, 0, 4, 4, 300000, 4), Error);
    EXPECT_THROW(compositeAll(LayerStack {}), Error);
    EXPECT_THROW(mergeLayers(st, { 7 }), Error);
}
