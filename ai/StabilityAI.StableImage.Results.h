// The results route: fetching the answer of a job by its identifier.
#pragma once

#include "StabilityAI.StableImage.Edit.h"

#include <string>

namespace vst::ai {

/// True when `id` is a job identifier that may go into a path: 1 to 128 letters, digits, "-"
/// and "_".
bool isSafeJobId(const std::string& id);

/// GET "v2beta/results/" and the job identifier.
class TResultsRoute : public TStabilityAIAPIRoute {
public:
    using TStabilityAIAPIRoute::TStabilityAIAPIRoute;

    /// The job's state; a finished answer's "result" is copied into Image. An identifier with
    /// other characters is refused before anything is sent.
    Common::TResults Fetch(const std::string& ResultId, const RequestOptions& o = {}) const;
    CancelToken Fetch(const std::string& ResultId, const TResultsCallBacks& callbacks) const;
};

} // namespace vst::ai
