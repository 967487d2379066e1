// The layer interaction: select, move, resize under each aspect-ratio mode, snap, rotate, lock,
// nudge, and one undo step per edit.
#include "ViewFixture.h"

#include "layers/ImageLayer.h"
#include "view/LayerGeometry.h"
#include "view/LayerInteraction.h"

#include <QTest>

namespace vst::test {

class ViewLayers : public ViewFixture {
protected:
    void SetUp() override {
        ViewFixture::SetUp();
        view->setInteraction(std::make_unique<ie::LayerInteraction>());
    }
    // Selects layer 1 with a click in its middle.
    void selectLayer1() {
        press(100, 80);
        release(100, 80);
        ASSERT_EQ(doc->layers().currentIndex(), 1);
    }
};

TEST_F(ViewLayers, ClickSelectsTheTopLayerUnderThePointerAndShiftAdds) {
    selectLayer1();
    EXPECT_EQ(doc->selectedLayers(), std::vector<int>({ 1 }));
    press(300, 250, Qt::ShiftModifier);
    release(300, 250, Qt::ShiftModifier);
    EXPECT_EQ(doc->selectedLayers(), std::vector<int>({ 0, 1 }));
    press(300, 250);
    release(300, 250);
    EXPECT_EQ(doc->selectedLayers(), std::vector<int>({ 0, 1 })) << "a selected layer stays";
    press(120, 90);
    release(120, 90);
    EXPECT_EQ(doc->layers().currentIndex(), 1);
    EXPECT_EQ(doc->undoStack().undoCount(), 0) << "selecting is no edit";
}

TEST_F(ViewLayers, DragMovesTheSelectedLayersOnceUndoably) {
    selectLayer1();
    drag(QPointF(100, 80), QPointF(130, 95));
    EXPECT_DOUBLE_EQ(layer(1).x, 80);
    EXPECT_DOUBLE_EQ(layer(1).y, 55);
    EXPECT_DOUBLE_EQ(layer(0).x, 0) << "the background is protected";
    ASSERT_EQ(doc->undoStack().undoCount(), 1);
    EXPECT_EQ(doc->undoStack().undoCaption(0), "Move Layer");
    EXPECT_TRUE(doc->isModified());
    doc->undo();
    EXPECT_DOUBLE_EQ(doc->layers().layer(1).x, 50);
}

TEST_F(ViewLayers, LockedLayersStayPut) {
    selectLayer1();
    layer(1).locked = true;
    drag(QPointF(100, 80), QPointF(150, 120));
    EXPECT_DOUBLE_EQ(layer(1).x, 50);
    EXPECT_DOUBLE_EQ(layer(1).y, 40);
    QTest::keyClick(view->viewport(), Qt::Key_Right);
    EXPECT_DOUBLE_EQ(layer(1).x, 50);
    EXPECT_EQ(doc->undoStack().undoCount(), 0);
}

TEST_F(ViewLayers, ArrowKeysNudgeUnlockedSelectedLayersButNeverTheBackground) {
    ie::Bitmap b(10, 10, ie::PixelFormat::Rgb24);
    auto extra = std::make_unique<ie::ImageLayer>(b);
    extra->x = 300, extra->y = 200, extra->locked = true;
    doc->layers().add(std::move(extra));
    for (int i : { 0, 1, 2 })
        layer(i).selected = true;
    view->setFocus();
    QTest::keyClick(view.get(), Qt::Key_Right);
    QTest::keyClick(view.get(), Qt::Key_Down);
    QTest::keyClick(view.get(), Qt::Key_Down);
    EXPECT_DOUBLE_EQ(layer(1).x, 51);
    EXPECT_DOUBLE_EQ(layer(1).y, 42);
    EXPECT_DOUBLE_EQ(layer(2).x, 300);
    EXPECT_DOUBLE_EQ(layer(0).x, 0);
    EXPECT_EQ(doc->undoStack().undoCount(), 3);
}

// Corner grip bottom-right at (150, 120), side grip right at (150, 80) of the 100 x 80 box.
struct ResizeCase {
    ie::AspectRatioMode mode;
    bool corner;
    Qt::KeyboardModifiers mods;
    bool lockedAspect; // the layer's own flag (mode 4)
    double width, height;
};

class ViewLayerResize : public ViewLayers, public ::testing::WithParamInterface<ResizeCase> { };

TEST_P(ViewLayerResize, GripsResizeUnderTheAspectRatioMode) {
    const ResizeCase c = GetParam();
    view->layerOptions().resizeAspectRatio = c.mode;
    selectLayer1();
    layer(1).aspectRatioLocked = c.lockedAspect;
    if (c.corner)
        drag(QPointF(150, 120), QPointF(250, 140), c.mods); // +100 wide, +20 high
    else
        drag(QPointF(150, 80), QPointF(200, 90), c.mods); // +50 wide
    EXPECT_NEAR(layer(1).width, c.width, 0.5);
    EXPECT_NEAR(layer(1).height, c.height, 0.5);
    EXPECT_NEAR(layer(1).x, 50, 0.5) << "the left edge stays";
    ASSERT_EQ(doc->undoStack().undoCount(), 1);
    EXPECT_EQ(doc->undoStack().undoCaption(0), "Resize Layer");
}

INSTANTIATE_TEST_SUITE_P(Modes, ViewLayerResize,
    ::testing::Values(ResizeCase { ie::AspectRatioMode::Disabled, true, {}, false, 200, 100 },
        ResizeCase { ie::AspectRatioMode::Disabled, false, {}, false, 150, 80 },
        ResizeCase { ie::AspectRatioMode::WithAlt, true, {}, false, 200, 100 },
        ResizeCase { ie::AspectRatioMode::WithAlt, true, Qt::AltModifier, false, 200, 160 },
        ResizeCase { ie::AspectRatioMode::Always, true, {}, false, 200, 160 },
        ResizeCase { ie::AspectRatioMode::Always, false, {}, false, 150, 120 },
        ResizeCase { ie::AspectRatioMode::AlwaysOnCorners, true, {}, false, 200, 160 },
        ResizeCase { ie::AspectRatioMode::AlwaysOnCorners, false, {}, false, 150, 80 },
        ResizeCase { ie::AspectRatioMode::LayerDefaultOnCorners, true, {}, false, 200, 100 },
        ResizeCase { ie::AspectRatioMode::LayerDefaultOnCorners, true, {}, true, 200, 160 }));

TEST_F(ViewLayers, MovingSnapsToTheCanvasAndToOtherLayersOnlyWhenOn) {
    ie::Bitmap b(50, 50, ie::PixelFormat::Rgb24);
    auto other = std::make_unique<ie::ImageLayer>(b);
    other->x = 250, other->y = 150;
    doc->layers().add(std::move(other));
    selectLayer1();
    // Left edge 50 -> 4 is 4 pixels from the canvas edge.
    drag(QPointF(100, 80), QPointF(54, 80));
    EXPECT_DOUBLE_EQ(layer(1).x, 4) << "snapping is off";
    view->layerOptions().snapToPos = true;
    drag(QPointF(60, 80), QPointF(63, 80)); // left edge to 7: snaps to 0
    EXPECT_DOUBLE_EQ(layer(1).x, 0);
    // Right edge (100) to 245: within 10 of the other layer's left edge 250.
    drag(QPointF(60, 80), QPointF(205, 80));
    EXPECT_DOUBLE_EQ(layer(1).x + layer(1).width, 250);
    // Far from everything: no snap.
    view->layerOptions().snapDist = 2;
    drag(QPointF(200, 80), QPointF(180, 80));
    EXPECT_DOUBLE_EQ(layer(1).x, 130);
}

TEST_F(ViewLayers, RotationHandleRotatesAboutTheCentre) {
    selectLayer1();
    // The handle is 25 pixels above the top edge's middle (100, 40); the centre is (100, 80).
    const QPointF handle(100, 40 - ie::LayerInteraction::kRotateHandleDistance);
    drag(handle, QPointF(160, 80)); // from straight up to the right: 90 degrees clockwise
    EXPECT_NEAR(layer(1).rotation, -90, 0.5);
    EXPECT_DOUBLE_EQ(layer(1).x, 50) << "rotation keeps the box";
    ASSERT_EQ(doc->undoStack().undoCount(), 1);
    EXPECT_EQ(doc->undoStack().undoCaption(0), "Rotate Layer");
}

TEST_F(ViewLayers, ResizingARotatedLayerKeepsTheOppositeCorner) {
    selectLayer1();
    layer(1).rotation = 90; // counter-clockwise: the box's top-left corner is at bottom-left
    view->updateOverlays();
    const QPolygonF before = ie::layerOutline(layer(1));
    const QPointF bottomRight = before[2];
    const QPointF topLeft = before[0];
    drag(bottomRight, bottomRight + QPointF(20, 0));
    const QPolygonF after = ie::layerOutline(layer(1));
    EXPECT_NEAR(after[0].x(), topLeft.x(), 0.5);
    EXPECT_NEAR(after[0].y(), topLeft.y(), 0.5);
}

} // namespace vst::test
