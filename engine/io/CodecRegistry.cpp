#include "CodecRegistry.h"

#include "../imaging/Error.h"
#include "ImageIO.h"

#include <algorithm>
#include <cctype>

namespace ie::io {

namespace {
std::string normalizedExtension(std::string ext) {
    std::transform(
        ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    if (!ext.empty() && ext[0] != '.') ext.insert(ext.begin(), '.');
    return ext;
}
} // namespace

CodecRegistry::CodecRegistry() {
    registerBuiltinCodecs(*this);
}

CodecRegistry& CodecRegistry::instance() {
    static CodecRegistry registry;
    return registry;
}

void CodecRegistry::add(std::shared_ptr<const Codec> codec) {
    // Later codecs win: search from the back.
    m_codecs.push_back(std::move(codec));
}

std::shared_ptr<const Codec> CodecRegistry::forExtension(const std::string& extension) const {
    const std::string ext = normalizedExtension(extension);
    for (auto it = m_codecs.rbegin(); it != m_codecs.rend(); ++it) {
        const auto exts = (*it)->extensions();
        if (std::find(exts.begin(), exts.end(), ext) != exts.end()) return *it;
    }
    return nullptr;
}

std::shared_ptr<const Codec> CodecRegistry::forSignature(std::span<const std::uint8_t> head) const {
    for (auto it = m_codecs.rbegin(); it != m_codecs.rend(); ++it)
        if ((*it)->canRead() && (*it)->matches(head)) return *it;
    return nullptr;
}

std::shared_ptr<const Codec> CodecRegistry::forReading(const std::string& path) const {
    const auto head = readFileHead(path, 64);
    auto byExt = forExtension(extensionOf(path));
    if (byExt && byExt->canRead() && byExt->matches(head)) return byExt;
    if (auto bySig = forSignature(head)) return bySig;
    if (byExt && byExt->canRead()) return byExt;
    throw Error("Unable to open file: " + path + " (unknown or unsupported image format)");
}

std::vector<std::string> CodecRegistry::readableExtensions() const {
    std::vector<std::string> out;
    for (const auto& c : m_codecs)
        if (c->canRead())
            for (auto& e : c->extensions())
                if (std::find(out.begin(), out.end(), e) == out.end()) out.push_back(e);
    return out;
}

std::vector<std::string> CodecRegistry::writableExtensions() const {
    std::vector<std::string> out;
    for (const auto& c : m_codecs)
        if (c->canWrite())
            for (auto& e : c->extensions())
                if (std::find(out.begin(), out.end(), e) == out.end()) out.push_back(e);
    return out;
}

void Codec::write(
    const std::string& path, const Bitmap&, const FormatParams&, const Metadata&) const {
    throw Error("Cannot save " + path + ": writing " + name() + " files is not supported");
}

} // namespace ie::io
