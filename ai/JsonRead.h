// Reading typed fields of a JSON answer the way the service's answers are decoded.
#pragma once

#include <QJsonObject>

#include <cstdint>
#include <optional>
#include <string>

namespace vst::ai::json {

/// The text of a field; a missing or null field leaves `out` as it is. False when the field
/// holds something other than text.
bool readString(const QJsonObject& object, const char* key, std::string& out);

/// A whole number; false when the field is neither missing nor a whole number.
bool readInt64(const QJsonObject& object, const char* key, std::optional<std::int64_t>& out);

/// The body parsed as one JSON object; nothing when it is not JSON or not an object.
std::optional<QJsonObject> parseObject(const std::string& body);

} // namespace vst::ai::json
