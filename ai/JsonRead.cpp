#include "JsonRead.h"

#include <QJsonDocument>
#include <QJsonParseError>

#include <cmath>

namespace vst::ai::json {

bool readString(const QJsonObject& object, const char* key, std::string& out) {
    const QJsonValue value = object.value(QLatin1String(key));
    if (value.isUndefined() || value.isNull()) return true;
    if (!value.isString()) return false;
    out = value.toString().toStdString();
    return true;
}

bool readInt64(const QJsonObject& object, const char* key, std::optional<std::int64_t>& out) {
    const QJsonValue value = object.value(QLatin1String(key));
    if (value.isUndefined() || value.isNull()) return true;
    if (!value.isDouble()) return false;
    const double number = value.toDouble();
    if (number != std::floor(number) || std::abs(number) > 9.0e18) return false;
    out = static_cast<std::int64_t>(number);
    return true;
}

std::optional<QJsonObject> parseObject(const std::string& body) {
    QJsonParseError error {};
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(body), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) return std::nullopt;
    return document.object();
}

} // namespace vst::ai::json
