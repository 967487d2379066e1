#include "HttpTransport.h"

#include <curl/curl.h>

#include <chrono>
#include <cstring>
#include <mutex>

namespace vst::ai {
namespace {

// Answers of the service are a few images in JSON; anything far larger is not an answer.
constexpr std::size_t kMaxResponseBytes = std::size_t(512) << 20;

struct Transfer {
    HttpResponse response;
    const TransferLimits* limits = nullptr;
    bool tooLarge = false;
    bool stalled = false;
    curl_off_t lastBytes = -1;
    std::chrono::steady_clock::time_point lastActivity = std::chrono::steady_clock::now();
};

void initCurlOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

std::size_t onBody(char* data, std::size_t size, std::size_t count, void* user) {
    auto* transfer = static_cast<Transfer*>(user);
    const std::size_t n = size * count;
    if (transfer->response.body.size() + n > kMaxResponseBytes) {
        transfer->tooLarge = true;
        return 0;
    }
    transfer->response.body.append(data, n);
    return n;
}

std::string trimmed(std::string text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.back()))
        text.pop_back();
    std::size_t start = 0;
    while (start < text.size() && blank(text[start]))
        ++start;
    return text.substr(start);
}

std::size_t onHeader(char* data, std::size_t size, std::size_t count, void* user) {
    auto* transfer = static_cast<Transfer*>(user);
    const std::size_t n = size * count;
    const std::string line(data, n);
    if (line.rfind("HTTP/", 0) == 0) {
        transfer->response.headers.clear(); // a new status line: 100 Continue or a redirect
        return n;
    }
    const auto colon = line.find(':');
    if (colon != std::string::npos)
        transfer->response.headers.emplace_back(
            trimmed(line.substr(0, colon)), trimmed(line.substr(colon + 1)));
    return n;
}

// Also the stall watch: any byte in either direction counts as activity. (curl's own low-speed
// check averages over several seconds and so stops a stalled request late.)
int onProgress(void* user, curl_off_t, curl_off_t down, curl_off_t, curl_off_t up) {
    auto* transfer = static_cast<Transfer*>(user);
    if (transfer->limits->cancel.cancelled()) return 1;
    const auto now = std::chrono::steady_clock::now();
    if (down + up != transfer->lastBytes) {
        transfer->lastBytes = down + up;
        transfer->lastActivity = now;
    } else if (now - transfer->lastActivity
        >= std::chrono::seconds(transfer->limits->stallTimeoutSeconds)) {
        transfer->stalled = true;
        return 1;
    }
    return 0;
}

struct EasyHandle {
    CURL* curl = curl_easy_init();
    curl_slist* headers = nullptr;
    curl_mime* mime = nullptr;
    ~EasyHandle() {
        curl_mime_free(mime);
        curl_slist_free_all(headers);
        curl_easy_cleanup(curl);
    }
};

curl_mime* buildMime(CURL* curl, const TMultipartFormData& form) {
    curl_mime* mime = curl_mime_init(curl);
    for (const TFormPart& part : form.Parts()) {
        curl_mimepart* p = curl_mime_addpart(mime);
        curl_mime_name(p, part.Name.c_str());
        curl_mime_data(p, part.Data.data(), part.Data.size());
        if (part.FileName) curl_mime_filename(p, part.FileName->c_str());
        if (!part.ContentType.empty()) curl_mime_type(p, part.ContentType.c_str());
    }
    return mime;
}

std::string failureText(CURLcode code, const char* detail, const TransferLimits& limits) {
    if (code == CURLE_OPERATION_TIMEDOUT)
        return "Could not connect to the service within "
            + std::to_string(limits.connectTimeoutSeconds) + " seconds.";
    std::string text = curl_easy_strerror(code);
    if (detail && *detail) text += std::string(": ") + detail;
    return "Could not reach the service (" + text + ").";
}

void setOptions(EasyHandle& h, const HttpRequest& request, const TransferLimits& limits,
    Transfer& transfer, char* errorBuffer) {
    CURL* c = h.curl;
    curl_easy_setopt(c, CURLOPT_URL, request.url.c_str());
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, errorBuffer);
    curl_easy_setopt(c, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(c, CURLOPT_SSL_VERIFYHOST, 2L);
    curl_easy_setopt(c, CURLOPT_HTTP_VERSION, long(CURL_HTTP_VERSION_2TLS));
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT, long(limits.connectTimeoutSeconds));
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, onBody);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(c, CURLOPT_HEADERFUNCTION, onHeader);
    curl_easy_setopt(c, CURLOPT_HEADERDATA, &transfer);
    curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, onProgress);
    curl_easy_setopt(c, CURLOPT_XFERINFODATA, &transfer);
    for (const auto& [name, value] : request.headers)
        h.headers = curl_slist_append(h.headers, (name + ": " + value).c_str());
    // No "Expect: 100-continue" round trip before large bodies.
    h.headers = curl_slist_append(h.headers, "Expect:");
    curl_easy_setopt(c, CURLOPT_HTTPHEADER, h.headers);
    if (request.method == "POST") {
        if (request.form) {
            h.mime = buildMime(c, *request.form);
            curl_easy_setopt(c, CURLOPT_MIMEPOST, h.mime);
        } else {
            curl_easy_setopt(c, CURLOPT_POSTFIELDS, request.body.data());
            curl_easy_setopt(c, CURLOPT_POSTFIELDSIZE_LARGE, curl_off_t(request.body.size()));
        }
    } else {
        curl_easy_setopt(c, CURLOPT_HTTPGET, 1L);
    }
}

} // namespace

HttpResponse performHttp(const HttpRequest& request, const TransferLimits& limits) {
    initCurlOnce();
    if (limits.cancel.cancelled()) throw RequestCancelled();
    EasyHandle handle;
    if (!handle.curl) throw TransportError("Could not start an HTTP request.");
    Transfer transfer;
    transfer.limits = &limits;
    char errorBuffer[CURL_ERROR_SIZE] = {};
    setOptions(handle, request, limits, transfer, errorBuffer);
    const CURLcode code = curl_easy_perform(handle.curl);
    if (code == CURLE_ABORTED_BY_CALLBACK && transfer.stalled)
        throw TransportError("The service sent nothing for "
            + std::to_string(limits.stallTimeoutSeconds) + " seconds; the request was stopped.");
    if (code == CURLE_ABORTED_BY_CALLBACK) throw RequestCancelled();
    if (transfer.tooLarge) throw TransportError("The service's answer is too large.");
    if (code != CURLE_OK) throw TransportError(failureText(code, errorBuffer, limits));
    curl_easy_getinfo(handle.curl, CURLINFO_RESPONSE_CODE, &transfer.response.status);
    return std::move(transfer.response);
}

} // namespace vst::ai
