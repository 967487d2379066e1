// A multipart/form-data body as an ordered list of parts, the base of every parameter class.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace vst::ai {

/// One part of a multipart body.
struct TFormPart {
    std::string Name; ///< the field name of the content disposition
    std::string Data; ///< UTF-8 text or the raw bytes of a file
    std::optional<std::string> FileName; ///< set for file parts only
    std::string ContentType; ///< empty for text parts: no Content-Type header is sent
};

/// The parts in the order they were added; a field added twice is sent twice.
class TMultipartFormData {
public:
    /// The file name every image part carries, whatever the image's origin.
    static constexpr const char* kImageFileName = "FileNameForHeader.png";

    virtual ~TMultipartFormData() = default;

    /// A text part.
    void AddField(const std::string& name, const std::string& value);
    /// An image part: the bytes as they are, named "FileNameForHeader.png", type image/png.
    void AddImage(const std::string& name, std::span<const std::uint8_t> bytes);
    /// An image part with the bytes of a file; throws "File not found : %s" when it is missing.
    /// The part's file name stays "FileNameForHeader.png": a local path has no business on the
    /// wire.
    void AddImageFile(const std::string& name, const std::string& filePath);

    const std::vector<TFormPart>& Parts() const { return m_parts; }
    /// The part named `name` (the first one), or null.
    const TFormPart* Find(const std::string& name) const;
    /// The body's size without boundaries and part headers.
    std::size_t PayloadSize() const;

private:
    std::vector<TFormPart> m_parts;
};

} // namespace vst::ai
