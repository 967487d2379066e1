#include "MergedImage.h"

#include "imaging/Error.h"
#include "layers/Compositor.h"

namespace vst::project {

ie::Bitmap mergedImage(const ie::LayerStack& layers) {
    if (layers.isEmpty() || layers.canvasWidth() <= 0 || layers.canvasHeight() <= 0)
        throw ie::Error("The image has no layers to merge");
    ie::Bitmap merged = ie::compositeAll(layers);
    if (merged.alphaIsOpaque()) merged.removeAlphaPlane();
    return merged;
}

ie::Bitmap mergedImage(const Variant& variant) {
    ie::Bitmap merged = mergedImage(variant.layers);
    merged.setDpi(variant.DpiX, variant.DpiY);
    return merged;
}

} // namespace vst::project
