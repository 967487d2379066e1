#include "../../imaging/Error.h"
#include "../../imaging/Parallel.h"
#include "../ImageIO.h"
#include "Codecs.h"
#include "WebpWrite.h"

#include <webp/decode.h>
#include <webp/demux.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace ie::io {

namespace {

struct DemuxDeleter {
    void operator()(WebPDemuxer* d) const { WebPDemuxDelete(d); }
};
using DemuxPtr = std::unique_ptr<WebPDemuxer, DemuxDeleter>;

struct AnimDecoderDeleter {
    void operator()(WebPAnimDecoder* d) const { WebPAnimDecoderDelete(d); }
};

std::string statusText(VP8StatusCode status) {
    switch (status) {
    case VP8_STATUS_OUT_OF_MEMORY:
        return "not enough memory";
    case VP8_STATUS_BITSTREAM_ERROR:
        return "the image data is damaged";
    case VP8_STATUS_UNSUPPORTED_FEATURE:
        return "the file uses a WebP feature that is not supported";
    case VP8_STATUS_NOT_ENOUGH_DATA:
        return "the file is truncated";
    default:
        return "WebP decoder error " + std::to_string(int(status));
    }
}

// A whole file held in memory with its container parsed.
struct WebpFile {
    std::vector<std::uint8_t> bytes;
    DemuxPtr demux;
    WebPData data() const { return { bytes.data(), bytes.size() }; }
    std::uint32_t get(WebPFormatFeature f) const { return WebPDemuxGetI(demux.get(), f); }
};

WebpFile openWebp(const std::string& path) {
    WebpFile f;
    f.bytes = readWholeFile(path);
    const WebPData data = f.data();
    f.demux.reset(WebPDemux(&data));
    if (!f.demux) throw Error("not a valid WebP file (damaged or truncated)");
    return f;
}

std::vector<std::uint8_t> chunk(const WebpFile& f, const char* fourcc) {
    WebPChunkIterator it;
    if (!WebPDemuxGetChunk(f.demux.get(), fourcc, 1, &it)) return {};
    std::vector<std::uint8_t> out(it.chunk.bytes, it.chunk.bytes + it.chunk.size);
    WebPDemuxReleaseChunkIterator(&it);
    return out;
}

Metadata readMetadata(const WebpFile& f) {
    Metadata meta;
    meta.exif = chunk(f, "EXIF");
    // Some writers keep the JPEG APP1 prefix; the EXIF block starts at the TIFF header.
    static const std::uint8_t prefix[] = { 'E', 'x', 'i', 'f', 0, 0 };
    if (meta.exif.size() > 6 && std::equal(prefix, prefix + 6, meta.exif.begin()))
        meta.exif.erase(meta.exif.begin(), meta.exif.begin() + 6);
    const auto xmp = chunk(f, "XMP ");
    meta.xmp.assign(xmp.begin(), xmp.end());
    meta.iccProfile = chunk(f, "ICCP");
    return meta;
}

// RGB(A) rows of a decoded buffer into a bitmap with an alpha plane when `alpha`.
Bitmap fromPixels(const std::uint8_t* pixels, int stride, int w, int h, bool rgba, bool alpha) {
    Bitmap bmp(w, h, PixelFormat::Rgb24);
    if (alpha) bmp.addAlphaPlane();
    parallelFor(0, h, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            const std::uint8_t* src = pixels + std::size_t(y) * stride;
            std::uint8_t* dst = bmp.mutableScanline(y);
            if (!rgba) {
                std::memcpy(dst, src, std::size_t(w) * 3);
                continue;
            }
            std::uint8_t* a = alpha ? bmp.mutableAlphaLine(y) : nullptr;
            for (int x = 0; x < w; ++x) {
                std::memcpy(dst + x * 3, src + x * 4, 3);
                if (a) a[x] = src[x * 4 + 3];
            }
        }
    });
    return bmp;
}

Bitmap decodeStill(const WebpFile& f) {
    WebPDecoderConfig config;
    if (!WebPInitDecoderConfig(&config)) throw Error("the WebP library version does not match");
    const VP8StatusCode probe = WebPGetFeatures(f.bytes.data(), f.bytes.size(), &config.input);
    if (probe != VP8_STATUS_OK) throw Error("cannot read the WebP image: " + statusText(probe));
    Plane::checkSize(config.input.width, config.input.height);
    const bool alpha = config.input.has_alpha != 0;
    config.output.colorspace = alpha ? MODE_RGBA : MODE_RGB;
    config.options.use_threads = 1;
    const VP8StatusCode status = WebPDecode(f.bytes.data(), f.bytes.size(), &config);
    if (status != VP8_STATUS_OK) {
        WebPFreeDecBuffer(&config.output);
        throw Error("cannot decode the WebP image: " + statusText(status));
    }
    const WebPRGBABuffer& out = config.output.u.RGBA;
    Bitmap bmp
        = fromPixels(out.rgba, out.stride, config.output.width, config.output.height, alpha, alpha);
    WebPFreeDecBuffer(&config.output);
    return bmp;
}

// Frame `index` of an animation as a viewer shows it: earlier frames blended and disposed.
Bitmap decodeAnimationFrame(const WebpFile& f, int index) {
    WebPAnimDecoderOptions options;
    if (!WebPAnimDecoderOptionsInit(&options))
        throw Error("the WebP library version does not match");
    options.color_mode = MODE_RGBA;
    options.use_threads = 1;
    const WebPData data = f.data();
    std::unique_ptr<WebPAnimDecoder, AnimDecoderDeleter> dec(WebPAnimDecoderNew(&data, &options));
    if (!dec) throw Error("cannot read the WebP animation (damaged or truncated)");
    WebPAnimInfo info;
    if (!WebPAnimDecoderGetInfo(dec.get(), &info)) throw Error("cannot read the WebP animation");
    std::uint8_t* canvas = nullptr;
    for (int i = 0; i <= index; ++i) {
        int timestamp = 0;
        if (!WebPAnimDecoderGetNext(dec.get(), &canvas, &timestamp))
            throw Error("cannot decode frame " + std::to_string(i + 1) + " of the WebP animation");
    }
    const int w = int(info.canvas_width), h = int(info.canvas_height);
    const std::size_t n = std::size_t(w) * h;
    bool opaque = true;
    for (std::size_t i = 0; i < n && opaque; ++i)
        opaque = canvas[i * 4 + 3] == 255;
    return fromPixels(canvas, w * 4, w, h, true, !opaque);
}

std::string framesWording(int n) {
    return std::to_string(n) + (n == 1 ? " frame" : " frames");
}

DecodedImage readWebp(const std::string& path, int index) {
    const WebpFile f = openWebp(path);
    Plane::checkSize(f.get(WEBP_FF_CANVAS_WIDTH), f.get(WEBP_FF_CANVAS_HEIGHT));
    const int frames = int(f.get(WEBP_FF_FRAME_COUNT));
    if (index < 0 || index >= frames)
        throw Error("Frame " + std::to_string(index + 1) + " does not exist in " + path
            + " (it has " + framesWording(frames) + ")");
    DecodedImage out;
    const bool animated = (f.get(WEBP_FF_FORMAT_FLAGS) & ANIMATION_FLAG) != 0;
    out.bitmap = animated ? decodeAnimationFrame(f, index) : decodeStill(f);
    out.metadata = readMetadata(f);
    return out;
}

class WebpCodec final : public Codec {
public:
    std::string name() const override { return "WebP"; }
    std::vector<std::string> extensions() const override { return { ".webp" }; }

    bool matches(std::span<const std::uint8_t> head) const override {
        return head.size() >= 12 && std::memcmp(head.data(), "RIFF", 4) == 0
            && std::memcmp(head.data() + 8, "WEBP", 4) == 0;
    }

    DecodedImage read(const std::string& path, const ReadOptions& options) const override {
        return readWebp(path, options.pageIndex);
    }

    int pageCount(const std::string& path) const override {
        return int(openWebp(path).get(WEBP_FF_FRAME_COUNT));
    }

    void write(const std::string& path, const Bitmap& bitmap, const FormatParams& params,
        const Metadata& metadata) const override {
        writeWebp(path, bitmap, params, metadata);
    }

    bool embedsMetadata() const override { return true; }
};

} // namespace

std::shared_ptr<const Codec> makeWebpCodec() {
    return std::make_shared<WebpCodec>();
}

} // namespace ie::io
