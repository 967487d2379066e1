// vistrelune-cli apply and effects: effect texts applied to image files, and the list of effects.
#include "Commands.h"

#include <stdexcept>

namespace vst::cli {

int runApply(const std::vector<std::string>&) {
    throw std::runtime_error("this command is not built yet");
}

int runEffects(const std::vector<std::string>&) {
    throw std::runtime_error("this command is not built yet");
}

} // namespace vst::cli
