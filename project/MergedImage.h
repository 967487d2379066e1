// A variant's layers merged into the one bitmap that viewers, renders and exports show.
#pragma once

#include "Variant.h"

#include "imaging/Bitmap.h"

namespace vst::project {

/// The canvas of `layers` composited, with an alpha plane only when some pixel is not opaque.
ie::Bitmap mergedImage(const ie::LayerStack& layers);

/// The variant's merged image with the variant's resolution.
ie::Bitmap mergedImage(const Variant& variant);

} // namespace vst::project
