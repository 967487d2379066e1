// Memory that undo keeps for small edits of a 100-megapixel layer: region steps against whole
// copy-on-write snapshots.
#include "document/Document.h"
#include "layers/ImageLayer.h"

#include <benchmark/benchmark.h>
#include <fstream>

namespace {

std::size_t residentBytes() {
    std::ifstream statm("/proc/self/statm");
    std::size_t size = 0, resident = 0;
    statm >> size >> resident;
    return resident * 4096;
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
        const std::size_t before = residentBytes();
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
        state.counters["added_MB"] = double(residentBytes() - before) / (1 << 20);
        state.counters["undo_private_MB"] = double(doc.undoStack().privateBytes()) / (1 << 20);
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
