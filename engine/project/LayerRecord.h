// One layer record of a variant stream: the common part, the kind's part and an image's pixels.
#pragma once

#include "../layers/ImageLayer.h"
#include "RawBitmap.h"
#include "StreamReader.h"
#include "StreamWriter.h"

#include <memory>
#include <vector>

namespace ie {

/// The layer version this engine writes and the newest it reads.
inline constexpr std::int32_t kLayerVersion = 12200;

/// The message for layer records newer than this engine.
inline constexpr const char* kUnsupportedLayerVersion
    = "Unsupported IEN file version. Update software to newer version";

/// Image pixels met while reading records, decoded afterwards on every core.
class PendingPixels {
public:
    void add(ImageLayer* layer, const RawBitmapBlock& block) {
        m_items.push_back({ layer, block });
    }
    bool empty() const { return m_items.empty(); }
    /// Decodes every block into its layer (layers must still be alive) and forgets them.
    void decode(const ByteSource& source, MemoryBudget& budget);

private:
    struct Item {
        ImageLayer* layer;
        RawBitmapBlock block;
    };
    std::vector<Item> m_items;
};

/// Writes one layer record. Image layers carry their pixels unless the bitmap is empty or
/// 1 x 1, compressed as storedPixelCompression() of the layer's request says.
void writeLayerRecord(StreamWriter& out, const Layer& layer);

/// Reads one record and returns the layer. Raw image pixels are left in `pending`; pixels in a
/// codec's encoding are decoded at once. Throws ie::Error on a damaged record, and with
/// kUnsupportedLayerVersion for a layer version above kLayerVersion.
std::unique_ptr<Layer> readLayerRecord(StreamReader& in, PendingPixels& pending);

} // namespace ie
