// Vector layers draw inside their box only, whatever their kind, shape or options.
#include "LayerTestSupport.h"
#include "layers/AngleLayer.h"
#include "layers/Compositor.h"
#include "layers/LineLayer.h"
#include "layers/PolylineLayer.h"
#include "layers/ShapeLayer.h"
#include "layers/TextLayer.h"

#include <functional>
#include <gtest/gtest.h>

using namespace ie;

namespace {

constexpr int kBoxX = 20, kBoxY = 30, kBoxW = 60, kBoxH = 40;

void place(Layer& l) {
    l.x = kBoxX;
    l.y = kBoxY;
    l.width = kBoxW;
    l.height = kBoxH;
}

struct Coverage {
    int inside = 0, outside = 0;
};

// Composites the layer alone over a transparent 100 x 100 canvas and counts covered pixels.
Coverage coverageOf(std::unique_ptr<Layer> layer) {
    LayerStack s = lt::stackOn(100, 100, { 0, 0, 0 }, 0);
    s.add(std::move(layer));
    const Bitmap out = compositeAll(s);
    Coverage c;
    for (int y = 0; y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x) {
            if (lt::alphaAt(out, x, y) == 0) continue;
            const bool in = x >= kBoxX && x < kBoxX + kBoxW && y >= kBoxY && y < kBoxY + kBoxH;
            (in ? c.inside : c.outside)++;
        }
    return c;
}

std::unique_ptr<Layer> shape(ShapeKind k) {
    auto l = std::make_unique<ShapeLayer>();
    place(*l);
    l->shape = k;
    l->borderWidth = 3;
    l->fillColor = colorRef(200, 40, 40);
    return l;
}

} // namespace

TEST(VectorLayers, EveryShapeDrawsInsideItsBoxOnly) {
    for (int k = 0; k < kShapeKindCount; ++k) {
        const Coverage c = coverageOf(shape(static_cast<ShapeKind>(k)));
        EXPECT_GT(c.inside, 100) << shapeKindName(static_cast<ShapeKind>(k));
        EXPECT_EQ(c.outside, 0) << shapeKindName(static_cast<ShapeKind>(k));
    }
}

TEST(VectorLayers, EveryKindAndStyleDrawsInsideItsBoxOnly) {
    lt::ensureGuiApp();
    const std::vector<std::pair<const char*, std::function<std::unique_ptr<Layer>()>>> cases = {
        { "gradient shape, no border",
            [] {
                auto l = shape(ShapeKind::Star5);
                l->borderWidth = 0;
                l->fillColor2 = colorRef(0, 0, 255);
                l->fillGradient = GradientKind::BottomRight;
                return l;
            } },
        { "curved dashed line with arrows and label",
            [] {
                auto l = std::make_unique<LineLayer>();
                place(*l);
                l->lineWidth = 4;
                l->lineStyle = LineStyle::DashDot;
                l->startShape = LineEnd::Circle;
                l->endShape = LineEnd::Arrow;
                l->endShapeSize = 12;
                l->curve = 2;
                l->labelText = "label";
                l->labelFont.height = -12;
                l->lineFillColor = colorRef(255, 255, 0);
                return l;
            } },
        { "every line end",
            [] {
                auto l = std::make_unique<LineLayer>();
                place(*l);
                l->startShape = LineEnd::Diamond;
                l->endShape = LineEnd::ReverseArrow;
                l->startY = l->endY = 0.5;
                return l;
            } },
        { "closed filled polyline with gradient",
            [] {
                auto l = std::make_unique<PolylineLayer>();
                place(*l);
                l->points = { { 0, 1 }, { 0.5, 0 }, { 1, 1 } };
                l->closed = true;
                l->borderWidth = 5;
                l->fillColor2 = colorRef(0, 255, 0);
                l->fillGradient = GradientKind::Vertical;
                return l;
            } },
        { "open path",
            [] {
                auto l = std::make_unique<PolylineLayer>();
                place(*l);
                l->points = { { 0, 0 }, { 1, 0.5 }, { 0, 1 } };
                l->isPath = true;
                l->lineStyle = LineStyle::WideDash;
                l->borderColor = colorRef(255, 255, 255);
                return l;
            } },
        { "headline with border and gradient",
            [] {
                auto l = std::make_unique<TextLayer>();
                place(*l);
                l->text = "Headline text that wraps";
                l->font.height = -20;
                l->font.style = kFontBold;
                l->textBorderWidth = 2;
                l->textFillColor2 = colorRef(0, 128, 0);
                l->textFillGradient = GradientKind::Horizontal;
                l->alignment = TextAlign::Center;
                l->layout = TextLayout::Center;
                return l;
            } },
        { "formatted text with spacing and alignment",
            [] {
                auto l = std::make_unique<TextLayer>();
                place(*l);
                l->formattingEnabled = true;
                l->richText = "<p align=right style=\"line-height:200%\">Right aligned <b>bold</b> "
                              "words that need wrapping over several lines</p>";
                l->font.height = -11;
                return l;
            } },
        { "angle",
            [] {
                auto l = std::make_unique<AngleLayer>();
                place(*l);
                l->borderWidth = 2;
                l->font.height = -10;
                return l;
            } },
    };
    for (const auto& [name, make] : cases) {
        const Coverage c = coverageOf(make());
        EXPECT_GT(c.inside, 30) << name;
        EXPECT_EQ(c.outside, 0) << name;
    }
}

TEST(VectorLayers, HeadlineWrapsIntoMoreLinesInANarrowBox) {
    lt::ensureGuiApp();
    auto rowsCovered = [](double width) {
        TextLayer t;
        t.text = "one two three four five six";
        t.font.height = -14;
        t.width = width;
        t.height = 200;
        const QImage img = t.rendered(int(width), 200);
        int rows = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if (qAlpha(img.pixel(x, y)) > 0) {
                    ++rows;
                    break;
                }
        return rows;
    };
    EXPECT_GT(rowsCovered(60), 2 * rowsCovered(400));
}
