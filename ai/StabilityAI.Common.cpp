#include "StabilityAI.Common.h"

#include "JsonRead.h"

#include <QByteArray>

#include <fstream>
#include <stdexcept>

namespace vst::ai::Common {
namespace {

std::optional<TFinishReason> finishReasonFromText(const QString& text) {
    const QString upper = text.toUpper();
    if (upper == "SUCCESS") return TFinishReason::SUCCESS;
    if (upper == "CONTENT_FILTERED") return TFinishReason::CONTENT_FILTERED;
    if (upper == "ERROR") return TFinishReason::ERROR;
    return std::nullopt;
}

std::vector<std::uint8_t> decodeBase64(const std::string& text) {
    const auto decoded = QByteArray::fromBase64Encoding(
        QByteArray::fromStdString(text), QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded) throw std::runtime_error("The service's image is not valid base64.");
    return std::vector<std::uint8_t>(decoded.decoded.begin(), decoded.decoded.end());
}

} // namespace

void addText(TMultipartFormData& form, const std::string& field, const std::string& value) {
    checkTextLength(field, value);
    form.AddField(field, value);
}

void addInt(TMultipartFormData& form, const std::string& field, std::int64_t value, std::int64_t lo,
    std::int64_t hi) {
    checkIntRange(field, value, lo, hi);
    form.AddField(field, std::to_string(value));
}

void addReal(
    TMultipartFormData& form, const std::string& field, double value, double lo, double hi) {
    checkRealRange(field, value, lo, hi);
    form.AddField(field, realText(value));
}

std::string toText(TFinishReason value) {
    switch (value) {
    case TFinishReason::SUCCESS:
        return "SUCCESS";
    case TFinishReason::CONTENT_FILTERED:
        return "CONTENT_FILTERED";
    case TFinishReason::ERROR:
        return "ERROR";
    }
    return "ERROR";
}

bool TJSONStableImage::readJson(const QJsonObject& object) {
    if (!json::readString(object, "image", Image) || !json::readString(object, "video", Video)
        || !json::readInt64(object, "seed", Seed))
        return false;
    const QJsonValue reason = object.value("finish_reason");
    if (reason.isUndefined() || reason.isNull()) return true;
    if (!reason.isString()) return false;
    FinishReason = finishReasonFromText(reason.toString());
    return FinishReason.has_value();
}

std::optional<TStableImage> TStableImage::FromJson(const QJsonObject& object) {
    TStableImage result;
    if (!result.readJson(object)) return std::nullopt;
    return result;
}

std::vector<std::uint8_t> TStableImage::GetStream() const {
    if (Image.empty() && Video.empty()) throw std::runtime_error("The stream is empty.");
    return decodeBase64(Image);
}

void TStableImage::SaveToFile(const std::string& path) {
    FileName = path;
    const std::vector<std::uint8_t> bytes = decodeBase64(Video.empty() ? Image : Video);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!out) throw std::runtime_error("Could not write the file " + path);
}

std::optional<TResults> TResults::FromJson(const QJsonObject& object) {
    TResults result;
    if (!result.readJson(object) || !json::readString(object, "id", result.Id)
        || !json::readString(object, "status", result.Status)
        || !json::readString(object, "result", result.Result))
        return std::nullopt;
    return result;
}

} // namespace vst::ai::Common
