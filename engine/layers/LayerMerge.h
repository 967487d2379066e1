// Merging layers into one image layer and turning vector layers into image layers.
#pragma once

#include "ImageLayer.h"
#include "LayerStack.h"

#include <memory>
#include <vector>

namespace ie {

/// Replaces every layer by one image layer of the canvas size holding the composite with
/// alpha (hidden layers are dropped). The background's name and lock are kept.
void mergeAll(LayerStack& stack);

/// Merges the layers `indices` (and the masks directly above them) into one image layer
/// covering their joint box, placed where the lowest of them was; returns its index. Effects
/// and masks are drawn into the pixels. Throws ie::Error when no index is valid.
int mergeLayers(LayerStack& stack, const std::vector<int>& indices);

/// An image layer showing `layer` as composited alone (effects excluded, they stay as
/// properties), with the same properties and box. `quality` scales the pixel size
/// (1 = the box's size, 2 = twice as many pixels each way).
std::unique_ptr<ImageLayer> toImageLayer(const Layer& layer, double quality = 1);

/// Replaces layer i by its image-layer form (toImageLayer); image layers stay as they are.
void convertToImageLayer(LayerStack& stack, int i, double quality = 1);

} // namespace ie
