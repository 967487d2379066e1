#include "Snapping.h"

#include "LayerGeometry.h"

#include <algorithm>
#include <cmath>

namespace ie {

SnapTargets snapTargets(const LayerStack& stack, const std::vector<int>& moving) {
    SnapTargets t;
    const double w = stack.canvasWidth(), h = stack.canvasHeight();
    t.xs = { 0, w / 2, w };
    t.ys = { 0, h / 2, h };
    for (int i = 1; i < stack.count(); ++i) {
        const Layer& l = stack.layer(i);
        if (!l.visible || std::find(moving.begin(), moving.end(), i) != moving.end()) continue;
        const QRectF b = layerBounds(l);
        t.xs.insert(t.xs.end(), { b.left(), b.center().x(), b.right() });
        t.ys.insert(t.ys.end(), { b.top(), b.center().y(), b.bottom() });
    }
    return t;
}

double snapShift(
    const std::vector<double>& edges, const std::vector<double>& targets, double reach) {
    double best = reach + 1, shift = 0;
    for (double e : edges)
        for (double t : targets)
            if (std::abs(t - e) < best) {
                best = std::abs(t - e);
                shift = t - e;
            }
    return best <= reach ? shift : 0;
}

} // namespace ie
