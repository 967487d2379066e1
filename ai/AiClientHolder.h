// The one AI client the program holds, replaced when the API key changes.
#pragma once

#include "StabilityAI.h"

#include <memory>
#include <string>

namespace vst::ai {

/// The process-wide client; null until a key was known. Safe from any thread.
std::shared_ptr<IStabilityAI> currentAiClient();

/// Replaces the process-wide client. Requests already running keep the client they started
/// with until they end.
void setCurrentAiClient(std::shared_ptr<IStabilityAI> client);

/// Makes a new client for `key` (trimmed) the process-wide one when the key is not blank;
/// returns false and keeps the old client otherwise.
bool replaceAiClientForKey(const std::string& key);

} // namespace vst::ai
