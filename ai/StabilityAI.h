// The AI service client's root object, its stable-image facade and the factory.
#pragma once

#include "StabilityAI.API.h"
#include "StabilityAI.StableImage.Edit.h"
#include "StabilityAI.StableImage.Results.h"
#include "StabilityAI.StableImage.Upscale.h"

#include <memory>
#include <string>

namespace vst::ai {

class TStabilityAI;

/// Base of the facades: a back reference to the root that owns them.
class TStableImageCore {
public:
    explicit TStableImageCore(TStabilityAI& AOwner)
        : FOwner(&AOwner) { }
    virtual ~TStableImageCore() = default;

protected:
    TStabilityAI* FOwner;
};

/// The stable-image routes the program uses.
class TStableImage : public TStableImageCore {
public:
    explicit TStableImage(TStabilityAI& AOwner);

    const TEditRoute& Edit() const { return FEditRoute; }
    const TUpscaleRoute& Upscale() const { return FUpscaleRoute; }
    const TResultsRoute& Results() const { return FResultsRoute; }

private:
    // Made with the facade rather than on first use: requests on several threads may reach
    // them at once.
    TEditRoute FEditRoute;
    TUpscaleRoute FUpscaleRoute;
    TResultsRoute FResultsRoute;
};

/// What the program holds of the client.
class IStabilityAI {
public:
    virtual ~IStabilityAI() = default;
    virtual TStabilityAIAPI& API() = 0;
    virtual std::string Token() const = 0;
    virtual void setToken(const std::string& value) = 0;
    virtual std::string BaseURL() const = 0;
    virtual void setBaseURL(const std::string& value) = 0;
    virtual const TStableImage& StableImage() const = 0;
};

/// The root: the API object and the facades. Create it through TStabilityAIFactory (or
/// std::make_shared): each running request holds a strong reference to it.
class TStabilityAI : public IStabilityAI, public std::enable_shared_from_this<TStabilityAI> {
public:
    TStabilityAI();
    explicit TStabilityAI(const std::string& AToken);

    TStabilityAIAPI& API() override { return FAPI; }
    std::string Token() const override { return FAPI.Token(); }
    void setToken(const std::string& value) override { FAPI.setToken(value); }
    std::string BaseURL() const override { return FAPI.BaseUrl(); }
    void setBaseURL(const std::string& value) override { FAPI.setBaseUrl(value); }
    const TStableImage& StableImage() const override { return FStableImage; }

    /// A strong reference for a running request (null when not owned by a shared pointer).
    std::shared_ptr<const void> anchor() const;

private:
    TStabilityAIAPI FAPI;
    TStableImage FStableImage;
};

/// Creates the client the program holds.
class TStabilityAIFactory {
public:
    static std::shared_ptr<IStabilityAI> CreateInstance(const std::string& AToken);
};

} // namespace vst::ai
