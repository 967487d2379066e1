// Images as file bytes in memory, for request parts and answers, through the engine's codecs.
#pragma once

#include "imaging/Bitmap.h"

#include <cstdint>
#include <span>
#include <vector>

namespace vst::ai {

/// How an image travels in a request.
enum class ImageEncoding { Png, WebpLossless, Jpeg };

/// The file bytes of `bitmap` in `encoding` (JPEG at quality 95). Throws ie::Error.
std::vector<std::uint8_t> encodeImage(const ie::Bitmap& bitmap, ImageEncoding encoding);

/// Decodes PNG, JPEG or WebP file bytes. Throws ie::Error with a clear message when the bytes
/// are no image.
ie::Bitmap decodeImage(std::span<const std::uint8_t> bytes);

} // namespace vst::ai
