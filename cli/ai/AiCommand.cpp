// vistrelune-cli ai: AI edits of image files through the cloud image service.
#include "Commands.h"

#include <stdexcept>

namespace vst::cli {

int runAi(const std::vector<std::string>&) {
    throw std::runtime_error("this command is not built yet");
}

} // namespace vst::cli
