// The error body the service answers with when a request fails.
#pragma once

#include <QJsonObject>

#include <optional>
#include <string>
#include <vector>

namespace vst::ai {

/// Empty base of decoded error bodies.
class TErrorCore {
public:
    virtual ~TErrorCore() = default;
};

/// {"id": ..., "name": ..., "errors": [...]}.
class TError : public TErrorCore {
public:
    std::string Id;
    std::string Name;
    std::vector<std::string> Errors;

    /// The body decoded like the JSON-to-object reader does: unknown keys are ignored, a known
    /// key of the wrong type fails the whole decoding.
    static std::optional<TError> FromJson(const QJsonObject& object);
};

} // namespace vst::ai
