// The .vstl project file: every variant of a project as one variant stream after another.
#pragma once

#include "Variant.h"

#include <string>
#include <vector>

namespace vst::project {

/// Saves the variants (main first) into one project file, atomically: everything goes into a
/// temporary file in the same folder, renamed over `path` only when complete, so a failed or
/// interrupted save leaves the previous file whole. Each variant's parameter text is put into
/// its Description first. Throws ie::Error.
void saveProject(const std::string& path, std::vector<Variant>& variants);

/// Writes the variants into `path` directly (no temporary file): for callers that already
/// write to a temporary file of their own.
void writeProjectFile(const std::string& path, std::vector<Variant>& variants);

/// Loads every variant of a project file, in file order, with its parameters applied; a variant
/// whose stream names none is named "Original". Any damaged stream fails the whole
/// load with an ie::Error naming the problem.
std::vector<Variant> loadProject(const std::string& path);

} // namespace vst::project
