// Builders shared by the project tests: variants with every layer kind, the GUI application
// text rendering needs.
#pragma once

#include "layers/AngleLayer.h"
#include "layers/ImageLayer.h"
#include "layers/LineLayer.h"
#include "layers/PolylineLayer.h"
#include "layers/ShapeLayer.h"
#include "layers/TextLayer.h"
#include "project/Variant.h"
#include "support/TestImages.h"

#include <QGuiApplication>
#include <memory>

namespace pt {

/// Text layers need the font database, which needs a QGuiApplication.
inline void ensureGuiApp() {
    static int argc = 1;
    static char name[] = "test_project";
    static char* argv[] = { name, nullptr };
    if (!QGuiApplication::instance()) static QGuiApplication app(argc, argv);
}

/// A variant named `name` on a photo-like background of w x h.
inline vst::project::Variant photoVariant(const QString& name, int w, int h, unsigned seed = 1) {
    vst::project::Variant v;
    v.VersionName = name;
    ie::Bitmap bmp = vst::test::photoLike(w, h);
    bmp.setPixel(int(seed % unsigned(w)), 0, { 1, 2, 3, 255 }); // variants differ
    auto bg = std::make_unique<ie::ImageLayer>(std::move(bmp));
    bg->name = "Background";
    v.layers.add(std::move(bg));
    return v;
}

/// Adds one layer of every vector kind, an image layer with its mask (one group) and a path.
inline void addEveryKind(vst::project::Variant& v) {
    ensureGuiApp();
    auto img
        = std::make_unique<ie::ImageLayer>(vst::test::noise(30, 20, ie::PixelFormat::Rgb24, 4));
    img->x = 5;
    img->y = 6;
    img->groupIndex = 1;
    v.layers.add(std::move(img));
    auto mask
        = std::make_unique<ie::ImageLayer>(vst::test::noise(30, 20, ie::PixelFormat::Gray8, 5));
    mask->x = 5;
    mask->y = 6;
    mask->isMask = true;
    mask->groupIndex = 1;
    v.layers.add(std::move(mask));
    auto shape = std::make_unique<ie::ShapeLayer>();
    shape->width = 20;
    shape->height = 10;
    v.layers.add(std::move(shape));
    auto line = std::make_unique<ie::LineLayer>();
    line->width = line->height = 15;
    v.layers.add(std::move(line));
    auto path = std::make_unique<ie::PolylineLayer>();
    path->points = { { 0, 0 }, { 1, 1 } };
    path->isPath = true;
    path->width = path->height = 12;
    v.layers.add(std::move(path));
    auto text = std::make_unique<ie::TextLayer>();
    text->text = "Hi";
    text->width = 40;
    text->height = 20;
    v.layers.add(std::move(text));
    auto angle = std::make_unique<ie::AngleLayer>();
    angle->width = angle->height = 25;
    v.layers.add(std::move(angle));
}

} // namespace pt
