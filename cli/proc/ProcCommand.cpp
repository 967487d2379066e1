// vistrelune-cli proc: direct pixel operations on image files.
#include "Commands.h"

#include <stdexcept>

namespace vst::cli {

int runProc(const std::vector<std::string>&) {
    throw std::runtime_error("this command is not built yet");
}

} // namespace vst::cli
