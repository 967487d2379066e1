// The widget each variant shows its document in: one alias, so the editor tabs name the view
// in one place.
#pragma once

#include "view/ImageView.h"

namespace vst::project {

using TabImageView = ie::ImageView;

} // namespace vst::project
