// Saves a picture of a layered image with grips, a rotated layer and a selection, for a person
// to look at (set VST_VIEW_SNAPSHOT to the PNG path; skipped otherwise).
#include "ViewFixture.h"

#include "layers/ImageLayer.h"
#include "view/LayerInteraction.h"
#include "view/SelectionInteraction.h"

#include <QTest>
#include <cstdlib>

namespace vst::test {

using ViewSnapshot = ViewFixture;

TEST_F(ViewSnapshot, LayeredImageWithGripsAndSelection) {
    const char* path = std::getenv("VST_VIEW_SNAPSHOT");
    if (!path) GTEST_SKIP() << "set VST_VIEW_SNAPSHOT to write the picture";
    ie::Bitmap glass(120, 90, ie::PixelFormat::Rgb24);
    glass.fill({ 40, 160, 220, 255 });
    glass.addAlphaPlane(150);
    auto l = std::make_unique<ie::ImageLayer>(glass);
    l->x = 230, l->y = 150, l->rotation = 20;
    doc->layers().add(std::move(l));
    view->setShowRulers(true);
    view->setRulerUnits(0);
    view->setZoom(130);
    view->setInteraction(std::make_unique<ie::SelectionInteraction>(ie::SelectionTool::Ellipse));
    drag(QPointF(20, 150), QPointF(170, 280));
    view->setInteraction(std::make_unique<ie::LayerInteraction>());
    press(100, 80);
    release(100, 80);
    QTest::qWait(300);
    ASSERT_TRUE(view->grab().save(QString::fromUtf8(path)));
}

} // namespace vst::test
