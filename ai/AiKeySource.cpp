#include "AiKeySource.h"

#include "ApiKeyText.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace vst::ai {

std::string apiKeyForCommandLine(const std::optional<std::string>& keyFile) {
    std::string key;
    if (keyFile) {
        std::ifstream in(*keyFile, std::ios::binary);
        if (!in) throw std::runtime_error("Could not read the key file " + *keyFile);
        key.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    } else if (const char* value = std::getenv(kApiKeyVariable)) {
        key = value;
    }
    key = trimmedKey(key);
    if (key.empty())
        throw std::runtime_error(
            std::string("No API key: give --key-file F or set ") + kApiKeyVariable + ".");
    if (keyHasControlCharacters(key))
        throw std::runtime_error("The API key holds control characters.");
    return key;
}

} // namespace vst::ai
