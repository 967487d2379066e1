// Shared helpers of the AI client tests: a client aimed at a fake, small images, event pumping.
#pragma once

#include "FakeService.h"

#include "ai/StabilityAI.h"
#include "imaging/Bitmap.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vst::test {

/// A client with `key` whose base address is `baseUrl`.
std::shared_ptr<vst::ai::IStabilityAI> clientFor(
    const std::string& baseUrl, const std::string& key = "test-key");

/// PNG bytes of a plain image.
std::vector<std::uint8_t> pngOf(int width, int height, bool alpha = false);

/// Creates the application object the asynchronous runner delivers through (once).
void ensureApplication();

/// Runs the event loop until `done` holds or `timeoutMs` passed; returns `done()`.
bool pumpUntil(const std::function<bool()>& done, int timeoutMs = 10000);

/// A raw HTTP answer with a JSON body.
std::string rawJsonAnswer(int status, const std::string& body);

} // namespace vst::test
