// How the layer interaction of a view behaves: aspect-ratio mode, snapping, protections.
#pragma once

namespace ie {

/// How resizing a layer keeps its aspect ratio (the numbers are stored in variant parameters).
enum class AspectRatioMode : int {
    Disabled = 0, ///< never kept
    WithAlt = 1, ///< kept while Alt is held
    Always = 2, ///< always kept
    AlwaysOnCorners = 3, ///< kept on corner grips; side grips stretch
    LayerDefaultOnCorners = 4, ///< on corner grips, kept when the layer's aspectRatioLocked is set
};

/// Layer editing settings of one view.
struct LayerOptions {
    AspectRatioMode resizeAspectRatio = AspectRatioMode::Always;
    bool snapToPos = false; ///< snap moved and resized boxes to the canvas and to other layers
    int snapDist = 10; ///< snapping reach, canvas pixels
    bool protectBackground = true; ///< the background never moves, resizes or rotates
    bool preventDeselection = true; ///< a click on nothing keeps the selected layers
    bool cropped = true; ///< layers are clipped to the canvas when shown
};

} // namespace ie
