// The program's name and version as shown in captions and sent by the update check.
#pragma once

namespace vst::app {

/// "Vistrelune", the application caption.
inline constexpr const char* kAppName = "Vistrelune";
/// The version shown after the name in the title bar ("Vistrelune 3.1").
inline constexpr const char* kAppVersion = "3.1";

/// "Vistrelune 3.1".
const char* appTitle();

} // namespace vst::app
