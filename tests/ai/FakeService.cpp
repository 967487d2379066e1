#include "FakeService.h"

#include "ai/ImageBytes.h"

#include <QByteArray>

#include <arpa/inet.h>
#include <chrono>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <set>

namespace vst::test {
namespace {

constexpr std::size_t kMaxBody = 10u << 20;

struct RouteRules {
    std::string path;
    std::string imageField;
    std::int64_t maxPixels;
    int minSide;
    int maxSide; ///< 0 = no limit of its own
    bool checkAspect;
    bool job;
    int scale; ///< answer size: input times this; 0 = outpaint margins added
    std::set<std::string> allowed;
    std::vector<std::string> required;
};

const std::vector<RouteRules>& routes() {
    const std::string e = "/v2beta/stable-image/edit/";
    const std::string u = "/v2beta/stable-image/upscale/";
    static const std::vector<RouteRules> table = {
        { e + "erase", "image", 9437184, 64, 0, false, false, 1,
            { "image", "mask", "grow_mask", "seed", "output_format" }, { "image" } },
        { e + "inpaint", "image", 9437184, 64, 0, false, false, 1,
            { "image", "mask", "prompt", "negative_prompt", "grow_mask", "seed", "output_format" },
            { "image", "prompt" } },
        { e + "outpaint", "image", 9437184, 64, 0, true, false, 0,
            { "image", "left", "right", "up", "down", "creativity", "prompt", "seed",
                "output_format" },
            { "image" } },
        { e + "search-and-replace", "image", 9437184, 64, 0, true, false, 1,
            { "image", "prompt", "search_prompt", "negative_prompt", "grow_mask", "seed",
                "output_format" },
            { "image", "prompt", "search_prompt" } },
        { e + "search-and-recolor", "image", 9437184, 64, 0, true, false, 1,
            { "image", "prompt", "select_prompt", "negative_prompt", "grow_mask", "seed",
                "output_format" },
            { "image", "prompt", "select_prompt" } },
        { e + "remove-background", "image", 4194304, 64, 0, false, false, 1,
            { "image", "output_format" }, { "image" } },
        { e + "replace-background-and-relight", "subject_image", 9437184, 64, 0, true, true, 1,
            { "subject_image", "background_reference", "background_prompt", "foreground_prompt",
                "negative_prompt", "preserve_original_subject", "original_background_depth",
                "keep_original_background", "light_source_direction", "light_reference",
                "light_source_strength", "seed", "output_format" },
            { "subject_image", "background_prompt" } },
        { u + "conservative", "image", 9437184, 64, 0, true, false, 2,
            { "image", "prompt", "negative_prompt", "seed", "creativity", "output_format" },
            { "image", "prompt" } },
        { u + "creative", "image", 1048576, 64, 0, false, true, 2,
            { "image", "prompt", "negative_prompt", "seed", "creativity", "output_format" },
            { "image", "prompt" } },
        { u + "fast", "image", 1048576, 32, 1536, false, false, 4, { "image", "output_format" },
            { "image" } },
    };
    return table;
}

void jsonAnswer(httplib::Response& res, int status, const std::string& body) {
    res.status = status;
    res.set_content(body, "application/json");
}

void badRequest(httplib::Response& res, const std::string& message) {
    jsonAnswer(res, 400, errorBody("fake-400", "bad_request", { message }));
}

std::string base64Png(int width, int height) {
    ie::Bitmap bitmap(width, height, ie::PixelFormat::Rgb24);
    bitmap.fill({ 10, 200, 30, 255 });
    const auto png = vst::ai::encodeImage(bitmap, vst::ai::ImageEncoding::Png);
    return QByteArray(reinterpret_cast<const char*>(png.data()), qsizetype(png.size()))
        .toBase64()
        .toStdString();
}

int intField(const RecordedRequest& rec, const char* name) {
    const auto* p = rec.part(name);
    return p ? std::atoi(p->content.c_str()) : 0;
}

// The field checks of one route; an empty text means the request is acceptable.
std::string fieldProblem(const RouteRules& route, const RecordedRequest& rec) {
    for (const auto& part : rec.parts) {
        if (!route.allowed.count(part.name)) return "unknown field " + part.name;
        const bool isImage = part.name == route.imageField || part.name == "mask"
            || part.name == "background_reference" || part.name == "light_reference";
        if (isImage
            && (part.filename != "FileNameForHeader.png" || part.content_type != "image/png"))
            return part.name + ": expected a file part FileNameForHeader.png of type image/png";
        if (!isImage && (!part.filename.empty() || !part.content_type.empty()))
            return part.name + ": a text field has no file name or type";
    }
    for (const auto& name : route.required)
        if (!rec.part(name) || rec.part(name)->content.empty()) return name + ": required";
    if (const auto* f = rec.part("output_format")) {
        const std::string v = f->content;
        if (v != "png" && v != "jpeg" && v != "webp") return "output_format: invalid";
    }
    return {};
}

std::string imageProblem(const RouteRules& route, const ie::Bitmap& image) {
    const int w = image.width();
    const int h = image.height();
    if (w < route.minSide || h < route.minSide) return "image: too small";
    if (image.pixelCount() > route.maxPixels) return "image: too many pixels";
    if (route.maxSide && (w > route.maxSide || h > route.maxSide))
        return "image: a side is too long";
    if (route.checkAspect && (w * 2 > h * 5 || h * 2 > w * 5))
        return "image: aspect ratio out of range";
    return {};
}

} // namespace

std::string RecordedRequest::header(const std::string& name) const {
    auto it = headers.find(name);
    return it == headers.end() ? std::string() : it->second;
}

const httplib::MultipartFormData* RecordedRequest::part(const std::string& name) const {
    for (const auto& p : parts)
        if (p.name == name) return &p;
    return nullptr;
}

std::vector<std::string> RecordedRequest::partNames() const {
    std::vector<std::string> names;
    for (const auto& p : parts)
        names.push_back(p.name);
    return names;
}

std::string errorBody(
    const std::string& id, const std::string& name, const std::vector<std::string>& errors) {
    std::string body = "{\"id\":\"" + id + "\",\"name\":\"" + name + "\",\"errors\":[";
    for (std::size_t i = 0; i < errors.size(); ++i)
        body += (i ? ",\"" : "\"") + errors[i] + "\"";
    return body + "]}";
}

FakeService::FakeService(std::string key)
    : m_key(std::move(key)) {
    m_server.Post(R"(.*)",
        [this](const httplib::Request& req, httplib::Response& res,
            const httplib::ContentReader& reader) {
            RecordedRequest rec;
            rec.method = "POST";
            rec.path = req.path;
            rec.headers = req.headers;
            if (req.is_multipart_form_data()) {
                reader(
                    [&](const httplib::MultipartFormData& file) {
                        rec.parts.push_back(file);
                        return true;
                    },
                    [&](const char* data, std::size_t n) {
                        rec.parts.back().content.append(data, n);
                        rec.bodyBytes += n;
                        return true;
                    });
            } else {
                reader([&](const char*, std::size_t n) {
                    rec.bodyBytes += n;
                    return true;
                });
            }
            handle(req, res, std::move(rec));
        });
    m_server.Get(R"(.*)", [this](const httplib::Request& req, httplib::Response& res) {
        RecordedRequest rec;
        rec.method = "GET";
        rec.path = req.path;
        rec.headers = req.headers;
        handle(req, res, std::move(rec));
    });
    m_port = m_server.bind_to_any_port("127.0.0.1");
    m_thread = std::thread([this] { m_server.listen_after_bind(); });
    while (!m_server.is_running())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

FakeService::~FakeService() {
    m_server.stop();
    m_thread.join();
}

std::string FakeService::baseUrl() const {
    return "http://127.0.0.1:" + std::to_string(m_port);
}

void FakeService::queueAnswer(CannedAnswer answer) {
    std::lock_guard lock(m_mutex);
    m_canned.push_back(std::move(answer));
}

void FakeService::setFinishReason(const std::string& reason) {
    std::lock_guard lock(m_mutex);
    m_finishReason = reason;
}

std::vector<RecordedRequest> FakeService::requests() const {
    std::lock_guard lock(m_mutex);
    return m_requests;
}

RecordedRequest FakeService::lastRequest() const {
    std::lock_guard lock(m_mutex);
    return m_requests.empty() ? RecordedRequest {} : m_requests.back();
}

int FakeService::requestCount() const {
    std::lock_guard lock(m_mutex);
    return int(m_requests.size());
}

void FakeService::handle(const httplib::Request&, httplib::Response& res, RecordedRequest rec) {
    if (const int delay = m_delayMs.load())
        std::this_thread::sleep_for(std::chrono::milliseconds(delay));
    std::optional<CannedAnswer> canned;
    {
        std::lock_guard lock(m_mutex);
        m_requests.push_back(rec);
        if (!m_canned.empty()) {
            canned = m_canned.front();
            m_canned.pop_front();
        }
    }
    if (canned) {
        res.status = canned->status;
        res.set_content(canned->body, canned->contentType.c_str());
        return;
    }
    if (rec.header("authorization") != "Bearer " + m_key)
        return jsonAnswer(res, 401, errorBody("fake-401", "unauthorized", { "bad key" }));
    if (rec.header("accept") != "application/json")
        return jsonAnswer(res, 406, errorBody("fake-406", "not_acceptable", { "accept" }));
    if (rec.method == "GET") return answerResults(rec, res);
    answerRoute(rec, res);
}

void FakeService::answerRoute(const RecordedRequest& rec, httplib::Response& res) {
    const auto& table = routes();
    const auto route = std::find_if(
        table.begin(), table.end(), [&](const RouteRules& r) { return r.path == rec.path; });
    if (route == table.end())
        return jsonAnswer(res, 404, errorBody("fake-404", "not_found", { rec.path }));
    if (rec.bodyBytes > kMaxBody)
        return jsonAnswer(res, 413, errorBody("fake-413", "payload_too_large", { "10 MiB" }));
    if (const std::string problem = fieldProblem(*route, rec); !problem.empty())
        return badRequest(res, problem);
    ie::Bitmap image;
    try {
        const std::string& bytes = rec.part(route->imageField)->content;
        image = vst::ai::decodeImage(
            { reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size() });
    } catch (const std::exception&) {
        return badRequest(res, "image: not an image");
    }
    if (const std::string problem = imageProblem(*route, image); !problem.empty())
        return badRequest(res, problem);
    if (const auto* mask = rec.part("mask")) {
        const ie::Bitmap m = vst::ai::decodeImage(
            { reinterpret_cast<const std::uint8_t*>(mask->content.data()), mask->content.size() });
        if (m.width() != image.width() || m.height() != image.height())
            return badRequest(res, "mask: size differs from the image");
    }
    int width = image.width() * std::max(route->scale, 1);
    int height = image.height() * std::max(route->scale, 1);
    if (route->scale == 0) {
        const int l = intField(rec, "left"), r = intField(rec, "right");
        const int u = intField(rec, "up"), d = intField(rec, "down");
        if (l + r + u + d == 0) return badRequest(res, "outpaint: at least one direction");
        width += l + r;
        height += u + d;
    }
    const std::string image64 = base64Png(width, height);
    std::lock_guard lock(m_mutex);
    if (route->job) {
        const std::string id = "job" + std::to_string(m_nextJob++) + "-abc_DEF";
        m_jobs.emplace_back(id, 0);
        m_jobImages.emplace_back(id, image64);
        return jsonAnswer(res, 200, "{\"id\":\"" + id + "\"}");
    }
    jsonAnswer(res, 200,
        "{\"image\":\"" + image64 + "\",\"finish_reason\":\"" + m_finishReason + "\",\"seed\":42}");
}

void FakeService::answerResults(const RecordedRequest& rec, httplib::Response& res) {
    const std::string prefix = "/v2beta/results/";
    if (rec.path.rfind(prefix, 0) != 0)
        return jsonAnswer(res, 404, errorBody("fake-404", "not_found", { rec.path }));
    const std::string id = rec.path.substr(prefix.size());
    std::lock_guard lock(m_mutex);
    for (std::size_t i = 0; i < m_jobs.size(); ++i) {
        if (m_jobs[i].first != id) continue;
        if (m_jobs[i].second++ < m_pollsBeforeDone.load())
            return jsonAnswer(res, 202, "{\"id\":\"" + id + "\",\"status\":\"in-progress\"}");
        return jsonAnswer(res, 200,
            "{\"result\":\"" + m_jobImages[i].second + "\",\"finish_reason\":\"" + m_finishReason
                + "\",\"seed\":7}");
    }
    jsonAnswer(res, 404, errorBody("fake-404", "not_found", { "no such job" }));
}

RawServer::RawServer(std::string reply)
    : m_reply(std::move(reply)) {
    m_listen = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr {};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(m_listen, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    ::listen(m_listen, 8);
    socklen_t len = sizeof addr;
    ::getsockname(m_listen, reinterpret_cast<sockaddr*>(&addr), &len);
    m_port = ntohs(addr.sin_port);
    m_thread = std::thread([this] { serve(); });
}

RawServer::~RawServer() {
    m_stop = true;
    m_thread.join();
    ::close(m_listen);
}

std::string RawServer::baseUrl() const {
    return "http://127.0.0.1:" + std::to_string(m_port);
}

std::string RawServer::received() const {
    std::lock_guard lock(m_mutex);
    return m_received;
}

void RawServer::serve() {
    std::vector<int> clients;
    while (!m_stop) {
        pollfd fd { m_listen, POLLIN, 0 };
        if (::poll(&fd, 1, 20) > 0) {
            const int client = ::accept(m_listen, nullptr, nullptr);
            if (client < 0) continue;
            clients.push_back(client);
            std::string request;
            char buffer[4096];
            while (request.find("\r\n\r\n") == std::string::npos && !m_stop) {
                pollfd cfd { client, POLLIN, 0 };
                if (::poll(&cfd, 1, 20) <= 0) continue;
                const ssize_t n = ::recv(client, buffer, sizeof buffer, 0);
                if (n <= 0) break;
                request.append(buffer, std::size_t(n));
            }
            const std::size_t headEnd = request.find("\r\n\r\n");
            std::string lower = request.substr(0, headEnd);
            std::transform(lower.begin(), lower.end(), lower.begin(), ::tolower);
            const auto lengthAt = lower.find("content-length:");
            const std::size_t want = lengthAt == std::string::npos
                ? 0
                : std::size_t(std::atoll(lower.c_str() + lengthAt + 15));
            while (headEnd != std::string::npos && request.size() < headEnd + 4 + want && !m_stop) {
                pollfd cfd { client, POLLIN, 0 };
                if (::poll(&cfd, 1, 20) <= 0) continue;
                const ssize_t n = ::recv(client, buffer, sizeof buffer, 0);
                if (n <= 0) break;
                request.append(buffer, std::size_t(n));
            }
            {
                std::lock_guard lock(m_mutex);
                m_received += request;
            }
            if (!m_reply.empty())
                (void)!::send(client, m_reply.data(), m_reply.size(), MSG_NOSIGNAL);
        }
    }
    for (const int client : clients)
        ::close(client);
}

} // namespace vst::test
