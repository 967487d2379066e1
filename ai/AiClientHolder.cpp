#include "AiClientHolder.h"

#include "ApiKeyText.h"

#include <mutex>

namespace vst::ai {
namespace {
std::mutex& holderMutex() {
    static std::mutex mutex;
    return mutex;
}
std::shared_ptr<IStabilityAI>& holder() {
    static std::shared_ptr<IStabilityAI> client;
    return client;
}
} // namespace

std::shared_ptr<IStabilityAI> currentAiClient() {
    std::lock_guard lock(holderMutex());
    return holder();
}

void setCurrentAiClient(std::shared_ptr<IStabilityAI> client) {
    std::shared_ptr<IStabilityAI> old;
    {
        std::lock_guard lock(holderMutex());
        old = std::exchange(holder(), std::move(client));
    }
    // `old` goes here, outside the lock; a running request may still hold it.
}

bool replaceAiClientForKey(const std::string& key) {
    const std::string trimmed = trimmedKey(key);
    if (trimmed.empty()) return false;
    setCurrentAiClient(TStabilityAIFactory::CreateInstance(trimmed));
    return true;
}

} // namespace vst::ai
