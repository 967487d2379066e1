#include "ProjectStreamPosition.h"

namespace vst::project {

std::int64_t ProjectStreamPosition = 0;

} // namespace vst::project
