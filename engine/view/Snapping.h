// Snapping of moved and resized layer boxes to the canvas and to other layers.
#pragma once

#include "layers/LayerStack.h"

#include <QRectF>
#include <vector>

namespace ie {

/// Lines a box may snap to along one axis.
struct SnapTargets {
    std::vector<double> xs, ys;
};

/// The canvas edges and centre, and the edges and centres of the visible layers not in
/// `moving` (layer indexes).
SnapTargets snapTargets(const LayerStack& stack, const std::vector<int>& moving);

/// The shift (along one axis) that brings the nearest of `edges` onto the nearest target,
/// when that distance is at most `reach`; 0 otherwise.
double snapShift(
    const std::vector<double>& edges, const std::vector<double>& targets, double reach);

} // namespace ie
