#include "StabilityAI.StableImage.Results.h"

#include <stdexcept>

namespace vst::ai {

bool isSafeJobId(const std::string& id) {
    if (id.empty() || id.size() > 128) return false;
    for (const char c : id) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')
            || c == '-' || c == '_';
        if (!ok) return false;
    }
    return true;
}

Common::TResults TResultsRoute::Fetch(const std::string& ResultId, const RequestOptions& o) const {
    // The identifier comes from the service's answer; it goes into the path only when it is
    // plainly an identifier.
    if (!isSafeJobId(ResultId))
        throw std::runtime_error("The service gave a job identifier that is not valid: \""
            + ResultId.substr(0, 80) + "\".");
    auto results = DecodeResult<Common::TResults>(
        API().SendGet("v2beta/results/" + ResultId, acceptJson(), o));
    if (results.Status != "in-progress" && !results.Result.empty()) results.Image = results.Result;
    return results;
}

CancelToken TResultsRoute::Fetch(
    const std::string& ResultId, const TResultsCallBacks& callbacks) const {
    return async<Common::TResults>(&TResultsRoute::Fetch, ResultId, callbacks);
}

} // namespace vst::ai
