#include "AiTestSupport.h"

#include "ai/ImageBytes.h"

#include <QCoreApplication>

#include <chrono>
#include <thread>

namespace vst::test {

std::shared_ptr<vst::ai::IStabilityAI> clientFor(
    const std::string& baseUrl, const std::string& key) {
    auto client = vst::ai::TStabilityAIFactory::CreateInstance(key);
    client->setBaseURL(baseUrl);
    return client;
}

std::vector<std::uint8_t> pngOf(int width, int height, bool alpha) {
    ie::Bitmap bitmap(width, height, alpha ? ie::PixelFormat::Rgba32 : ie::PixelFormat::Rgb24);
    bitmap.fill({ 120, 80, 40, std::uint8_t(alpha ? 128 : 255) });
    return vst::ai::encodeImage(bitmap, vst::ai::ImageEncoding::Png);
}

void ensureApplication() {
    static int argc = 1;
    static char name[] = "test_ai";
    static char* argv[] = { name, nullptr };
    if (!QCoreApplication::instance()) new QCoreApplication(argc, argv);
}

bool pumpUntil(const std::function<bool()>& done, int timeoutMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done() && std::chrono::steady_clock::now() < end) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    QCoreApplication::processEvents();
    return done();
}

std::string rawJsonAnswer(int status, const std::string& body) {
    return "HTTP/1.1 " + std::to_string(status) + " X\r\nContent-Type: application/json\r\n"
        + "Content-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
}

} // namespace vst::test
