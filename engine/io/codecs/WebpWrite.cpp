#include "WebpWrite.h"

#include "../../imaging/Convert.h"
#include "../../imaging/Error.h"
#include "../../imaging/Parallel.h"

#include <webp/encode.h>
#include <webp/mux.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <memory>

namespace ie::io {

namespace {

constexpr int kMaxSide = WEBP_MAX_DIMENSION;

// The pixels in one contiguous RGB or RGBA buffer, as the encoder imports them.
struct PackedPixels {
    std::vector<std::uint8_t> data;
    int stride = 0;
    bool alpha = false;
};

PackedPixels pack(const Bitmap& bitmap) {
    const PixelFormat f = bitmap.pixelFormat();
    const Bitmap src = f == PixelFormat::Rgb24 || f == PixelFormat::Rgba32
        ? bitmap
        : convertTo(bitmap, PixelFormat::Rgb24);
    PackedPixels p;
    p.alpha = src.hasAlpha();
    const int w = src.width();
    p.stride = w * (p.alpha ? 4 : 3);
    p.data.resize(std::size_t(p.stride) * src.height());
    parallelFor(0, src.height(), [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            std::uint8_t* dst = p.data.data() + std::size_t(y) * p.stride;
            const std::uint8_t* rgb = src.scanline(y);
            if (!src.hasAlphaPlane()) {
                std::memcpy(dst, rgb, std::size_t(p.stride));
                continue;
            }
            const std::uint8_t* a = src.alphaLine(y);
            for (int x = 0; x < w; ++x) {
                std::memcpy(dst + x * 4, rgb + x * 3, 3);
                dst[x * 4 + 3] = a[x];
            }
        }
    });
    return p;
}

std::string encodeErrorText(WebPEncodingError e) {
    switch (e) {
    case VP8_ENC_ERROR_OUT_OF_MEMORY:
    case VP8_ENC_ERROR_BITSTREAM_OUT_OF_MEMORY:
        return "not enough memory";
    case VP8_ENC_ERROR_BAD_DIMENSION:
        return "the image size is not allowed in WebP";
    case VP8_ENC_ERROR_FILE_TOO_BIG:
        return "the encoded image is too large for WebP";
    default:
        return "encoder error " + std::to_string(int(e));
    }
}

WebPConfig makeConfig(const FormatParams& params) {
    WebPConfig config;
    if (!WebPConfigInit(&config)) throw Error("the WebP library version does not match");
    config.lossless = params.webpLossless ? 1 : 0;
    // For lossless this is the effort spent on smaller files.
    config.quality = float(std::clamp(params.webpQuality, 0, 100));
    config.exact = config.lossless; // keep colours under transparent pixels bit for bit
    config.thread_level = 1;
    if (!WebPValidateConfig(&config)) throw Error("invalid WebP encoder settings");
    return config;
}

struct MemoryWriter {
    WebPMemoryWriter w;
    MemoryWriter() { WebPMemoryWriterInit(&w); }
    ~MemoryWriter() { WebPMemoryWriterClear(&w); }
    MemoryWriter(const MemoryWriter&) = delete;
    MemoryWriter& operator=(const MemoryWriter&) = delete;
};

void encode(const Bitmap& bitmap, const FormatParams& params, MemoryWriter& out) {
    const WebPConfig config = makeConfig(params);
    const PackedPixels pixels = pack(bitmap);
    WebPPicture pic;
    if (!WebPPictureInit(&pic)) throw Error("the WebP library version does not match");
    pic.width = bitmap.width();
    pic.height = bitmap.height();
    pic.use_argb = config.lossless; // lossless must not pass through YUV
    pic.writer = WebPMemoryWrite;
    pic.custom_ptr = &out.w;
    const int imported = pixels.alpha
        ? WebPPictureImportRGBA(&pic, pixels.data.data(), pixels.stride)
        : WebPPictureImportRGB(&pic, pixels.data.data(), pixels.stride);
    const bool ok = imported && WebPEncode(&config, &pic);
    const WebPEncodingError error = imported ? pic.error_code : VP8_ENC_ERROR_OUT_OF_MEMORY;
    WebPPictureFree(&pic);
    if (!ok) throw Error("WebP encoding failed: " + encodeErrorText(error));
}

struct MuxDeleter {
    void operator()(WebPMux* m) const { WebPMuxDelete(m); }
};

void setChunk(WebPMux* mux, const char* fourcc, const std::uint8_t* bytes, std::size_t size) {
    if (size == 0) return;
    const WebPData chunk { bytes, size };
    if (WebPMuxSetChunk(mux, fourcc, &chunk, 1) != WEBP_MUX_OK)
        throw Error(std::string("cannot add the ") + fourcc + " chunk to the WebP file");
}

// The encoded image with the metadata chunks added (an extended-format file).
std::vector<std::uint8_t> withMetadata(const WebPMemoryWriter& image, const Metadata& meta) {
    const WebPData data { image.mem, image.size };
    std::unique_ptr<WebPMux, MuxDeleter> mux(WebPMuxCreate(&data, 1));
    if (!mux) throw Error("cannot prepare the WebP metadata");
    setChunk(mux.get(), "ICCP", meta.iccProfile.data(), meta.iccProfile.size());
    setChunk(mux.get(), "EXIF", meta.exif.data(), meta.exif.size());
    setChunk(
        mux.get(), "XMP ", reinterpret_cast<const std::uint8_t*>(meta.xmp.data()), meta.xmp.size());
    WebPData assembled;
    WebPDataInit(&assembled);
    if (WebPMuxAssemble(mux.get(), &assembled) != WEBP_MUX_OK)
        throw Error("cannot add the metadata to the WebP file");
    std::vector<std::uint8_t> out(assembled.bytes, assembled.bytes + assembled.size);
    WebPDataClear(&assembled);
    return out;
}

void writeBytes(const std::string& path, const std::uint8_t* bytes, std::size_t size) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes), std::streamsize(size));
    file.close();
    if (!file) throw Error("cannot write the file " + path);
}

} // namespace

void writeWebp(const std::string& path, const Bitmap& bitmap, const FormatParams& params,
    const Metadata& metadata) {
    if (bitmap.isNull()) throw Error("Cannot save " + path + ": the image is empty");
    if (bitmap.width() > kMaxSide || bitmap.height() > kMaxSide)
        throw Error("WebP images are limited to " + std::to_string(kMaxSide) + " x "
            + std::to_string(kMaxSide) + " pixels");
    MemoryWriter encoded;
    encode(bitmap, params, encoded);
    if (metadata.exif.empty() && metadata.xmp.empty() && metadata.iccProfile.empty()) {
        writeBytes(path, encoded.w.mem, encoded.w.size);
        return;
    }
    const std::vector<std::uint8_t> file = withMetadata(encoded.w, metadata);
    writeBytes(path, file.data(), file.size());
}

} // namespace ie::io
