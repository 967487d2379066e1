// Whether the inpainting and foreground-extraction library the heal tool and Detect Object
// need is usable in this build.
#pragma once

namespace vst::app {

/// Runs a tiny inpainting and foreground extraction; false when either fails.
bool visionLibraryUsable();

} // namespace vst::app
