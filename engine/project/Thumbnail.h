// The JPEG thumbnail a variant stream carries: the merged image reduced to the thumbnail size.
#pragma once

#include "../imaging/Bitmap.h"
#include "../layers/LayerStack.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace ie {

/// Thumbnail size S of variant streams.
inline constexpr int kThumbnailSize = 250;
/// Images narrower or lower than this get no thumbnail.
inline constexpr int kThumbnailMinSide = 5;

/// The thumbnail's size for an image: a portrait image (width < height) wider than S gets width
/// S; otherwise an image higher than S gets height S; proportions kept (rounded, at least 1).
std::pair<int, int> thumbnailSize(int width, int height);

/// The JPEG bytes of the thumbnail of the merged layers; empty when the canvas is under the
/// minimum side.
std::vector<std::uint8_t> thumbnailJpeg(const LayerStack& stack);

/// Encodes an 8-bit grey or 24-bit RGB bitmap (others are converted) as baseline JPEG in memory.
std::vector<std::uint8_t> encodeJpegInMemory(const Bitmap& bitmap, int quality);

} // namespace ie
