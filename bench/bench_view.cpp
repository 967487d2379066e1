// View benchmarks: repaint of a 1920 x 1080 view after a 100-pixel pan on a 100-MP layered image
// at fit, 25 % and 100 %; a loaded 24-MP document to its first painted frame; reduced-level
// memory against the layers' own.
#include "BenchImages.h"

#include "document/Document.h"
#include "layers/ImageLayer.h"
#include "view/ImageView.h"

#include <QApplication>
#include <QThread>
#include <QWindow>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <memory>

namespace {

// 100 MP background (12248 x 8165) with two image layers on top, one of them half transparent.
ie::Document& layered100mp() {
    static std::unique_ptr<ie::Document> doc = [] {
        auto d = std::make_unique<ie::Document>(vst::bench::photoLike(12248, 8165));
        auto a = std::make_unique<ie::ImageLayer>(vst::bench::photoLike(3000, 2000));
        a->x = 2000, a->y = 1500;
        d->layers().add(std::move(a));
        ie::Bitmap b = vst::bench::photoLike(2500, 2500);
        b.addAlphaPlane(160);
        auto l = std::make_unique<ie::ImageLayer>(b);
        l->x = 7000, l->y = 4000, l->opacity = 0.8;
        d->layers().add(std::move(l));
        return d;
    }();
    return *doc;
}

// Lets the window system expose a newly shown widget, so that repaint() paints at once.
void showExposed(QWidget& w) {
    w.show();
    for (int i = 0; i < 200 && !(w.windowHandle() && w.windowHandle()->isExposed()); ++i) {
        QCoreApplication::processEvents();
        QThread::msleep(2);
    }
    QCoreApplication::processEvents();
}

std::size_t layerBytes(const ie::Document& doc) {
    std::size_t bytes = 0;
    for (const auto& l : doc.layers().layers())
        if (l->kind() == ie::LayerKind::Image)
            bytes += static_cast<const ie::ImageLayer&>(*l).bitmap.memoryBytes();
    return bytes;
}

// zoom 0 means fit.
void BM_PanRepaint100MP(benchmark::State& state) {
    ie::Document& doc = layered100mp();
    ie::ImageView view;
    view.resize(1920 + 20, 1080 + 20); // the viewport, inside the scroll bars, is about 1920 x 1080
    view.setDocument(&doc);
    showExposed(view);
    if (state.range(0) == 0)
        view.fit();
    else
        view.setZoom(double(state.range(0)));
    view.scrollBy(2000, 2000); // somewhere in the middle when the image overflows
    view.viewport()->repaint();
    int direction = 1;
    for (auto _ : state) {
        view.scrollBy(100 * direction, 0);
        view.viewport()->repaint();
        direction = -direction;
    }
    state.counters["level"] = view.renderer().lastLevel();
    state.counters["zoom%"] = view.zoom();
    state.counters["levels/layers"]
        = double(view.renderer().levels().memoryBytes()) / double(layerBytes(doc));
}
BENCHMARK(BM_PanRepaint100MP)
    ->Arg(0)
    ->Arg(25)
    ->Arg(100)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

void BM_FirstFrame24MP(benchmark::State& state) {
    for (auto _ : state) {
        // A fresh copy of the pixels each time, as a load gives: no levels exist yet.
        state.PauseTiming();
        ie::Document loaded(vst::bench::photoLike(6000, 4000));
        auto view = std::make_unique<ie::ImageView>();
        view->resize(1940, 1100);
        showExposed(*view);
        state.ResumeTiming();
        view->setDocument(&loaded);
        view->fit();
        view->viewport()->repaint();
        state.PauseTiming();
        view.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_FirstFrame24MP)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

} // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
