// The HTTP layer of the AI service client: settings, headers, sending, decoding and exceptions.
#pragma once

#include "HttpTransport.h"
#include "JsonRead.h"
#include "MultipartForm.h"
#include "StabilityAI.Async.Support.h"
#include "StabilityAI.Errors.h"

#include <QJsonObject>

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <type_traits>

namespace vst::ai {

/// A failed request with the service's status and error body.
class StabilityAIException : public std::runtime_error {
public:
    /// Message "error %d: %s".
    StabilityAIException(std::int64_t ACode, const std::string& Value);
    /// Message "error (%d) - type %s\r\n%s" from a decoded error body.
    StabilityAIException(std::int64_t ACode, const TErrorCore& AError);

    std::int64_t Code() const { return m_code; }
    const std::string& Id() const { return m_id; }
    const std::string& Name() const { return m_name; }
    /// The body's errors joined with LF.
    const std::string& Errors() const { return m_errors; }

private:
    std::int64_t m_code = 0;
    std::string m_id;
    std::string m_name;
    std::string m_errors;
};

#define VST_AI_STATUS_EXCEPTION(Name)                                                              \
    class Name : public StabilityAIException {                                                     \
    public:                                                                                        \
        using StabilityAIException::StabilityAIException;                                          \
    };
VST_AI_STATUS_EXCEPTION(StabilityAIExceptionBadRequestError)
VST_AI_STATUS_EXCEPTION(StabilityAIExceptionUnauthorizedError)
VST_AI_STATUS_EXCEPTION(StabilityAIExceptionNotFoundError)
VST_AI_STATUS_EXCEPTION(StabilityAIExceptionInvalidLanguageError)
VST_AI_STATUS_EXCEPTION(StabilityAIExceptionRateLimitExceededError)
VST_AI_STATUS_EXCEPTION(StabilityAIExceptionContentModerationError)
VST_AI_STATUS_EXCEPTION(StabilityAIExceptionPayloadTooLargeError)
VST_AI_STATUS_EXCEPTION(StabilityAIExceptionInternalServerError)
VST_AI_STATUS_EXCEPTION(StabilityAIExceptionInvalidResponse)
#undef VST_AI_STATUS_EXCEPTION

/// Missing token or base address.
class StabilityAIExceptionAPI : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// Per-request options the routes pass down to the transport.
struct RequestOptions {
    CancelToken Cancel;
};

/// A decoded answer: status, body and headers.
using TResponse = HttpResponse;

/// Base of results that are raw bytes rather than JSON.
class TModelDataReturned {
public:
    std::string ContentType;
    std::string Data;
};

/// The service's address, key and headers, and the sending of one request.
/// Safe to use from several threads: fields are read and written under a lock, and every
/// request builds its own header list.
class TStabilityAIAPI {
public:
    /// The service's HTTPS origin.
    static constexpr const char* kDefaultBaseUrl = "https://api.stability.ai";

    TStabilityAIAPI();

    std::string Token() const;
    void setToken(const std::string& value);
    std::string BaseUrl() const;
    void setBaseUrl(const std::string& value);
    std::string ClientId() const;
    /// Throws when longer than 256 characters.
    void setClientId(const std::string& value);
    std::string ClientUserId() const;
    void setClientUserId(const std::string& value);
    std::string ClientVersion() const;
    void setClientVersion(const std::string& value);
    THeaders CustomHeaders() const;
    void setCustomHeaders(const THeaders& value);
    /// Seconds to wait for a connection, and without any byte before a request is stopped.
    void setTimeouts(int connectSeconds, int stallSeconds);

    /// Throws StabilityAIExceptionAPI when the token or the base address is missing, and when
    /// the token holds control characters (it could not go into a header).
    void ValidateSettings() const;
    /// BaseUrl, "/" and the path.
    std::string ComposeUrl(const std::string& path) const;
    /// authorization, the stored custom headers, the three client headers when set.
    THeaders ComposeHeaders() const;
    /// The same with `custom` in place of the stored custom headers.
    THeaders ComposeHeaders(const THeaders& custom) const;

    /// POSTs the form; `custom` goes where the custom headers go.
    TResponse SendForm(const std::string& path, const TMultipartFormData& form,
        const THeaders& custom, const RequestOptions& options = {}) const;
    /// POSTs a JSON object as ASCII text with "\u" escapes.
    TResponse SendJson(const std::string& path, const QJsonObject& body, const THeaders& custom,
        const RequestOptions& options = {}) const;
    /// GETs the path.
    TResponse SendGet(
        const std::string& path, const THeaders& custom, const RequestOptions& options = {}) const;
    /// GETs the path into `Response`; a failure status with a JSON error body raises, any
    /// other failure status leaves the error body in `Response`.
    void GetFile(
        const std::string& Path, std::string& Response, const RequestOptions& options = {}) const;

private:
    TResponse send(HttpRequest request, const THeaders& custom, const RequestOptions& options,
        const char* contentType) const;

    mutable std::mutex m_mutex;
    std::string FToken;
    std::string FBaseUrl;
    std::string FClientId;
    std::string FClientUserId;
    std::string FClientVersion;
    THeaders FCustomHeaders;
    int m_connectTimeout = 30;
    int m_stallTimeout = 120;
};

/// Always raises: the exception class chosen by the status, filled from the error body.
[[noreturn]] void RaiseForStatus(std::int64_t code, const TError& error);

/// Raises through RaiseForStatus when the body decodes as an error body; returns otherwise.
void ParseErrorBody(std::int64_t code, const std::string& body);

/// The exception for an answer that is empty or cannot be decoded.
[[noreturn]] void RaiseInvalidResponse(std::int64_t code);

/// The answer decoded into T (T::FromJson), or raises. Results deriving from TModelDataReturned
/// take the bytes and the content type as they came.
template <class T> T DecodeResult(const TResponse& response) {
    if constexpr (std::is_base_of_v<TModelDataReturned, T>) {
        T result;
        result.Data = response.body;
        for (const auto& [name, value] : response.headers) {
            std::string lower = name;
            for (char& c : lower)
                c = char(std::tolower(static_cast<unsigned char>(c)));
            if (lower == "content-type") {
                result.ContentType = value;
                for (char& c : result.ContentType)
                    c = char(std::tolower(static_cast<unsigned char>(c)));
                break;
            }
        }
        return result;
    } else {
        const std::int64_t code = response.status;
        if (code >= 200 && code <= 299) {
            if (auto object = json::parseObject(response.body))
                if (std::optional<T> result = T::FromJson(*object)) return std::move(*result);
        } else {
            ParseErrorBody(code, response.body);
        }
        RaiseInvalidResponse(code);
    }
}

/// Keeps whatever a route belongs to alive while one of its requests runs.
using TLifetimeAnchor = std::function<std::shared_ptr<const void>()>;

/// Base of every route: the API object it sends through (not owned).
class TStabilityAIAPIRoute {
public:
    /// `anchor` gives a strong reference to the client that owns the API object.
    TStabilityAIAPIRoute(TStabilityAIAPI& AAPI, TLifetimeAnchor anchor = {});
    virtual ~TStabilityAIAPIRoute() = default;

    TStabilityAIAPI& API() const { return *m_api; }
    /// A strong reference to the owning client, held by each running request.
    std::shared_ptr<const void> keepAlive() const;

protected:
    /// The one custom header every JSON route sends.
    static THeaders acceptJson() { return { { "accept", "application/json" } }; }

    /// Fills a new parameter object with `proc`, posts it and decodes the answer.
    template <class TResult, class TParams>
    TResult postForm(const std::string& path, const std::function<void(TParams&)>& proc,
        const RequestOptions& options) const {
        TParams params;
        if (proc) proc(params);
        return DecodeResult<TResult>(API().SendForm(path, params, acceptJson(), options));
    }

    /// Runs the synchronous overload `method` of the route class C on the thread pool; the task
    /// holds the client alive and gets a cancel token, which is returned.
    template <class U, class C, class Arg>
    CancelToken async(U (C::*method)(const Arg&, const RequestOptions&) const, const Arg& arg,
        const std::function<TAsynCallBack<U>()>& callbacks) const {
        const C* route = static_cast<const C*>(this);
        return runAsync<U>(
            [route, keep = keepAlive(), arg, method](const CancelToken& token) {
                return (route->*method)(arg, RequestOptions { token });
            },
            callbacks);
    }

private:
    TStabilityAIAPI* m_api;
    TLifetimeAnchor m_anchor;
};

} // namespace vst::ai
