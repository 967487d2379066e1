// Metadata blocks as file formats wrap them: JPEG APP-segment payloads, Photoshop image
// resources holding IPTC, and the hex "Raw profile" text of PNG files.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace ie::io::blocks {

using Bytes = std::vector<std::uint8_t>;
using ByteView = std::span<const std::uint8_t>;

/// Identifiers that open the payload of the JPEG segments carrying metadata.
inline constexpr std::string_view kExifHeader { "Exif\0\0", 6 };
inline constexpr std::string_view kXmpHeader { "http://ns.adobe.com/xap/1.0/\0", 29 };
inline constexpr std::string_view kPhotoshopHeader { "Photoshop 3.0\0", 14 };

/// True when `data` begins with `prefix`.
bool startsWith(ByteView data, std::string_view prefix);

/// `exif` without a leading "Exif\0\0" (some writers keep it in front of the TIFF header).
ByteView withoutExifHeader(ByteView exif);

/// The IPTC-IIM records of resource 0x0404 in a block of Photoshop image resources ("8BIM"
/// records); empty when there is none or the block is malformed.
Bytes iptcFromPhotoshopResources(ByteView resources);

/// One Photoshop image resource (0x0404) holding `iptc`.
Bytes photoshopResourcesForIptc(ByteView iptc);

/// Decodes the text of a "Raw profile type ..." chunk: "\n<type>\n<length>\n<hex digits>".
/// Empty when malformed.
Bytes decodeRawProfile(std::string_view text);

/// The "Raw profile type <type>" text holding `data`.
std::string encodeRawProfile(std::string_view type, ByteView data);

} // namespace ie::io::blocks
