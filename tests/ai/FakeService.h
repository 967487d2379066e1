// An in-process fake of the AI image service on 127.0.0.1 for the client's tests.
#pragma once

#include <httplib.h>

#include <atomic>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vst::test {

/// One request as the fake saw it.
struct RecordedRequest {
    std::string method;
    std::string path;
    httplib::Headers headers;
    std::vector<httplib::MultipartFormData> parts; ///< in wire order
    std::size_t bodyBytes = 0;

    std::string header(const std::string& name) const;
    /// The first part named `name`, or null.
    const httplib::MultipartFormData* part(const std::string& name) const;
    /// The part names in wire order.
    std::vector<std::string> partNames() const;
};

/// An answer served instead of the route's own (error bodies, HTML, empty bodies ...).
struct CannedAnswer {
    int status = 200;
    std::string body;
    std::string contentType = "application/json";
};

/// Checks the key, method, path, headers and fields of every route and the documented image
/// limits, and answers as the service does: JSON with base64 PNG images, jobs that answer
/// "in-progress" before their result.
class FakeService {
public:
    explicit FakeService(std::string key = "test-key");
    ~FakeService();

    std::string baseUrl() const;
    /// The next request (after it is recorded) gets this answer.
    void queueAnswer(CannedAnswer answer);
    /// Every answer waits this long first.
    void setDelayMs(int ms) { m_delayMs = ms; }
    /// How many "in-progress" answers a job gives before its result.
    void setPollsBeforeDone(int n) { m_pollsBeforeDone = n; }
    /// The finish reason of image answers ("SUCCESS" unless set).
    void setFinishReason(const std::string& reason);

    std::vector<RecordedRequest> requests() const;
    RecordedRequest lastRequest() const;
    int requestCount() const;

private:
    void handle(const httplib::Request& req, httplib::Response& res, RecordedRequest rec);
    void answerRoute(const RecordedRequest& rec, httplib::Response& res);
    void answerResults(const RecordedRequest& rec, httplib::Response& res);

    std::string m_key;
    httplib::Server m_server;
    std::thread m_thread;
    int m_port = 0;
    std::atomic<int> m_delayMs { 0 };
    std::atomic<int> m_pollsBeforeDone { 1 };
    mutable std::mutex m_mutex;
    std::deque<CannedAnswer> m_canned;
    std::vector<RecordedRequest> m_requests;
    std::vector<std::pair<std::string, int>> m_jobs; ///< id, polls so far
    std::vector<std::pair<std::string, std::string>> m_jobImages; ///< id, base64 result
    std::string m_finishReason = "SUCCESS";
    int m_nextJob = 1;
};

/// A bare TCP server for what the HTTP fake cannot show: the raw request bytes (header order)
/// and a server that accepts and then never answers.
class RawServer {
public:
    /// `reply` is sent after the request headers arrive; empty = stall until destroyed.
    explicit RawServer(std::string reply);
    ~RawServer();

    std::string baseUrl() const;
    /// The request bytes received so far (headers and what came of the body).
    std::string received() const;

private:
    void serve();

    std::string m_reply;
    int m_listen = -1;
    int m_port = 0;
    std::atomic<bool> m_stop { false };
    std::thread m_thread;
    mutable std::mutex m_mutex;
    std::string m_received;
};

/// "{"id":..., "name":..., "errors":[...]}".
std::string errorBody(
    const std::string& id, const std::string& name, const std::vector<std::string>& errors);

} // namespace vst::test
