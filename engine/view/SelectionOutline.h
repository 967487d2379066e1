// The outline of a selection mask as line segments, for the view's animated outline.
#pragma once

#include "document/Selection.h"

#include <QPainterPath>

namespace ie {

/// The borders between selected (mask >= 128) and unselected pixels, as horizontal and vertical
/// segments on pixel edges in canvas coordinates. Empty for an empty selection.
QPainterPath selectionOutline(const Selection& selection);

} // namespace ie
