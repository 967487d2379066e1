// Image layer pixels kept in a file format's encoding (JPEG, PNG) instead of the raw bitmap.
#pragma once

#include "../imaging/Bitmap.h"

#include <cstdint>
#include <vector>

namespace ie {

/// File format numbers a layer's pixel compression may name.
inline constexpr std::int32_t kFormatJpeg = 3;
inline constexpr std::int32_t kFormatPng = 8;

/// True when `format` is a number layers may be encoded with.
bool isLayerCodecFormat(std::int32_t format);

/// The pixel compression a layer's requested value is written as: 1 and 10001 mean zlib; 9998 and
/// more mean JPEG for opaque layers and the value minus 10000 for transparent ones; a format
/// without a layer codec falls back to zlib.
std::int32_t storedPixelCompression(std::int32_t requested, bool transparent);

/// Encodes `bitmap` in `format`: 1-bit images as one 1-bit sample, grey ones as one 8-bit
/// sample, the others as three 8-bit samples (PNG keeps an alpha plane).
std::vector<std::uint8_t> encodeLayerPixels(const Bitmap& bitmap, std::int32_t format);
/// Decodes what encodeLayerPixels wrote. Throws ie::Error on damaged data.
Bitmap decodeLayerPixels(const std::vector<std::uint8_t>& bytes, std::int32_t format);

} // namespace ie
