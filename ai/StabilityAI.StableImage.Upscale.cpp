#include "StabilityAI.StableImage.Upscale.h"

namespace vst::ai {

using Common::TResults;
using Common::TStableImage;

TUpscaleConservative& TUpscaleConservative::Creativity(double value) {
    Common::addReal(*this, "creativity", value, 0.2, 0.5);
    return *this;
}

TUpscaleCreative& TUpscaleCreative::Creativity(double value) {
    Common::addReal(*this, "creativity", value, 0, 0.35);
    return *this;
}

namespace {
const std::string kUpscale = "v2beta/stable-image/upscale/";
}

TStableImage TUpscaleRoute::Conservative(
    const TParamProc<TUpscaleConservative>& proc, const RequestOptions& o) const {
    return postForm<TStableImage>(kUpscale + "conservative", proc, o);
}

CancelToken TUpscaleRoute::Conservative(
    const TParamProc<TUpscaleConservative>& proc, const TImageCallBacks& cb) const {
    return async<TStableImage>(&TUpscaleRoute::Conservative, proc, cb);
}

TResults TUpscaleRoute::Creative(
    const TParamProc<TUpscaleCreative>& proc, const RequestOptions& o) const {
    return postForm<TResults>(kUpscale + "creative", proc, o);
}

CancelToken TUpscaleRoute::Creative(
    const TParamProc<TUpscaleCreative>& proc, const TResultsCallBacks& cb) const {
    return async<TResults>(&TUpscaleRoute::Creative, proc, cb);
}

TStableImage TUpscaleRoute::Fast(
    const TParamProc<TUpscaleFast>& proc, const RequestOptions& o) const {
    return postForm<TStableImage>(kUpscale + "fast", proc, o);
}

CancelToken TUpscaleRoute::Fast(
    const TParamProc<TUpscaleFast>& proc, const TImageCallBacks& cb) const {
    return async<TStableImage>(&TUpscaleRoute::Fast, proc, cb);
}

} // namespace vst::ai
