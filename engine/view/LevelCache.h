// Reduced levels of every image layer of a document, kept in step with the layers' pixels.
#pragma once

#include "ReducedLevels.h"
#include "layers/Guid.h"
#include "layers/LayerStack.h"

#include <memory>
#include <vector>

namespace ie {

/// The reduced levels of each image layer, and a stand-in stack that shows level k in place of
/// every image layer's bitmap. A layer's levels are rebuilt only when its pixels changed: the
/// cache holds a copy-on-write share of the bitmap, so a write shows as strips no longer shared.
class LevelCache {
public:
    /// Brings the levels up to date with `stack` (cheap when nothing changed). With `buildNew`
    /// false, layers that have no levels yet (new, or resized) are left without and drawn from
    /// their own pixels until a later sync builds them: the first frame of a document then
    /// doesn't wait for its levels.
    void sync(const LayerStack& stack, bool buildNew = true);
    /// True when a layer seen by the last sync still waits for its levels.
    bool hasPending() const;
    /// The deepest level whose scale (ReducedLevels::scaleOf) is still >= `scale` (level 1 at
    /// exactly 25 %), capped by the
    /// levels the layers have.
    int levelFor(double scale) const;
    /// A copy of `stack` with image layers showing level k (k >= 1). Bitmaps are shared.
    LayerStack standIn(const LayerStack& stack, int k) const;
    /// Bytes held by every layer's levels.
    std::size_t memoryBytes() const;
    void clear() { m_entries.clear(); }

private:
    struct Entry {
        Guid id;
        Bitmap source; // a share of the layer's bitmap at the last build
        ReducedLevels levels;
        bool seen = false;
    };
    const Entry* find(const Guid& id) const;
    static void update(Entry& e, const Bitmap& bitmap, bool buildNew);

    std::vector<Entry> m_entries;
};

} // namespace ie
