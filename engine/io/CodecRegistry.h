// The table of image file formats, looked up by extension or by a file's first bytes.
#pragma once

#include "Codec.h"

#include <memory>
#include <string>
#include <vector>

namespace ie::io {

/// Process-wide list of codecs. The built-in ones register at first use; others (the project
/// format) are added with add().
class CodecRegistry {
public:
    static CodecRegistry& instance();

    /// Adds a codec; its extensions take precedence over earlier codecs with the same ones.
    void add(std::shared_ptr<const Codec> codec);

    /// The codec for an extension (".jpg" or "jpg", any case); null when none.
    std::shared_ptr<const Codec> forExtension(const std::string& extension) const;
    /// The codec whose signature matches `head`; null when none.
    std::shared_ptr<const Codec> forSignature(std::span<const std::uint8_t> head) const;

    /// The codec for reading `path`: by signature first (a misnamed file still opens), else by
    /// extension. Throws ie::Error naming the file when no codec fits.
    std::shared_ptr<const Codec> forReading(const std::string& path) const;

    /// Every extension a codec can read, lower case with the dot.
    std::vector<std::string> readableExtensions() const;
    std::vector<std::string> writableExtensions() const;

    const std::vector<std::shared_ptr<const Codec>>& codecs() const { return m_codecs; }

private:
    CodecRegistry();
    std::vector<std::shared_ptr<const Codec>> m_codecs;
};

/// Registers the built-in codecs (defined beside the codecs).
void registerBuiltinCodecs(CodecRegistry& registry);

} // namespace ie::io
