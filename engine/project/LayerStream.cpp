#include "LayerStream.h"

#include "../imaging/Error.h"
#include "../layers/ImageLayer.h"
#include "LayerFields.h"
#include "Thumbnail.h"

#include <algorithm>
#include <cstring>

namespace ie {

namespace {

// Record length, version, kind and identifier: no record is shorter, so a layer count is
// checked against the bytes left before anything is read.
constexpr std::int64_t kMinRecordBytes = 28;

void maxLayerSize(const LayerStack& stack, std::int32_t& w, std::int32_t& h) {
    w = h = 0;
    for (const auto& l : stack.layers()) {
        w = std::max(w, layerfields::toInt32(l->width, true));
        h = std::max(h, layerfields::toInt32(l->height, true));
    }
}

void writeThumbnail(StreamWriter& out, const LayerStack& stack, bool wanted) {
    const auto jpeg = wanted ? thumbnailJpeg(stack) : std::vector<std::uint8_t>();
    out.boolean(!jpeg.empty());
    if (jpeg.empty()) return;
    out.i32(std::int32_t(jpeg.size() + 4));
    out.bytes(jpeg.data(), jpeg.size());
}

std::vector<std::uint8_t> readThumbnail(StreamReader& in) {
    const std::int32_t length = in.i32();
    if (length < 4) in.fail("the thumbnail's length is out of range");
    in.need(length - 4, "the thumbnail");
    std::vector<std::uint8_t> jpeg(std::size_t(length - 4));
    in.bytes(jpeg.data(), jpeg.size());
    return jpeg;
}

// Keeps the stack's background for a stream without one (a white 1 x 1 layer when there is
// none yet), and drops the rest.
void keepOnlyBackground(LayerStack& stack) {
    if (stack.isEmpty()) {
        Bitmap white(1, 1, PixelFormat::Rgb24);
        white.fill({ 255, 255, 255, 255 });
        stack.add(std::make_unique<ImageLayer>(std::move(white)));
    }
    while (stack.count() > 1)
        stack.remove(stack.count() - 1);
}

} // namespace

void writeLayerStream(
    StreamWriter& out, const LayerStack& stack, const LayerStreamOptions& options) {
    if (stack.isEmpty()) throw Error("An image without layers cannot be saved");
    out.bytes(kLayerStreamMagic, sizeof kLayerStreamMagic);
    out.i32(kLayerStreamVersion);
    out.i32(options.compression);
    out.i32(stack.count());
    std::int32_t w, h;
    maxLayerSize(stack, w, h);
    out.i32(w);
    out.i32(h);
    out.wideString(options.description);
    out.boolean(true); // the first record is the background
    writeThumbnail(out, stack, options.thumbnail);
    for (const auto& layer : stack.layers())
        writeLayerRecord(out, *layer);
}

LayerStreamHeader readLayerStream(
    StreamReader& in, LayerStack& stack, PendingPixels& pending, LayerReadMode mode) {
    char magic[sizeof kLayerStreamMagic];
    if (in.remaining() < std::int64_t(sizeof magic)) in.fail("it holds no layered image");
    in.bytes(magic, sizeof magic);
    if (std::memcmp(magic, kLayerStreamMagic, sizeof magic) != 0)
        in.fail("it is not a Vistrelune project (wrong signature)");
    LayerStreamHeader header;
    header.version = in.i32();
    header.compression = in.i32();
    header.layerCount = in.count(kMinRecordBytes, "the layers");
    header.maxWidth = in.i32();
    header.maxHeight = in.i32();
    if (header.version >= kFirstVersionWithDescription)
        header.description = in.wideString("the description");
    header.hasBackground = in.boolean();
    if (in.boolean()) header.thumbnailJpeg = readThumbnail(in);

    LayerStack layers;
    for (int i = 0; i < header.layerCount; ++i)
        layers.add(readLayerRecord(in, pending));
    if (mode == LayerReadMode::Replace) {
        if (header.hasBackground)
            stack.clear();
        else
            keepOnlyBackground(stack);
    }
    while (!layers.isEmpty())
        stack.add(layers.take(0));
    if (stack.currentIndex() < 0) stack.setCurrentIndex(0);
    return header;
}

std::int64_t writeLayerStreamFile(const std::string& path, std::int64_t offset,
    const LayerStack& stack, const LayerStreamOptions& options) {
    FileSink sink(path, offset);
    StreamWriter out(sink);
    writeLayerStream(out, stack, options);
    sink.flush();
    return sink.position();
}

std::int64_t readLayerStreamFile(const std::string& path, std::int64_t offset, LayerStack& stack,
    LayerStreamHeader* header, LayerReadMode mode) {
    const FileSource source(path);
    MemoryBudget budget;
    StreamReader in(source, budget, offset);
    PendingPixels pending;
    // Work on a copy so that a failed read leaves `stack` as it was; bitmaps are shared, not
    // copied.
    LayerStack loaded;
    if (mode == LayerReadMode::Append)
        loaded = stack;
    else if (!stack.isEmpty())
        loaded.add(stack.background().clone());
    auto h = readLayerStream(in, loaded, pending, mode);
    pending.decode(source, budget);
    stack = std::move(loaded);
    if (header) *header = std::move(h);
    return in.position() == in.size() ? 0 : in.position();
}

} // namespace ie
