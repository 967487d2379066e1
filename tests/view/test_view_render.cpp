// Reduced levels, the frame reused on pans, the chessboard, and what the view paints.
#include "ViewFixture.h"

#include "layers/ImageLayer.h"
#include "support/TestImages.h"
#include "view/FrameRenderer.h"
#include "view/ReducedLevels.h"

#include <QTest>

namespace vst::test {

TEST(ViewLevels, HalvingAveragesBlocksWeightedByAlpha) {
    ie::Bitmap b(3, 2, ie::PixelFormat::Rgb24);
    b.addAlphaPlane(255);
    b.setPixel(0, 0, { 100, 0, 0, 255 });
    b.setPixel(1, 0, { 200, 0, 0, 255 });
    b.setPixel(0, 1, { 0, 0, 250, 0 }); // transparent: its colour must not leak
    b.setPixel(1, 1, { 0, 0, 250, 0 });
    b.setPixel(2, 0, { 10, 20, 30, 255 });
    b.setPixel(2, 1, { 10, 20, 30, 255 });
    const ie::Bitmap h = ie::halve(b);
    ASSERT_EQ(h.width(), 2);
    ASSERT_EQ(h.height(), 1);
    const ie::Rgba p = h.pixel(0, 0);
    EXPECT_EQ(p.r, 150);
    EXPECT_EQ(p.b, 0);
    EXPECT_EQ(p.a, 128);
    EXPECT_EQ(h.pixel(1, 0).g, 20) << "the odd column pairs with itself";
}

TEST(ViewLevels, LevelsCostAtMostAThirdAndFollowEdits) {
    const ie::Bitmap photo = photoLike(3000, 2000);
    ie::ReducedLevels levels;
    levels.build(photo);
    ASSERT_GE(levels.count(), 2);
    EXPECT_LE(levels.memoryBytes() * 3, photo.memoryBytes());
    EXPECT_EQ(levels.level(1).width(), 750);
    EXPECT_EQ(levels.level(2).width(), 375);

    ie::Document doc(photo);
    ie::FrameRenderer r;
    r.render(doc.layers(), 0.2, QRect(0, 0, 600, 400), 1);
    EXPECT_EQ(r.lastLevel(), 1) << "a quarter-size level serves 20 %";
    // Paint a white block into the layer: the levels follow it without a full rebuild.
    auto& bmp = static_cast<ie::ImageLayer&>(doc.layers().layer(0)).bitmap;
    bmp.fillRect({ 0, 0, 400, 203 }, { 255, 255, 255, 255 });
    r.render(doc.layers(), 0.2, QRect(0, 0, 600, 400), 2);
    EXPECT_EQ(QColor(r.frame().pixel(10, 10)), QColor(Qt::white));
    ie::ReducedLevels fresh;
    fresh.build(bmp);
    ie::LevelCache& cache = r.levels();
    ie::LayerStack shown = cache.standIn(doc.layers(), 1);
    const auto& level1 = static_cast<const ie::ImageLayer&>(shown.layer(0)).bitmap;
    EXPECT_TRUE(level1.samePixels(fresh.level(1)));
}

TEST(ViewFrame, APanRendersOnlyTheUncoveredPartAndMatchesAFreshRender) {
    ie::Document doc(withAlpha(photoLike(900, 700)));
    for (double zoom : { 0.3, 1.0, 2.5 }) {
        ie::FrameRenderer panned, fresh;
        panned.render(doc.layers(), zoom, QRect(10, 20, 300, 200), 1);
        panned.render(doc.layers(), zoom, QRect(110, 60, 300, 200), 1);
        fresh.render(doc.layers(), zoom, QRect(110, 60, 300, 200), 1);
        EXPECT_EQ(panned.frame(), fresh.frame()) << zoom;
    }
}

TEST(ViewFrame, TransparencyShowsTheChessboard) {
    ie::Bitmap clear(64, 64, ie::PixelFormat::Rgba32);
    clear.fill({ 0, 0, 0, 0 });
    ie::Document doc(clear);
    ie::FrameRenderer r;
    r.render(doc.layers(), 1, QRect(0, 0, 64, 64), 1);
    const int cell = ie::FrameRenderer::kChessCell;
    EXPECT_EQ(qRed(r.frame().pixel(1, 1)), 255);
    EXPECT_EQ(qRed(r.frame().pixel(cell + 1, 1)), 204);
    EXPECT_EQ(qRed(r.frame().pixel(cell + 1, cell + 1)), 255);
}

TEST(ViewFrame, TheZoomFilterRedrawsCloseToThePlainFrame) {
    ie::Document doc(photoLike(1200, 900));
    ie::FrameRenderer r;
    r.render(doc.layers(), 0.37, QRect(0, 0, 400, 300), 1);
    const QImage plain = r.frame();
    EXPECT_FALSE(r.refine(doc.layers(), 0)) << "filter None draws plain";
    ASSERT_TRUE(r.refine(doc.layers(), int(ie::ResampleFilter::Lanczos3)));
    EXPECT_TRUE(r.isRefined());
    EXPECT_NE(plain, r.frame());
    double err = 0;
    for (int y = 10; y < 290; y += 7)
        for (int x = 10; x < 390; x += 7)
            err += std::abs(qGreen(plain.pixel(x, y)) - qGreen(r.frame().pixel(x, y)));
    EXPECT_LT(err / (40.0 * 54), 12);
}

using ViewPaint = ViewFixture;

TEST_F(ViewPaint, PaintsTheCompositeCentredOnTheBackgroundColour) {
    view->setBackgroundColor(QColor(10, 20, 30));
    const QImage shot = view->viewport()->grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(2, 2)), QColor(10, 20, 30));
    const QPoint red = at(100, 80);
    EXPECT_EQ(QColor(shot.pixel(red)), QColor(200, 30, 30));
    int changed = 0;
    QObject::connect(view.get(), &ie::ImageView::imageChanged, [&] { ++changed; });
    layer(1).visible = false;
    view->update();
    EXPECT_EQ(changed, 1);
    const QImage after = view->viewport()->grab().toImage();
    EXPECT_NE(QColor(after.pixel(red)), QColor(200, 30, 30));
}

} // namespace vst::test

namespace vst::test {

TEST(ViewFirstFrame, ShowsTheDocumentBeforeItsLevelsAndBuildsThemWhenIdle) {
    ie::Document doc(photoLike(1600, 1200));
    ie::ImageView view;
    view.resize(420, 340);
    view.setDocument(&doc);
    view.setZoom(20);
    view.show();
    view.viewport()->grab();
    EXPECT_EQ(view.renderer().lastLevel(), 0) << "the first frame doesn't wait for the levels";
    QTest::qWait(20);
    EXPECT_FALSE(view.renderer().levels().hasPending());
    view.setZoom(21);
    view.viewport()->grab();
    EXPECT_EQ(view.renderer().lastLevel(), 1);
}

} // namespace vst::test
