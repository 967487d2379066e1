// The process-wide byte offset at which a project file's variant streams are read and written.
#pragma once

#include <cstdint>

namespace vst::project {

/// Offset of the next variant stream during one project save or load: set to 0 before the first
/// variant, advanced after each; 0 again once a load has read the last stream. Saves and loads
/// run on the user-interface thread only, so they never interleave.
extern std::int64_t ProjectStreamPosition;

} // namespace vst::project
