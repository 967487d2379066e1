#include "StabilityAI.h"

namespace vst::ai {

TStableImage::TStableImage(TStabilityAI& AOwner)
    : TStableImageCore(AOwner)
    , FEditRoute(AOwner.API(), [owner = &AOwner] { return owner->anchor(); })
    , FUpscaleRoute(AOwner.API(), [owner = &AOwner] { return owner->anchor(); })
    , FResultsRoute(AOwner.API(), [owner = &AOwner] { return owner->anchor(); }) { }

TStabilityAI::TStabilityAI()
    : FStableImage(*this) { }

TStabilityAI::TStabilityAI(const std::string& AToken)
    : TStabilityAI() {
    FAPI.setToken(AToken);
}

std::shared_ptr<const void> TStabilityAI::anchor() const {
    const std::weak_ptr<const TStabilityAI> weak = weak_from_this();
    return weak.lock();
}

std::shared_ptr<IStabilityAI> TStabilityAIFactory::CreateInstance(const std::string& AToken) {
    return std::make_shared<TStabilityAI>(AToken);
}

} // namespace vst::ai
