#include "LevelCache.h"

#include "layers/ImageLayer.h"

#include <algorithm>
#include <cmath>

namespace ie {

namespace {

bool sameShape(const Bitmap& a, const Bitmap& b) {
    return a.width() == b.width() && a.height() == b.height() && a.pixelFormat() == b.pixelFormat()
        && a.hasAlphaPlane() == b.hasAlphaPlane()
        && a.colorPlane().stripRows() == b.colorPlane().stripRows();
}

// Rows [y0, y1) covering the strips of `now` that no longer share memory with `before`;
// y0 == y1 when everything is shared.
std::pair<int, int> changedRows(const Bitmap& before, const Bitmap& now) {
    const Plane& c = now.colorPlane();
    int first = -1, last = -1;
    for (int s = 0; s < c.stripCount(); ++s) {
        bool same = c.sharesStripWith(before.colorPlane(), s);
        if (same && now.hasAlphaPlane())
            same = now.alphaPlane().stripRows() == c.stripRows()
                && now.alphaPlane().sharesStripWith(before.alphaPlane(), s);
        if (!same) {
            if (first < 0) first = s;
            last = s;
        }
    }
    if (first < 0) return { 0, 0 };
    return { first * c.stripRows(), std::min(now.height(), (last + 1) * c.stripRows()) };
}

} // namespace

void LevelCache::update(Entry& e, const Bitmap& bitmap, bool buildNew) {
    if (e.source.isNull() || !sameShape(e.source, bitmap)) {
        if (!buildNew) {
            e.levels = ReducedLevels();
            e.source = Bitmap();
            return;
        }
        e.levels.build(bitmap);
    } else {
        const auto [y0, y1] = changedRows(e.source, bitmap);
        if (y0 == y1) return;
        e.levels.rebuildRows(bitmap, y0, y1);
    }
    e.source = bitmap;
}

bool LevelCache::hasPending() const {
    return std::any_of(
        m_entries.begin(), m_entries.end(), [](const Entry& e) { return e.source.isNull(); });
}

void LevelCache::sync(const LayerStack& stack, bool buildNew) {
    for (Entry& e : m_entries)
        e.seen = false;
    for (const auto& layer : stack.layers()) {
        if (layer->kind() != LayerKind::Image) continue;
        const Bitmap& bitmap = static_cast<const ImageLayer&>(*layer).bitmap;
        auto it = std::find_if(
            m_entries.begin(), m_entries.end(), [&](const Entry& e) { return e.id == layer->id; });
        if (it == m_entries.end()) {
            m_entries.push_back({ layer->id, {}, {}, false });
            it = m_entries.end() - 1;
        }
        update(*it, bitmap, buildNew);
        it->seen = true;
    }
    std::erase_if(m_entries, [](const Entry& e) { return !e.seen; });
}

const LevelCache::Entry* LevelCache::find(const Guid& id) const {
    for (const Entry& e : m_entries)
        if (e.id == id) return &e;
    return nullptr;
}

int LevelCache::levelFor(double scale) const {
    if (!(scale > 0) || scale > ReducedLevels::scaleOf(1)) return 0;
    const int wanted = static_cast<int>(std::floor(-std::log2(scale) + 1e-9)) - 1;
    int deepest = 0;
    for (const Entry& e : m_entries)
        deepest = std::max(deepest, e.levels.count());
    return std::min(wanted, deepest);
}

LayerStack LevelCache::standIn(const LayerStack& stack, int k) const {
    LayerStack out;
    for (const auto& layer : stack.layers()) {
        if (layer->kind() != LayerKind::Image) {
            out.add(layer->clone());
            continue;
        }
        auto copy = std::make_unique<ImageLayer>(static_cast<const ImageLayer&>(*layer));
        if (const Entry* e = find(layer->id); e && e->levels.count() > 0)
            copy->bitmap = e->levels.level(std::min(k, e->levels.count()));
        out.add(std::move(copy));
    }
    out.setCurrentIndex(stack.currentIndex());
    return out;
}

std::size_t LevelCache::memoryBytes() const {
    std::size_t bytes = 0;
    for (const Entry& e : m_entries)
        bytes += e.levels.memoryBytes();
    return bytes;
}

} // namespace ie
