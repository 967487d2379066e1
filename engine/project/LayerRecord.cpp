#include "LayerRecord.h"

#include "../imaging/Error.h"
#include "../imaging/Parallel.h"
#include "CodecPixels.h"
#include "LayerFields.h"

namespace ie {

namespace {

// Record length, layer version, kind.
constexpr std::int64_t kRecordHead = 12;

std::unique_ptr<Layer> makeLayer(LayerKind kind) {
    switch (kind) {
    case LayerKind::Image:
        return std::make_unique<ImageLayer>();
    case LayerKind::Shape:
        return std::make_unique<ShapeLayer>();
    case LayerKind::Line:
        return std::make_unique<LineLayer>();
    case LayerKind::Polyline:
        return std::make_unique<PolylineLayer>();
    case LayerKind::Text:
        return std::make_unique<TextLayer>();
    case LayerKind::Angle:
        return std::make_unique<AngleLayer>();
    }
    return nullptr;
}

// An image layer's bitmap is written unless there is nothing to keep: the empty 1 x 1 bitmap
// (and a null one). Layers one pixel wide but taller keep their pixels.
bool storesPixels(const Bitmap& bmp) {
    return !bmp.isNull() && !(bmp.width() == 1 && bmp.height() == 1);
}

void writeImagePixels(StreamWriter& out, const ImageLayer& layer) {
    const bool hasPixels = storesPixels(layer.bitmap);
    const std::int32_t compression
        = storedPixelCompression(layer.pixelCompression, layer.bitmap.hasAlpha());
    out.boolean(hasPixels);
    out.i32(compression);
    if (!hasPixels) return;
    if (compression == kRawZlib || compression == kRawStored)
        writeRawBitmap(out, layer.bitmap, compression);
    else {
        const auto bytes = encodeLayerPixels(layer.bitmap, compression);
        out.bytes(bytes.data(), bytes.size());
    }
}

// A layer without stored pixels holds the empty bitmap: 1 x 1, fully transparent.
Bitmap emptyBitmap() {
    Bitmap bmp(1, 1, PixelFormat::Rgb24);
    bmp.addAlphaPlane(0);
    bmp.fill({ 255, 255, 255, 0 });
    return bmp;
}

void readImagePixels(
    StreamReader& in, ImageLayer& layer, std::int64_t recordEnd, PendingPixels& pending) {
    const bool hasPixels = in.boolean();
    const std::int32_t compression = in.i32();
    layer.pixelCompression = compression;
    layer.bitmap = emptyBitmap();
    if (!hasPixels) return;
    if (compression == kRawZlib || compression == kRawStored) {
        pending.add(&layer, locateRawBitmap(in, compression));
        return;
    }
    // A codec's encoding runs to the end of the record.
    if (!isLayerCodecFormat(compression))
        in.fail("a layer's pixels use an unsupported compression (" + std::to_string(compression)
            + ")");
    const std::int64_t n = recordEnd - in.position();
    if (n <= 0) in.fail("a layer's encoded pixels are missing");
    in.budget().take(n, "encoded layer pixels");
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(n));
    in.bytes(bytes.data(), bytes.size());
    layer.bitmap = decodeLayerPixels(bytes, compression);
}

} // namespace

void PendingPixels::decode(const ByteSource& source, MemoryBudget& budget) {
    // One block per task: each is one zlib stream, inflated on one core.
    parallelFor(
        0, int(m_items.size()),
        [&](int b, int e) {
            for (int i = b; i < e; ++i)
                m_items[i].layer->bitmap = decodeRawBitmap(source, m_items[i].block, budget);
        },
        1);
    m_items.clear();
}

void writeLayerRecord(StreamWriter& out, const Layer& layer) {
    const std::int64_t start = out.position();
    out.i32(0); // record length, known at the end
    out.i32(kLayerVersion);
    out.i32(std::int32_t(layer.kind()));
    layerfields::Writer io(out);
    layerfields::commonFields(io, static_cast<const LayerProperties&>(layer));
    if (layer.kind() == LayerKind::Image) {
        const auto& image = static_cast<const ImageLayer&>(layer);
        layerfields::imageFields(io, static_cast<const ImageProperties&>(image));
        writeImagePixels(out, image);
    } else {
        layerfields::vectorFields(io, layer);
    }
    const std::int64_t length = out.position() - start;
    if (length > std::numeric_limits<std::int32_t>::max())
        throw Error("A layer is too large to be saved in a project file");
    out.patchI32(start, std::int32_t(length));
}

std::unique_ptr<Layer> readLayerRecord(StreamReader& in, PendingPixels& pending) {
    const std::int64_t start = in.position();
    const std::int32_t length = in.i32();
    const std::int32_t version = in.i32();
    // Newer records may differ anywhere: refuse them rather than misread them.
    if (version > kLayerVersion) throw Error(kUnsupportedLayerVersion);
    if (version < kLayerVersion)
        in.fail("layer records of version " + std::to_string(version) + " are not supported");
    if (length < kRecordHead || length > in.size() - start)
        in.fail("a layer record's length is out of range");
    const std::int64_t end = start + length;
    const std::int32_t kind = in.i32();
    if (kind < 0 || kind >= kLayerKindCount) in.fail("unknown layer kind " + std::to_string(kind));
    auto layer = makeLayer(static_cast<LayerKind>(kind));
    layerfields::Reader io(in);
    layerfields::commonFields(io, static_cast<LayerProperties&>(*layer));
    if (layer->kind() == LayerKind::Image) {
        auto& image = static_cast<ImageLayer&>(*layer);
        layerfields::imageFields(io, static_cast<ImageProperties&>(image));
        readImagePixels(in, image, end, pending);
    } else {
        layerfields::vectorFields(io, *layer);
    }
    if (in.position() > end) in.fail("a layer record is longer than its stated length");
    // Image records may carry bytes this engine does not know: the next record starts after the
    // stated length. The other kinds end where their fields end.
    if (layer->kind() == LayerKind::Image) in.seek(end);
    return layer;
}

} // namespace ie
