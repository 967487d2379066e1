// Bytes hidden in the lowest bits of an image's pixels, behind a header with a magic, the length
// and a checksum, so that an image without hidden data is told apart from one with.
#pragma once

#include "imaging/Bitmap.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace ie::proc {

/// Bytes that fit into `image` (0 for formats that cannot hold hidden data, or tiny images).
std::int64_t hiddenDataCapacity(const Bitmap& image);

/// Hides `data` in `image`, replacing what was hidden before. Throws ie::Error when it does not
/// fit or the format cannot hold it. The change is invisible (one unit at most per sample) and
/// survives only lossless saving in the same format.
void writeHiddenData(Bitmap& image, const std::vector<std::uint8_t>& data);

/// The hidden bytes, or nothing when the image holds no hidden data (no header, or a checksum
/// that does not match).
std::optional<std::vector<std::uint8_t>> readHiddenData(const Bitmap& image);

} // namespace ie::proc
