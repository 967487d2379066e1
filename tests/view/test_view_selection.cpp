// The selection tools in each combining mode, the selection grips and the undo steps.
#include "ViewFixture.h"

#include "view/SelectionInteraction.h"

#include <QTest>

namespace vst::test {

namespace {

int selectedCount(const ie::Selection& s) {
    int n = 0;
    for (int y = 0; y < s.height(); ++y)
        for (int x = 0; x < s.width(); ++x)
            n += s.at(x, y) >= 128;
    return n;
}

} // namespace

class ViewSelection : public ViewFixture {
protected:
    void use(ie::SelectionTool tool) {
        view->setInteraction(std::make_unique<ie::SelectionInteraction>(tool));
    }
    // The rectangle 100..200 x 100..200, then the given tool over 150..250 x 150..250 in `mode`.
    void twoShapes(ie::SelectionTool tool, Qt::KeyboardModifiers mods) {
        use(ie::SelectionTool::Rectangle);
        drag(QPointF(100, 100), QPointF(200, 200));
        use(tool);
        const QPointF a(150, 150), b(250, 250);
        switch (tool) {
        case ie::SelectionTool::Polygon:
            for (QPointF p : { a, QPointF(250, 150), b, QPointF(150, 250) }) {
                press(p.x(), p.y(), mods);
                release(p.x(), p.y(), mods);
            }
            press(a.x(), a.y(), mods); // on the first corner: closes
            release(a.x(), a.y(), mods);
            break;
        case ie::SelectionTool::Lasso:
            press(a.x(), a.y(), mods);
            for (QPointF p : { QPointF(250, 150), b, QPointF(150, 250) })
                move(p.x(), p.y(), mods);
            release(a.x(), a.y(), mods);
            break;
        default:
            drag(a, b, mods);
            break;
        }
    }
};

struct ModeCase {
    Qt::KeyboardModifiers mods;
    bool inFirstOnly, inSecondOnly, inBoth;
};

class ViewSelectionModes
    : public ViewSelection,
      public ::testing::WithParamInterface<std::tuple<ie::SelectionTool, ModeCase>> { };

TEST_P(ViewSelectionModes, EachToolCombinesInEachMode) {
    const auto [tool, c] = GetParam();
    twoShapes(tool, c.mods);
    const ie::Selection& s = doc->selection();
    // (200, 200) is inside the ellipse inscribed in 150..250 as well as in the square.
    EXPECT_EQ(s.at(120, 120) >= 128, c.inFirstOnly);
    EXPECT_EQ(s.at(230, 230) >= 128, c.inSecondOnly);
    EXPECT_EQ(s.at(180, 180) >= 128, c.inBoth);
    EXPECT_EQ(doc->undoStack().undoCount(), 2);
    EXPECT_EQ(doc->undoStack().undoCaption(1), "Selection");
}

INSTANTIATE_TEST_SUITE_P(ToolsAndModes, ViewSelectionModes,
    ::testing::Combine(::testing::Values(ie::SelectionTool::Rectangle, ie::SelectionTool::Ellipse,
                           ie::SelectionTool::Polygon, ie::SelectionTool::Lasso),
        ::testing::Values(ModeCase { Qt::NoModifier, false, true, true },
            ModeCase { Qt::ShiftModifier, true, true, true },
            ModeCase { Qt::AltModifier, true, false, false },
            ModeCase { Qt::ControlModifier, true, false, false },
            ModeCase { Qt::ShiftModifier | Qt::AltModifier, false, false, true })));

TEST_F(ViewSelection, MagicWandTakesTheColourBlockInEachMode) {
    // Layer 1 is a flat red block 50..150 x 40..120 over the photo; the wand samples the canvas.
    doc->layers().setCurrentIndex(1);
    use(ie::SelectionTool::MagicWand);
    view->setMagicWandTolerance(5);
    press(60, 50);
    release(60, 50);
    EXPECT_EQ(doc->selection().bounds(), (ie::Rect { 50, 40, 100, 80 }));
    EXPECT_EQ(selectedCount(doc->selection()), 100 * 80);
    // Ctrl-click on the same block removes it.
    press(60, 50, Qt::ControlModifier);
    release(60, 50, Qt::ControlModifier);
    EXPECT_TRUE(doc->selection().isEmpty());
    // Shift adds to a rectangle elsewhere.
    use(ie::SelectionTool::Rectangle);
    drag(QPointF(300, 200), QPointF(320, 220));
    use(ie::SelectionTool::MagicWand);
    press(60, 50, Qt::ShiftModifier);
    release(60, 50, Qt::ShiftModifier);
    EXPECT_EQ(selectedCount(doc->selection()), 100 * 80 + 20 * 20);
}

TEST_F(ViewSelection, ClickWithoutDragClearsAndEscDropsAnOpenPolygon) {
    use(ie::SelectionTool::Rectangle);
    drag(QPointF(10, 10), QPointF(60, 60));
    ASSERT_FALSE(doc->selection().isEmpty());
    press(300, 200);
    release(300, 200);
    EXPECT_TRUE(doc->selection().isEmpty());
    use(ie::SelectionTool::Polygon);
    for (QPointF p : { QPointF(10, 10), QPointF(100, 10), QPointF(100, 100) }) {
        press(p.x(), p.y());
        release(p.x(), p.y());
    }
    QTest::keyClick(view.get(), Qt::Key_Escape);
    QTest::keyClick(view.get(), Qt::Key_Return);
    EXPECT_TRUE(doc->selection().isEmpty());
    for (QPointF p : { QPointF(10, 10), QPointF(100, 10), QPointF(100, 100) }) {
        press(p.x(), p.y());
        release(p.x(), p.y());
    }
    QTest::keyClick(view.get(), Qt::Key_Return);
    EXPECT_GT(doc->selection().at(80, 30), 128);
    EXPECT_EQ(doc->selection().at(30, 80), 0);
}

TEST_F(ViewSelection, GripsResizeARectangularSelection) {
    use(ie::SelectionTool::Rectangle);
    drag(QPointF(100, 100), QPointF(200, 160));
    ASSERT_EQ(doc->selection().bounds(), (ie::Rect { 100, 100, 100, 60 }));
    drag(QPointF(200, 160), QPointF(240, 180)); // bottom-right corner grip
    EXPECT_EQ(doc->selection().bounds(), (ie::Rect { 100, 100, 140, 80 }));
    drag(QPointF(100, 140), QPointF(80, 300)); // left side grip: only x changes
    EXPECT_EQ(doc->selection().bounds(), (ie::Rect { 80, 100, 160, 80 }));
    EXPECT_EQ(doc->undoStack().undoCount(), 3);
}

TEST_F(ViewSelection, SelectionChangeIsSignalledAndOutlineAnimates) {
    int changes = 0;
    QObject::connect(view.get(), &ie::ImageView::selectionChanged, [&] { ++changes; });
    use(ie::SelectionTool::Ellipse);
    drag(QPointF(100, 100), QPointF(200, 200));
    EXPECT_EQ(changes, 1);
    const int phase = view->marchingAntsPhase();
    QTest::qWait(400);
    EXPECT_NE(view->marchingAntsPhase(), phase);
}

} // namespace vst::test
