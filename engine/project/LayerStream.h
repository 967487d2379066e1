// One variant's layered image as a stream ("IMAGEENLAYERS"): header, thumbnail, layer records.
#pragma once

#include "../layers/LayerStack.h"
#include "LayerRecord.h"
#include "StreamReader.h"
#include "StreamWriter.h"

#include <QString>
#include <cstdint>
#include <string>
#include <vector>

namespace ie {

inline constexpr char kLayerStreamMagic[13]
    = { 'I', 'M', 'A', 'G', 'E', 'E', 'N', 'L', 'A', 'Y', 'E', 'R', 'S' };
inline constexpr std::int32_t kLayerStreamVersion = 12200;
/// Streams older than this have no description field.
inline constexpr std::int32_t kFirstVersionWithDescription = 7000;

/// What a stream says besides its layers.
struct LayerStreamHeader {
    std::int32_t version = kLayerStreamVersion;
    std::int32_t compression = -1; ///< pixel compression of image layers
    std::int32_t layerCount = 0;
    std::int32_t maxWidth = 0;
    std::int32_t maxHeight = 0;
    QString description; ///< the variant's parameter text
    bool hasBackground = true;
    std::vector<std::uint8_t> thumbnailJpeg; ///< empty when the stream has none
};

/// How to write a stream.
struct LayerStreamOptions {
    QString description;
    std::int32_t compression = -1;
    bool thumbnail = true;
};

/// How records come into the stack.
enum class LayerReadMode {
    Replace, ///< the stack becomes the stream's layers (background included)
    Append, ///< the stream's layers are added on top of the stack's
};

/// Writes `stack` (not empty) as one stream at the writer's position.
void writeLayerStream(
    StreamWriter& out, const LayerStack& stack, const LayerStreamOptions& options);

/// Reads one stream at the reader's position into `stack`. Raw pixels are left in `pending` for
/// the caller to decode (PendingPixels::decode), so several streams can be decoded together.
LayerStreamHeader readLayerStream(
    StreamReader& in, LayerStack& stack, PendingPixels& pending, LayerReadMode mode);

/// Writes a stream into the file at `offset`: 0 creates the file anew (truncating an older one),
/// a positive offset keeps the bytes before it. Returns the offset after the stream.
std::int64_t writeLayerStreamFile(const std::string& path, std::int64_t offset,
    const LayerStack& stack, const LayerStreamOptions& options);

/// Reads the stream at `offset` of the file, pixels included. Returns the offset after it, or 0
/// when that is the end of the file.
std::int64_t readLayerStreamFile(const std::string& path, std::int64_t offset, LayerStack& stack,
    LayerStreamHeader* header = nullptr, LayerReadMode mode = LayerReadMode::Replace);

} // namespace ie
