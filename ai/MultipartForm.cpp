#include "MultipartForm.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace vst::ai {

void TMultipartFormData::AddField(const std::string& name, const std::string& value) {
    m_parts.push_back({ name, value, std::nullopt, {} });
}

void TMultipartFormData::AddImage(const std::string& name, std::span<const std::uint8_t> bytes) {
    m_parts.push_back({ name, std::string(bytes.begin(), bytes.end()), std::string(kImageFileName),
        "image/png" });
}

void TMultipartFormData::AddImageFile(const std::string& name, const std::string& filePath) {
    std::ifstream in(filePath, std::ios::binary);
    if (!in) throw std::runtime_error("File not found : " + filePath);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) throw std::runtime_error("Could not read the file " + filePath);
    m_parts.push_back({ name, std::move(bytes), std::string(kImageFileName), "image/png" });
}

const TFormPart* TMultipartFormData::Find(const std::string& name) const {
    for (const TFormPart& part : m_parts)
        if (part.Name == name) return &part;
    return nullptr;
}

std::size_t TMultipartFormData::PayloadSize() const {
    std::size_t size = 0;
    for (const TFormPart& part : m_parts)
        size += part.Data.size() + part.Name.size();
    return size;
}

} // namespace vst::ai
