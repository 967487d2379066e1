// Zoom about the pointer, fit, rulers and units, and the hand and zoom interactions.
#include "ViewFixture.h"

#include "view/NavigationInteractions.h"
#include "view/Ruler.h"

#include <QTest>

namespace vst::test {

using ViewNavigation = ViewFixture;

TEST_F(ViewNavigation, WheelZoomsAboutThePointerKeepingTheImagePointUnderIt) {
    view->setZoom(200); // the canvas overflows the viewport both ways
    for (const QPoint pos : { QPoint(100, 120), QPoint(500, 60), QPoint(320, 400) }) {
        const QPointF before = view->toCanvas(pos);
        const double zoom = view->zoom();
        wheel(pos, 120);
        EXPECT_GT(view->zoom(), zoom) << "rolling forward zooms in";
        const QPointF after = view->toViewport(before);
        EXPECT_NEAR(after.x(), pos.x(), 1.0);
        EXPECT_NEAR(after.y(), pos.y(), 1.0);
        wheel(pos, -120);
        EXPECT_NEAR(view->zoom(), zoom, 1e-9);
    }
}

TEST_F(ViewNavigation, FitShowsTheWholeCanvasAndZoomIsClamped) {
    view->setZoom(800);
    view->fit();
    const QRectF r = view->canvasRectInViewport();
    const QRectF vp(QPointF(0, 0), QSizeF(view->viewport()->size()));
    EXPECT_TRUE(vp.adjusted(-1, -1, 1, 1).contains(r));
    EXPECT_TRUE(std::abs(r.width() - vp.width()) <= 1 || std::abs(r.height() - vp.height()) <= 1);
    view->setZoom(1e9);
    EXPECT_EQ(view->zoom(), ie::ImageView::kMaxZoom);
    view->setZoom(0);
    EXPECT_EQ(view->zoom(), ie::ImageView::kMinZoom);
}

TEST_F(ViewNavigation, ZoomSignalsTellTheDirection) {
    int in = 0, out = 0, changed = 0;
    QObject::connect(view.get(), &ie::ImageView::zoomIn, [&](double) { ++in; });
    QObject::connect(view.get(), &ie::ImageView::zoomOut, [&](double) { ++out; });
    QObject::connect(view.get(), &ie::ImageView::viewChanged, [&] { ++changed; });
    view->setZoom(150);
    view->setZoom(50);
    view->setZoom(50);
    EXPECT_EQ(in, 1);
    EXPECT_EQ(out, 1);
    EXPECT_GE(changed, 2);
}

TEST_F(ViewNavigation, RulersShowAndSwitchUnitAtOnce) {
    doc->dpiX = doc->dpiY = 254; // 100 pixels to the centimetre
    view->setShowRulers(true);
    ASSERT_TRUE(view->horizontalRuler()->isVisible());
    EXPECT_EQ(view->horizontalRuler()->height(), ie::ImageView::kRulerSize);
    EXPECT_EQ(view->verticalRuler()->width(), ie::ImageView::kRulerSize);
    EXPECT_EQ(view->viewport()->geometry().topLeft(), QPoint(27, 27));
    struct Case {
        int unit;
        QString label; // at canvas x = 254
    };
    for (const Case& c :
        { Case { 0, "254" }, Case { 1, "1" }, Case { 2, "2.54" }, Case { 3, "25.4" } }) {
        view->setRulerUnits(c.unit);
        EXPECT_EQ(view->horizontalRuler()->unit(), c.unit);
        EXPECT_EQ(view->verticalRuler()->unit(), c.unit);
        EXPECT_EQ(view->horizontalRuler()->labelAt(254), c.label) << c.unit;
    }
    view->setShowRulers(false);
    EXPECT_FALSE(view->horizontalRuler()->isVisible());
    EXPECT_EQ(view->viewport()->geometry().topLeft(), QPoint(0, 0));
}

TEST_F(ViewNavigation, HandDragsTheImage) {
    view->setZoom(300);
    view->setInteraction(std::make_unique<ie::ScrollInteraction>());
    const QPoint start = view->scrollPosition();
    const QPoint a(300, 200), b(260, 170);
    QTest::mousePress(view->viewport(), Qt::LeftButton, {}, a);
    QMouseEvent m(QEvent::MouseMove, QPointF(b), view->viewport()->mapToGlobal(QPointF(b)),
        Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(view->viewport(), &m);
    QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, b);
    EXPECT_EQ(view->scrollPosition() - start, QPoint(40, 30));
}

TEST_F(ViewNavigation, ZoomToolClicksInAndOutAboutThePointer) {
    view->setZoom(200);
    view->setInteraction(std::make_unique<ie::ZoomInteraction>());
    const QPoint pos(200, 150);
    const QPointF c = view->toCanvas(pos);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, pos);
    EXPECT_EQ(view->zoom(), 300);
    EXPECT_NEAR(view->toViewport(c).x(), pos.x(), 1);
    QTest::mouseClick(view->viewport(), Qt::RightButton, {}, pos);
    EXPECT_EQ(view->zoom(), 200);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::AltModifier, pos);
    EXPECT_EQ(view->zoom(), 150);
}

TEST_F(ViewNavigation, ZoomAreaFillsTheViewWithTheDraggedRectangle) {
    view->setInteraction(std::make_unique<ie::ZoomAreaInteraction>());
    drag(QPointF(100, 100), QPointF(200, 150));
    // 100 x 50 canvas pixels into the viewport: the limiting side decides.
    const QSize v = view->viewport()->size();
    EXPECT_NEAR(view->zoom(), 100 * std::min(v.width() / 100.0, v.height() / 50.0), 1);
    const QPointF centre = view->toViewport(QPointF(150, 125));
    EXPECT_NEAR(centre.x(), v.width() / 2.0, 2);
    EXPECT_NEAR(centre.y(), v.height() / 2.0, 2);
}

} // namespace vst::test
