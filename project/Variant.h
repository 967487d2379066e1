// One variant of a project: its layers, its name and the parameters saved with it.
#pragma once

#include "layers/LayerStack.h"

#include <QString>

namespace vst::project {

/// The model behind one variant view, as the project file keeps it.
struct Variant {
    ie::LayerStack layers;
    QString VersionName; ///< unique within the project; empty until named ("Original")
    QString TheFileName; ///< the project file the variant belongs to
    /// Layer resize aspect-ratio mode: 0 disabled, 1 with the Alt key, 2 always, 3 always on
    /// corner grips, 4 layer default on corner grips.
    int LayersResizeAspectRatio = 2;
    bool SnapToPos = false; ///< layers snap to the grid
    int LayersSnapDist = 10; ///< grid cell size, pixels
    int DpiX = 72;
    int DpiY = 72;
    QString Description; ///< the stream's description text (the parameter text)
};

/// The name the main variant gets when its file names none.
inline const char* const kDefaultVariantName = "Original";

} // namespace vst::project
