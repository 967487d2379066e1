// An image file's content as the layers of a new variant.
#pragma once

#include "layers/LayerStack.h"

#include <string>

namespace vst::project {

/// The layers of a layered PSD file as they are; for every other file (or a flat PSD) one
/// image layer with page `page` of the file, named after the file. Throws ie::Error.
ie::LayerStack importLayers(const std::string& path, int page = 0);

} // namespace vst::project
