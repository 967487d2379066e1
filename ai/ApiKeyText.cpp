#include "ApiKeyText.h"

namespace vst::ai {
namespace {
bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
} // namespace

std::string trimmedKey(const std::string& key) {
    std::size_t begin = 0;
    std::size_t end = key.size();
    while (begin < end && isBlank(key[begin]))
        ++begin;
    while (end > begin && isBlank(key[end - 1]))
        --end;
    return key.substr(begin, end - begin);
}

bool keyHasControlCharacters(const std::string& key) {
    for (const char c : trimmedKey(key)) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 32 || u == 127) return true;
    }
    return false;
}

} // namespace vst::ai
