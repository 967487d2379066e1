// Memory that undo keeps for small edits of a 100-megapixel layer: region steps against whole
// copy-on-write snapshots.
#include "document/Document.h"
#include "layers/ImageLayer.h"

#include <benchmark/benchmark.h>
#include <set>

namespace {

// Pixel memory the undo steps hold beyond the live image: every strip buffer a step keeps that
// the document no longer uses, counted once. Takes the steps off the stack.
std::size_t keptBytes(ie::Document& doc) {
    const ie::Plane& live
        = static_cast<const ie::ImageLayer&>(doc.layers().layer(0)).bitmap.colorPlane();
    std::set<const std::uint8_t*> liveStrips, kept;
    for (int s = 0; s < live.stripCount(); ++s)
        liveStrips.insert(live.row(s * live.stripRows()));
    std::size_t bytes = 0;
    while (doc.undoStack().undoCount() > 0) {
        const ie::UndoState step = doc.undoStack().popUndo();
        bytes += step.privateBytes();
        if (!step.layers) continue;
        const ie::Plane& p
            = static_cast<const ie::ImageLayer&>(step.layers->layer(0)).bitmap.colorPlane();
        for (int s = 0; s < p.stripCount(); ++s) {
            const std::uint8_t* strip = p.row(s * p.stripRows());
            if (!liveStrips.count(strip) && kept.insert(strip).second)
                bytes += p.stride() * p.stripRows();
        }
    }
    return bytes;
}

// Twenty edits, each of a 200 x 200 area, spread over the image; `regionSteps` records each
// with a region snapshot, otherwise with a whole snapshot.
void twentyEdits(benchmark::State& state, bool regionSteps) {
    for (auto _ : state) {
        state.PauseTiming();
        ie::Document doc;
        ie::Bitmap big(10000, 10000, ie::PixelFormat::Rgb24);
        big.fill({ 90, 120, 150, 255 });
        doc.layers().add(std::make_unique<ie::ImageLayer>(std::move(big)));
        state.ResumeTiming();
        for (int i = 0; i < 20; ++i) {
            const ie::Rect area { 300 + i * 450, 200 + i * 470, 200, 200 };
            if (regionSteps)
                doc.saveUndoRegion("Brush", 0, area);
            else
                doc.saveUndo("Brush");
            auto& layer = static_cast<ie::ImageLayer&>(doc.layers().layer(0));
            layer.bitmap.fillRect(area, { 255, 0, 0, 255 });
        }
        state.PauseTiming();
        state.counters["undo_MB"] = double(keptBytes(doc)) / (1 << 20);
        state.ResumeTiming();
    }
}

void BM_UndoTwentyRegionEdits100mp(benchmark::State& state) {
    twentyEdits(state, true);
}
void BM_UndoTwentyWholeSnapshotEdits100mp(benchmark::State& state) {
    twentyEdits(state, false);
}

} // namespace

BENCHMARK(BM_UndoTwentyRegionEdits100mp)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_UndoTwentyWholeSnapshotEdits100mp)->Unit(benchmark::kMillisecond)->Iterations(1);
