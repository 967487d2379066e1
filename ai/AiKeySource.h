// Where the command line takes the API key from: a key file or the environment.
#pragma once

#include <optional>
#include <string>

namespace vst::ai {

/// The environment variable the command line reads the key from.
inline constexpr const char* kApiKeyVariable = "VISTRELUNE_API_KEY";

/// The key of `keyFile` when given, else of VISTRELUNE_API_KEY, trimmed. Throws with a clear
/// message when there is none, the file cannot be read, or the key holds control characters.
std::string apiKeyForCommandLine(const std::optional<std::string>& keyFile);

} // namespace vst::ai
