// The upscale routes: conservative, creative (a job) and fast, with their parameter classes.
#pragma once

#include "StabilityAI.StableImage.Edit.h"

namespace vst::ai {

/// Fields of the conservative upscale.
class TUpscaleConservative : public Common::TUpscaleCommon<TUpscaleConservative> {
public:
    /// 0.2 to 0.5.
    TUpscaleConservative& Creativity(double value);
};

/// Fields of the creative upscale.
class TUpscaleCreative : public Common::TUpscaleCommon<TUpscaleCreative> {
public:
    /// 0 to 0.35.
    TUpscaleCreative& Creativity(double value);
};

/// Fields of the fast upscale.
class TUpscaleFast : public Common::TEditCommon<TUpscaleFast> { };

/// The upscale routes; the creative one answers with a job identifier.
class TUpscaleRoute : public TStabilityAIAPIRoute {
public:
    using TStabilityAIAPIRoute::TStabilityAIAPIRoute;

    Common::TStableImage Conservative(
        const TParamProc<TUpscaleConservative>& proc, const RequestOptions& o = {}) const;
    CancelToken Conservative(
        const TParamProc<TUpscaleConservative>& proc, const TImageCallBacks& callbacks) const;
    Common::TResults Creative(
        const TParamProc<TUpscaleCreative>& proc, const RequestOptions& o = {}) const;
    CancelToken Creative(
        const TParamProc<TUpscaleCreative>& proc, const TResultsCallBacks& callbacks) const;
    Common::TStableImage Fast(
        const TParamProc<TUpscaleFast>& proc, const RequestOptions& o = {}) const;
    CancelToken Fast(const TParamProc<TUpscaleFast>& proc, const TImageCallBacks& callbacks) const;
};

} // namespace vst::ai
