#include "StabilityAI.Errors.h"

#include "JsonRead.h"

#include <QJsonArray>

namespace vst::ai {

std::optional<TError> TError::FromJson(const QJsonObject& object) {
    TError error;
    if (!json::readString(object, "id", error.Id) || !json::readString(object, "name", error.Name))
        return std::nullopt;
    const QJsonValue errors = object.value("errors");
    if (errors.isUndefined() || errors.isNull()) return error;
    if (!errors.isArray()) return std::nullopt;
    for (const QJsonValue& item : errors.toArray()) {
        if (!item.isString()) return std::nullopt;
        error.Errors.push_back(item.toString().toStdString());
    }
    return error;
}

} // namespace vst::ai
