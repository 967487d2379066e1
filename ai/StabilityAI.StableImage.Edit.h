// The edit routes: erase, inpaint, outpaint, search-and-replace/recolor, background removal and
// replacement, with their parameter classes.
#pragma once

#include "StabilityAI.API.h"
#include "StabilityAI.Async.Support.h"
#include "StabilityAI.Common.h"

#include <functional>

namespace vst::ai {

/// Fields of the erase route.
class TErase : public Common::TEditSeedAndGrowMaskCommon<TErase> {
public:
    TErase& Mask(const std::string& FilePath);
    TErase& Mask(std::span<const std::uint8_t> Stream, bool StreamFreed = true);
};

/// Fields of the inpaint route.
class TInpaint : public Common::TEditSeedAndGrowMaskAndPromtCommon<TInpaint> {
public:
    TInpaint& Mask(const std::string& FilePath);
    TInpaint& Mask(std::span<const std::uint8_t> Stream, bool StreamFreed = true);
    TInpaint& NegativePrompt(const std::string& value);
};

/// Fields of the outpaint route.
class TOutpaint : public Common::TEditSeedCommon<TOutpaint> {
public:
    TOutpaint& Left(std::int64_t value);
    TOutpaint& Right(std::int64_t value);
    TOutpaint& Up(std::int64_t value);
    TOutpaint& Down(std::int64_t value);
    TOutpaint& Creativity(double value);
    TOutpaint& Prompt(const std::string& value);
};

/// Fields of the search-and-replace and search-and-recolor routes.
class TSearchAndReplace : public Common::TEditSeedAndGrowMaskAndPromtCommon<TSearchAndReplace> {
public:
    TSearchAndReplace& SearchPrompt(const std::string& value);
    TSearchAndReplace& SelectPrompt(const std::string& value);
    TSearchAndReplace& NegativePrompt(const std::string& value);
};

/// Fields of the remove-background route.
class TRemoveBackground : public Common::TEditCommon<TRemoveBackground> { };

/// Fields of the replace-background-and-relight route.
class TReplaceBackgroundAndRelight : public TMultipartFormData {
public:
    TReplaceBackgroundAndRelight& SubjectImage(const std::string& FilePath);
    TReplaceBackgroundAndRelight& SubjectImage(
        std::span<const std::uint8_t> Stream, bool StreamFreed = true);
    TReplaceBackgroundAndRelight& BackgroundReference(const std::string& FilePath);
    TReplaceBackgroundAndRelight& BackgroundReference(
        std::span<const std::uint8_t> Stream, bool StreamFreed = true);
    TReplaceBackgroundAndRelight& LightReference(const std::string& FilePath);
    TReplaceBackgroundAndRelight& LightReference(
        std::span<const std::uint8_t> Stream, bool StreamFreed = true);
    TReplaceBackgroundAndRelight& BackgroundPrompt(const std::string& value);
    TReplaceBackgroundAndRelight& ForegroundPrompt(const std::string& value);
    TReplaceBackgroundAndRelight& NegativePrompt(const std::string& value);
    TReplaceBackgroundAndRelight& PreserveOriginalSubject(double value);
    TReplaceBackgroundAndRelight& OriginalBackgroundDepth(double value);
    TReplaceBackgroundAndRelight& KeepOriginalBackground(bool value);
    TReplaceBackgroundAndRelight& LightSourceDirection(TLightSourceDirection value);
    TReplaceBackgroundAndRelight& LightSourceStrength(double value);
    TReplaceBackgroundAndRelight& OutputFormat(TOutPutFormat value);
    TReplaceBackgroundAndRelight& Seed(std::int64_t value);
};

template <class P> using TParamProc = std::function<void(P&)>;
using TImageCallBacks = std::function<TAsynCallBack<Common::TStableImage>()>;
using TResultsCallBacks = std::function<TAsynCallBack<Common::TResults>()>;

/// The edit routes. Each request has a synchronous overload (result or exception) and an
/// asynchronous one (callbacks; returns a token that cancels the request).
class TEditRoute : public TStabilityAIAPIRoute {
public:
    using TStabilityAIAPIRoute::TStabilityAIAPIRoute;

    Common::TStableImage Erase(const TParamProc<TErase>& proc, const RequestOptions& o = {}) const;
    CancelToken Erase(const TParamProc<TErase>& proc, const TImageCallBacks& callbacks) const;
    Common::TStableImage Inpaint(
        const TParamProc<TInpaint>& proc, const RequestOptions& o = {}) const;
    CancelToken Inpaint(const TParamProc<TInpaint>& proc, const TImageCallBacks& callbacks) const;
    Common::TStableImage Outpaint(
        const TParamProc<TOutpaint>& proc, const RequestOptions& o = {}) const;
    CancelToken Outpaint(const TParamProc<TOutpaint>& proc, const TImageCallBacks& callbacks) const;
    Common::TStableImage RemoveBackground(
        const TParamProc<TRemoveBackground>& proc, const RequestOptions& o = {}) const;
    CancelToken RemoveBackground(
        const TParamProc<TRemoveBackground>& proc, const TImageCallBacks& callbacks) const;
    Common::TResults ReplaceBackgroundAndRelight(
        const TParamProc<TReplaceBackgroundAndRelight>& proc, const RequestOptions& o = {}) const;
    CancelToken ReplaceBackgroundAndRelight(const TParamProc<TReplaceBackgroundAndRelight>& proc,
        const TResultsCallBacks& callbacks) const;
    Common::TStableImage SearchAndRecolor(
        const TParamProc<TSearchAndReplace>& proc, const RequestOptions& o = {}) const;
    CancelToken SearchAndRecolor(
        const TParamProc<TSearchAndReplace>& proc, const TImageCallBacks& callbacks) const;
    Common::TStableImage SearchAndReplace(
        const TParamProc<TSearchAndReplace>& proc, const RequestOptions& o = {}) const;
    CancelToken SearchAndReplace(
        const TParamProc<TSearchAndReplace>& proc, const TImageCallBacks& callbacks) const;
};

} // namespace vst::ai
