// Waiting for a job's result by fetching it again until it is no longer "in-progress".
#pragma once

#include "StabilityAI.StableImage.Results.h"

#include <chrono>
#include <functional>

namespace vst::ai {

/// Fetches job `id` every `interval` until its answer is not "in-progress", telling `onWaiting`
/// of each waiting answer. Throws what a fetch throws; RequestCancelled when cancelled, also
/// between fetches.
Common::TResults waitForJob(const TResultsRoute& route, const std::string& id,
    std::chrono::milliseconds interval,
    const std::function<void(const Common::TResults&)>& onWaiting = {},
    const RequestOptions& options = {});

} // namespace vst::ai
