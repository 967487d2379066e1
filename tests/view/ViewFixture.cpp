#include "ViewFixture.h"

#include "layers/ImageLayer.h"
#include "support/TestImages.h"

#include <QApplication>
#include <QTest>
#include <QWheelEvent>
#include <cstdlib>

namespace vst::test {

namespace {

// One QApplication for the whole binary (the shared test main creates none).
class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "test_view";
        static char* argv[] = { name, nullptr };
        // The snapshot run shows the widgets on a real (virtual) display.
        if (const char* platform = std::getenv("VST_VIEW_PLATFORM"))
            ::setenv("QT_QPA_PLATFORM", platform, 1);
        m_app = std::make_unique<QApplication>(argc, argv);
    }
    void TearDown() override { m_app.reset(); }

private:
    std::unique_ptr<QApplication> m_app;
};

[[maybe_unused]] const auto* const kEnvironment
    = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

} // namespace

void ViewFixture::SetUp() {
    doc = std::make_unique<ie::Document>(photoLike(400, 300));
    ie::Bitmap small(100, 80, ie::PixelFormat::Rgb24);
    small.fill({ 200, 30, 30, 255 });
    auto l = std::make_unique<ie::ImageLayer>(small);
    l->x = 50, l->y = 40;
    doc->layers().add(std::move(l));
    view = std::make_unique<ie::ImageView>();
    view->resize(640, 480);
    view->setDocument(doc.get());
    view->show();
    view->setZoom(100);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view.get()));
}

void ViewFixture::TearDown() {
    view.reset();
    doc.reset();
}

QPoint ViewFixture::at(double x, double y) const {
    return view->toViewport(QPointF(x, y)).toPoint();
}

void ViewFixture::press(double x, double y, Qt::KeyboardModifiers mods, Qt::MouseButton button) {
    QTest::mousePress(view->viewport(), button, mods, at(x, y));
}

void ViewFixture::move(double x, double y, Qt::KeyboardModifiers mods) {
    // QTest::mouseMove carries no buttons; send the event by hand so the drag is seen.
    QMouseEvent e(QEvent::MouseMove, QPointF(at(x, y)), view->viewport()->mapToGlobal(at(x, y)),
        Qt::NoButton, Qt::LeftButton, mods);
    QCoreApplication::sendEvent(view->viewport(), &e);
}

void ViewFixture::release(double x, double y, Qt::KeyboardModifiers mods, Qt::MouseButton button) {
    QTest::mouseRelease(view->viewport(), button, mods, at(x, y));
}

void ViewFixture::drag(QPointF a, QPointF b, Qt::KeyboardModifiers mods) {
    press(a.x(), a.y(), mods);
    for (int k = 1; k <= 4; ++k) {
        const QPointF p = a + (b - a) * (k / 4.0);
        move(p.x(), p.y(), mods);
    }
    release(b.x(), b.y(), mods);
}

void ViewFixture::wheel(QPoint pos, int delta) {
    QWheelEvent e(QPointF(pos), view->viewport()->mapToGlobal(QPointF(pos)), QPoint(),
        QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(view->viewport(), &e);
}

} // namespace vst::test
