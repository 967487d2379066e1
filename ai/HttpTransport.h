// One HTTP exchange over libcurl: a fresh easy handle per request, with time-outs and cancelling.
#pragma once

#include "MultipartForm.h"

#include <atomic>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace vst::ai {

/// Header pairs in the order they go on the wire.
using THeaders = std::vector<std::pair<std::string, std::string>>;

/// Lets another thread stop a running request. Copies share the same flag.
class CancelToken {
public:
    CancelToken()
        : m_flag(std::make_shared<std::atomic<bool>>(false)) { }
    void cancel() const { m_flag->store(true); }
    bool cancelled() const { return m_flag->load(); }

private:
    std::shared_ptr<std::atomic<bool>> m_flag;
};

/// A failure of the exchange itself: no connection, name resolution, TLS, time-out.
class TransportError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// The request was cancelled by its caller.
class RequestCancelled : public TransportError {
public:
    RequestCancelled()
        : TransportError("The request was cancelled.") { }
};

/// What to send.
struct HttpRequest {
    std::string method = "GET"; ///< "GET" or "POST"
    std::string url;
    THeaders headers;
    const TMultipartFormData* form = nullptr; ///< multipart body (POST)
    std::string body; ///< raw body when there is no form (POST)
};

/// What came back.
struct HttpResponse {
    long status = 0;
    std::string body;
    THeaders headers;
};

/// Time limits and the cancel flag of one exchange.
struct TransferLimits {
    int connectTimeoutSeconds = 30;
    int stallTimeoutSeconds = 120; ///< no byte in either direction for this long ends it
    CancelToken cancel;
};

/// Performs one exchange with TLS peer and host checks, HTTP/2 when offered and the proxy of
/// the environment. Throws TransportError (RequestCancelled when cancelled).
HttpResponse performHttp(const HttpRequest& request, const TransferLimits& limits);

} // namespace vst::ai
