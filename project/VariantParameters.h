// The variant parameter text kept in each variant stream's description.
#pragma once

#include "Variant.h"

namespace vst::project {

/// Builds "VersionName=%s;LockAspectRatio=%s;SnapToGrid=%s;GridCellSize=%s;DPI=%s;" from the
/// variant and stores it as its Description.
void SaveProjectParametersIntoFileDescription(Variant& variant);

/// Applies the pairs found in the variant's Description: VersionName, LockAspectRatio,
/// SnapToGrid, GridCellSize and DPI (both resolutions). A key counts only at the start of a
/// ";"-separated pair, the first such pair wins, and its value runs to the next ";" (empty when
/// none follows). Missing keys leave the values as they are. A number that is not one throws
/// ie::Error with the conversion message ("'x' is not a valid integer value").
void ReadProjectParametersFromFileDescription(Variant& variant);

} // namespace vst::project
