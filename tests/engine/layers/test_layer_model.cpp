// The layer model: deep copies, the stack's bookkeeping, colour values and the render cache.
#include "LayerTestSupport.h"
#include "imaging/Error.h"
#include "layers/ColorRef.h"
#include "layers/PolylineLayer.h"
#include "layers/ShapeLayer.h"

#include <gtest/gtest.h>

using namespace ie;

TEST(LayerModel, ColorRefRoundTripsAndNoColorIsNotAColor) {
    EXPECT_EQ(colorRef(Rgb { 0x12, 0x34, 0x56 }), 0x00563412);
    EXPECT_EQ(rgbOf(0x00563412), (Rgb { 0x12, 0x34, 0x56 }));
    EXPECT_TRUE(isColor(0x00FFFFFF));
    EXPECT_FALSE(isColor(kNoColor));
}

TEST(LayerModel, CloneIsDeepAndKeepsTheIdentifier) {
    auto img = lt::solid(4, 4, { 10, 20, 30 });
    img->name = "photo";
    auto copy = img->clone();
    auto& ci = static_cast<ImageLayer&>(*copy);
    EXPECT_EQ(ci.id, img->id);
    EXPECT_FALSE(ci.id.isNull());
    ci.bitmap.setPixel(0, 0, { 255, 255, 255, 255 });
    ci.name = "changed";
    EXPECT_EQ(img->bitmap.pixel(0, 0), (Rgba { 10, 20, 30, 255 }));
    EXPECT_EQ(img->name, "photo");

    PolylineLayer poly;
    poly.points = { { 0, 0 }, { 1, 1 } };
    auto pc = poly.clone();
    static_cast<PolylineLayer&>(*pc).points.push_back({ 0.5, 0 });
    EXPECT_EQ(poly.points.size(), 2u);
    EXPECT_NE(Guid::generate(), Guid::generate());
}

TEST(LayerModel, StackCopyIsDeepAndCurrentFollowsEdits) {
    LayerStack s = lt::stackOn(30, 20, { 0, 0, 0 });
    s.add(std::make_unique<ShapeLayer>());
    s.add(std::make_unique<PolylineLayer>());
    s.setCurrentIndex(2);
    EXPECT_EQ(s.canvasWidth(), 30);
    EXPECT_EQ(s.canvasHeight(), 20);

    LayerStack copy = s;
    ASSERT_EQ(copy.count(), 3);
    EXPECT_NE(&copy.layer(1), &s.layer(1));
    EXPECT_EQ(copy.layer(1).id, s.layer(1).id);
    EXPECT_EQ(copy.currentIndex(), 2);

    const Layer* cur = s.current();
    s.move(2, 1);
    EXPECT_EQ(s.current(), cur);
    EXPECT_EQ(s.currentIndex(), 1);
    s.insert(0, lt::solid(1, 1, {}));
    EXPECT_EQ(s.current(), cur);
    s.remove(s.currentIndex());
    EXPECT_EQ(s.currentIndex(), 1);
    EXPECT_EQ(s.indexOf(copy.layer(1).id), 2);
    EXPECT_THROW(s.layer(3), Error);
    EXPECT_THROW(s.insert(9, lt::solid(1, 1, {})), Error);
}

TEST(LayerModel, VectorCacheRedrawsOnlyWhenTheLookChanges) {
    ShapeLayer shape;
    shape.width = 40;
    shape.height = 30;
    shape.rendered(40, 30);
    const auto v = shape.renderVersion();
    shape.x = 100; // placement, opacity and selection are the compositor's
    shape.opacity = 0.3;
    shape.selected = true;
    shape.rendered(40, 30);
    EXPECT_EQ(shape.renderVersion(), v);
    shape.fillColor = colorRef(255, 0, 0);
    shape.rendered(40, 30);
    EXPECT_EQ(shape.renderVersion(), v + 1);
    shape.shape = ShapeKind::Heart;
    shape.rendered(40, 30);
    shape.rendered(80, 60); // another size
    EXPECT_EQ(shape.renderVersion(), v + 3);
}
