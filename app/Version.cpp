#include "Version.h"

namespace vst::app {

const char* appTitle() {
    return "Vistrelune 3.1";
}

} // namespace vst::app
