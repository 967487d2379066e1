// Small builders shared by the layer tests: solid image layers, stacks and pixel probes.
#pragma once

#include "imaging/Bitmap.h"
#include "layers/ImageLayer.h"
#include "layers/LayerStack.h"

#include <QGuiApplication>
#include <memory>

namespace lt {

/// A QGuiApplication for the font database (text rendering), created once.
inline void ensureGuiApp() {
    static int argc = 1;
    static char name[] = "test_engine";
    static char* argv[] = { name, nullptr };
    if (!QGuiApplication::instance()) static QGuiApplication app(argc, argv);
}

/// An image layer of one colour (alpha plane with `alpha` when below 255) at (x, y).
inline std::unique_ptr<ie::ImageLayer> solid(
    int w, int h, ie::Rgb c, int alpha = 255, double x = 0, double y = 0) {
    ie::Bitmap b(w, h, ie::PixelFormat::Rgb24);
    if (alpha < 255) b.addAlphaPlane();
    b.fill({ c.r, c.g, c.b, std::uint8_t(alpha) });
    auto l = std::make_unique<ie::ImageLayer>(std::move(b));
    l->x = x;
    l->y = y;
    return l;
}

/// A stack whose background is a `w` x `h` layer of colour `c` (alpha as for solid()).
inline ie::LayerStack stackOn(int w, int h, ie::Rgb c, int alpha = 255) {
    ie::LayerStack s;
    s.add(solid(w, h, c, alpha));
    return s;
}

inline ie::Rgb rgbAt(const ie::Bitmap& b, int x, int y) {
    const std::uint8_t* p = b.scanline(y) + x * 3;
    return { p[0], p[1], p[2] };
}

inline int alphaAt(const ie::Bitmap& b, int x, int y) {
    return b.hasAlphaPlane() ? b.alphaLine(y)[x] : 255;
}

} // namespace lt
