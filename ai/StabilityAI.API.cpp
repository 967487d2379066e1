#include "StabilityAI.API.h"

#include "ApiKeyText.h"

#include <QJsonDocument>

#include <cstdio>

namespace vst::ai {
namespace {

std::string joinLines(const std::vector<std::string>& lines) {
    std::string joined;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i) joined += '\n';
        joined += lines[i];
    }
    return joined;
}

std::string plainMessage(std::int64_t code, const std::string& text) {
    return "error " + std::to_string(code) + ": " + text;
}

std::string errorBodyMessage(std::int64_t code, const TError& error) {
    return "error (" + std::to_string(code) + ") - type " + error.Name + "\r\n"
        + joinLines(error.Errors);
}

const TError& asError(const TErrorCore& core) {
    const auto* error = dynamic_cast<const TError*>(&core);
    if (!error) throw std::invalid_argument("the error body is not a TError");
    return *error;
}

void checkHeaderLength(const char* header, const std::string& value) {
    if (value.size() > 256)
        throw std::runtime_error(std::string(header) + " length must be lower than 256 chars : ("
            + std::to_string(value.size()) + ")");
}

// Every character outside printable ASCII as a \u escape, so the body is plain ASCII.
std::string asciiJson(const QJsonObject& object) {
    const QString text = QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
    std::string out;
    out.reserve(std::size_t(text.size()));
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 32 || u > 127) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", unsigned(u));
            out += escape;
        } else {
            out += char(u);
        }
    }
    return out;
}

} // namespace

StabilityAIException::StabilityAIException(std::int64_t ACode, const std::string& Value)
    : std::runtime_error(plainMessage(ACode, Value))
    , m_code(ACode) { }

StabilityAIException::StabilityAIException(std::int64_t ACode, const TErrorCore& AError)
    : std::runtime_error(errorBodyMessage(ACode, asError(AError)))
    , m_code(ACode)
    , m_id(asError(AError).Id)
    , m_name(asError(AError).Name)
    , m_errors(joinLines(asError(AError).Errors)) { }

TStabilityAIAPI::TStabilityAIAPI()
    : FBaseUrl(kDefaultBaseUrl) { }

std::string TStabilityAIAPI::Token() const {
    std::lock_guard lock(m_mutex);
    return FToken;
}

void TStabilityAIAPI::setToken(const std::string& value) {
    std::lock_guard lock(m_mutex);
    FToken = value;
}

std::string TStabilityAIAPI::BaseUrl() const {
    std::lock_guard lock(m_mutex);
    return FBaseUrl;
}

void TStabilityAIAPI::setBaseUrl(const std::string& value) {
    std::lock_guard lock(m_mutex);
    FBaseUrl = value;
}

std::string TStabilityAIAPI::ClientId() const {
    std::lock_guard lock(m_mutex);
    return FClientId;
}

void TStabilityAIAPI::setClientId(const std::string& value) {
    checkHeaderLength("stability-client-id", value);
    std::lock_guard lock(m_mutex);
    FClientId = value;
}

std::string TStabilityAIAPI::ClientUserId() const {
    std::lock_guard lock(m_mutex);
    return FClientUserId;
}

void TStabilityAIAPI::setClientUserId(const std::string& value) {
    checkHeaderLength("stability-client-user-id", value);
    std::lock_guard lock(m_mutex);
    FClientUserId = value;
}

std::string TStabilityAIAPI::ClientVersion() const {
    std::lock_guard lock(m_mutex);
    return FClientVersion;
}

void TStabilityAIAPI::setClientVersion(const std::string& value) {
    checkHeaderLength("stability-client-version", value);
    std::lock_guard lock(m_mutex);
    FClientVersion = value;
}

THeaders TStabilityAIAPI::CustomHeaders() const {
    std::lock_guard lock(m_mutex);
    return FCustomHeaders;
}

void TStabilityAIAPI::setCustomHeaders(const THeaders& value) {
    std::lock_guard lock(m_mutex);
    FCustomHeaders = value;
}

void TStabilityAIAPI::setTimeouts(int connectSeconds, int stallSeconds) {
    std::lock_guard lock(m_mutex);
    m_connectTimeout = connectSeconds;
    m_stallTimeout = stallSeconds;
}

void TStabilityAIAPI::ValidateSettings() const {
    std::lock_guard lock(m_mutex);
    if (trimmedKey(FToken).empty()) throw StabilityAIExceptionAPI("Token is empty!");
    if (keyHasControlCharacters(FToken))
        throw StabilityAIExceptionAPI(
            "The API key holds control characters; enter it again in the API key dialog.");
    if (FBaseUrl.empty()) throw StabilityAIExceptionAPI("Base url is empty!");
}

std::string TStabilityAIAPI::ComposeUrl(const std::string& path) const {
    return BaseUrl() + "/" + path;
}

THeaders TStabilityAIAPI::ComposeHeaders() const {
    return ComposeHeaders(CustomHeaders());
}

THeaders TStabilityAIAPI::ComposeHeaders(const THeaders& custom) const {
    std::lock_guard lock(m_mutex);
    THeaders headers { { "authorization", "Bearer " + trimmedKey(FToken) } };
    headers.insert(headers.end(), custom.begin(), custom.end());
    if (!FClientId.empty()) headers.emplace_back("stability-client-id", FClientId);
    if (!FClientUserId.empty()) headers.emplace_back("stability-client-user-id", FClientUserId);
    if (!FClientVersion.empty()) headers.emplace_back("stability-client-version", FClientVersion);
    return headers;
}

TResponse TStabilityAIAPI::send(HttpRequest request, const THeaders& custom,
    const RequestOptions& options, const char* contentType) const {
    ValidateSettings();
    request.url = ComposeUrl(request.url);
    request.headers = ComposeHeaders(custom);
    if (contentType) request.headers.emplace_back("Content-Type", contentType);
    request.headers.emplace_back("Accept-Charset", "utf-8");
    TransferLimits limits;
    {
        std::lock_guard lock(m_mutex);
        limits.connectTimeoutSeconds = m_connectTimeout;
        limits.stallTimeoutSeconds = m_stallTimeout;
    }
    limits.cancel = options.Cancel;
    return performHttp(request, limits);
}

TResponse TStabilityAIAPI::SendForm(const std::string& path, const TMultipartFormData& form,
    const THeaders& custom, const RequestOptions& options) const {
    HttpRequest request;
    request.method = "POST";
    request.url = path;
    request.form = &form;
    return send(std::move(request), custom, options, nullptr);
}

TResponse TStabilityAIAPI::SendJson(const std::string& path, const QJsonObject& body,
    const THeaders& custom, const RequestOptions& options) const {
    HttpRequest request;
    request.method = "POST";
    request.url = path;
    request.body = asciiJson(body);
    return send(std::move(request), custom, options, "application/json");
}

TResponse TStabilityAIAPI::SendGet(
    const std::string& path, const THeaders& custom, const RequestOptions& options) const {
    HttpRequest request;
    request.url = path;
    return send(std::move(request), custom, options, nullptr);
}

void TStabilityAIAPI::GetFile(
    const std::string& Path, std::string& Response, const RequestOptions& options) const {
    TResponse response = SendGet(Path, CustomHeaders(), options);
    Response = std::move(response.body);
    if (response.status < 200 || response.status > 299) ParseErrorBody(response.status, Response);
}

void RaiseForStatus(std::int64_t code, const TError& error) {
    switch (code) {
    case 400:
        throw StabilityAIExceptionBadRequestError(code, error);
    case 401:
        throw StabilityAIExceptionUnauthorizedError(code, error);
    case 403:
        throw StabilityAIExceptionContentModerationError(code, error);
    case 404:
        throw StabilityAIExceptionNotFoundError(code, error);
    case 413:
        throw StabilityAIExceptionPayloadTooLargeError(code, error);
    case 422:
        throw StabilityAIExceptionInvalidLanguageError(code, error);
    case 429:
        throw StabilityAIExceptionRateLimitExceededError(code, error);
    case 500:
        throw StabilityAIExceptionInternalServerError(code, error);
    default:
        throw StabilityAIException(code, error);
    }
}

void ParseErrorBody(std::int64_t code, const std::string& body) {
    const auto object = json::parseObject(body);
    if (!object) return;
    if (const auto error = TError::FromJson(*object)) RaiseForStatus(code, *error);
}

void RaiseInvalidResponse(std::int64_t code) {
    throw StabilityAIExceptionInvalidResponse(code, std::string("Empty or invalid response"));
}

TStabilityAIAPIRoute::TStabilityAIAPIRoute(TStabilityAIAPI& AAPI, TLifetimeAnchor anchor)
    : m_api(&AAPI)
    , m_anchor(std::move(anchor)) { }

std::shared_ptr<const void> TStabilityAIAPIRoute::keepAlive() const {
    return m_anchor ? m_anchor() : nullptr;
}

} // namespace vst::ai
