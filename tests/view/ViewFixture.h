// A shown ImageView over a small two-layer document, and helpers to drive it with the mouse.
#pragma once

#include "document/Document.h"
#include "view/ImageView.h"

#include <gtest/gtest.h>
#include <memory>

namespace vst::test {

/// Background 400 x 300 (photo-like), layer 1 an opaque 100 x 80 image at (50, 40); the view is
/// 640 x 480 at 100 %, shown offscreen.
class ViewFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    /// Viewport point of canvas point (x, y).
    QPoint at(double x, double y) const;
    void press(double x, double y, Qt::KeyboardModifiers mods = Qt::NoModifier,
        Qt::MouseButton button = Qt::LeftButton);
    void move(double x, double y, Qt::KeyboardModifiers mods = Qt::NoModifier);
    void release(double x, double y, Qt::KeyboardModifiers mods = Qt::NoModifier,
        Qt::MouseButton button = Qt::LeftButton);
    /// Press at a, move in a few steps, release at b (canvas coordinates).
    void drag(QPointF a, QPointF b, Qt::KeyboardModifiers mods = Qt::NoModifier);
    /// Sends a real-looking wheel event at viewport point `pos`.
    void wheel(QPoint pos, int delta);
    ie::Layer& layer(int i) { return doc->layers().layer(i); }

    std::unique_ptr<ie::Document> doc;
    std::unique_ptr<ie::ImageView> view;
};

} // namespace vst::test
