// JPEG 2000 through OpenJPEG: .jp2 files and raw .j2k codestreams, lossless or at a ratio.
#include "Codecs.h"
#include "SampleRows.h"

#include "../../imaging/Error.h"
#include "../../imaging/Parallel.h"
#include "../ImageIO.h"

#include <openjpeg.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

namespace ie::io {

namespace {

constexpr int kThreads = 2;
constexpr int kTileSide = 1024;

/// What OpenJPEG reported through its callbacks, for the error message.
struct Messages {
    std::string errors, warnings;
    static void append(std::string& to, const char* msg) {
        std::string m = msg ? msg : "";
        while (!m.empty() && (m.back() == '\n' || m.back() == ' '))
            m.pop_back();
        if (m.empty()) return;
        if (!to.empty()) to += "; ";
        to += m;
    }
    std::string text() const { return !errors.empty() ? errors : warnings; }
};

struct CodecFree {
    void operator()(opj_codec_t* c) const { opj_destroy_codec(c); }
};
struct StreamFree {
    void operator()(opj_stream_t* s) const { opj_stream_destroy(s); }
};
struct ImageFree {
    void operator()(opj_image_t* i) const { opj_image_destroy(i); }
};
using CodecPtr = std::unique_ptr<opj_codec_t, CodecFree>;
using StreamPtr = std::unique_ptr<opj_stream_t, StreamFree>;
using ImagePtr = std::unique_ptr<opj_image_t, ImageFree>;

void routeMessages(opj_codec_t* codec, Messages& messages) {
    opj_set_error_handler(
        codec,
        [](const char* msg, void* data) {
            Messages::append(static_cast<Messages*>(data)->errors, msg);
        },
        &messages);
    opj_set_warning_handler(
        codec,
        [](const char* msg, void* data) {
            Messages::append(static_cast<Messages*>(data)->warnings, msg);
        },
        &messages);
    opj_set_info_handler(
        codec, [](const char*, void*) {}, nullptr);
}

[[noreturn]] void fail(const std::string& what, const Messages& messages) {
    const std::string detail = messages.text();
    throw Error(what + (detail.empty() ? std::string() : ": " + detail));
}

constexpr std::uint8_t kJp2Signature[]
    = { 0, 0, 0, 0x0C, 'j', 'P', ' ', ' ', 0x0D, 0x0A, 0x87, 0x0A };
constexpr std::uint8_t kCodestreamSignature[] = { 0xFF, 0x4F, 0xFF, 0x51 };

bool startsWith(std::span<const std::uint8_t> head, std::span<const std::uint8_t> sig) {
    return head.size() >= sig.size() && std::equal(sig.begin(), sig.end(), head.begin());
}

// ---------------------------------------------------------------------------------------------
// Reading

/// One decoded component, scaled to the output depth and sampled on the image grid.
struct ComponentSource {
    const opj_image_comp_t* comp = nullptr;
    int offset = 0; ///< added to signed samples
    int maxIn = 0;
    int outBits = 8;
    std::vector<std::uint16_t> table; ///< input value to output value, for precisions up to 16
    int shift = 0; ///< precisions over 16 are shifted down instead

    ComponentSource(const opj_image_comp_t& c, int bits)
        : comp(&c)
        , outBits(bits) {
        const int prec = std::clamp(int(c.prec), 1, 31);
        offset = c.sgnd ? 1 << (prec - 1) : 0;
        if (prec > 16) {
            shift = prec - outBits;
            maxIn = (1 << outBits) - 1;
            return;
        }
        maxIn = (1 << prec) - 1;
        const std::int64_t maxOut = (std::int64_t(1) << outBits) - 1;
        table.resize(std::size_t(maxIn) + 1);
        for (int v = 0; v <= maxIn; ++v)
            table[std::size_t(v)] = std::uint16_t((v * maxOut + maxIn / 2) / maxIn);
    }

    std::uint16_t scaled(OPJ_INT32 raw) const {
        if (!table.empty()) return table[std::size_t(std::clamp(raw + offset, 0, maxIn))];
        return std::uint16_t(std::clamp((raw + offset) >> shift, 0, maxIn));
    }

    /// Row `y` of the image (origin at the image's top left) into `out`, `width` values.
    void row(const opj_image_t& img, int y, int width, std::uint16_t* out) const {
        const int dx = int(comp->dx), dy = int(comp->dy);
        const int cw = int(comp->w), ch = int(comp->h);
        const int cy
            = std::clamp(int((img.y0 + unsigned(y)) / unsigned(dy)) - int(comp->y0), 0, ch - 1);
        const OPJ_INT32* src = comp->data + std::size_t(cy) * std::size_t(cw);
        if (dx == 1 && int(img.x0) == int(comp->x0) && cw >= width) {
            for (int x = 0; x < width; ++x)
                out[x] = scaled(src[x]);
            return;
        }
        for (int x = 0; x < width; ++x) {
            const int cx
                = std::clamp(int((img.x0 + unsigned(x)) / unsigned(dx)) - int(comp->x0), 0, cw - 1);
            out[x] = scaled(src[cx]);
        }
    }
};

/// Which components make the picture and how they are laid out in the bitmap.
struct Plan {
    SampleLayout layout;
    int color[4] = { 0, 1, 2, 3 };
    int colorCount = 1;
    int alpha = -1;
    bool cmyk = false;
    bool ycc = false;
};

Plan planFor(const opj_image_t& img) {
    const int n = int(img.numcomps);
    Plan plan;
    for (int i = 0; i < n; ++i)
        if (img.comps[i].alpha) plan.alpha = i;
    plan.cmyk = img.color_space == OPJ_CLRSPC_CMYK && n >= 4;
    if (plan.alpha < 0 && !plan.cmyk && (n == 2 || n == 4)) plan.alpha = n - 1;
    const int colorComps = n - (plan.alpha >= 0 ? 1 : 0);
    plan.colorCount = plan.cmyk ? 4 : colorComps >= 3 ? 3 : 1;
    for (int i = 0, c = 0; i < n && c < plan.colorCount; ++i)
        if (i != plan.alpha) plan.color[c++] = i;
    int maxPrec = 0;
    for (int c = 0; c < plan.colorCount; ++c)
        maxPrec = std::max(maxPrec, int(img.comps[plan.color[c]].prec));
    plan.layout.colors = plan.colorCount == 1 ? 1 : 3;
    plan.layout.bits = maxPrec > 8 && !plan.cmyk ? 16 : 8;
    plan.layout.alpha = plan.alpha >= 0;
    const bool subsampled = plan.colorCount == 3
        && (img.comps[plan.color[1]].dx > 1 || img.comps[plan.color[1]].dy > 1);
    plan.ycc = plan.colorCount == 3
        && (img.color_space == OPJ_CLRSPC_SYCC
            || (img.color_space == OPJ_CLRSPC_UNSPECIFIED && subsampled));
    return plan;
}

/// Full-range YCbCr to RGB in place, for sYCC files.
void yccToRgb(std::uint16_t* y, std::uint16_t* cb, std::uint16_t* cr, int width, int bits) {
    const double mid = double(1 << (bits - 1)), maxV = double((1 << bits) - 1);
    for (int x = 0; x < width; ++x) {
        const double Y = y[x], b = cb[x] - mid, r = cr[x] - mid;
        auto c = [maxV](double v) {
            return std::uint16_t(std::clamp(std::lround(v), 0L, long(maxV)));
        };
        y[x] = c(Y + 1.402 * r);
        cb[x] = c(Y - 0.344136 * b - 0.714136 * r);
        cr[x] = c(Y + 1.772 * b);
    }
}

Bitmap toBitmap(const opj_image_t& img, const Plan& plan) {
    const int w = int(img.x1 - img.x0), h = int(img.y1 - img.y0);
    for (unsigned i = 0; i < img.numcomps; ++i)
        if (!img.comps[i].data || img.comps[i].w == 0 || img.comps[i].h == 0 || img.comps[i].dx == 0
            || img.comps[i].dy == 0)
            throw Error("The JPEG 2000 file has an empty component");
    // CMYK samples are ink amounts, as in Cmyk32.
    Bitmap bmp = plan.cmyk ? Bitmap(w, h, PixelFormat::Cmyk32) : newBitmapFor(w, h, plan.layout);
    if (plan.cmyk && plan.alpha >= 0) bmp.addAlphaPlane();
    std::vector<ComponentSource> sources;
    for (int c = 0; c < plan.colorCount; ++c)
        sources.emplace_back(img.comps[plan.color[c]], plan.layout.bits);
    if (plan.alpha >= 0) sources.emplace_back(img.comps[plan.alpha], 8);
    const int n = int(sources.size());
    parallelFor(0, h, [&](int y0, int y1) {
        std::vector<std::uint16_t> rows(std::size_t(w) * std::size_t(n));
        for (int y = y0; y < y1; ++y) {
            for (int c = 0; c < n; ++c)
                sources[std::size_t(c)].row(
                    img, y, w, rows.data() + std::size_t(c) * std::size_t(w));
            if (plan.ycc)
                yccToRgb(rows.data(), rows.data() + w, rows.data() + 2 * w, w, plan.layout.bits);
            std::uint8_t* out = bmp.mutableScanline(y);
            const int colors = plan.colorCount;
            for (int x = 0; x < w; ++x)
                for (int c = 0; c < colors; ++c) {
                    const std::uint16_t v = rows[std::size_t(c) * std::size_t(w) + std::size_t(x)];
                    if (plan.layout.bits == 16)
                        reinterpret_cast<std::uint16_t*>(out)[x * colors + c] = v;
                    else
                        out[x * colors + c] = std::uint8_t(v);
                }
            if (plan.alpha >= 0) {
                std::uint8_t* a = bmp.mutableAlphaLine(y);
                const std::uint16_t* src = rows.data() + std::size_t(colors) * std::size_t(w);
                for (int x = 0; x < w; ++x)
                    a[x] = std::uint8_t(src[x]);
            }
        }
    });
    return bmp;
}

OPJ_CODEC_FORMAT formatOf(const std::string& path) {
    const auto head = readFileHead(path, 16);
    if (startsWith(head, kJp2Signature)) return OPJ_CODEC_JP2;
    if (startsWith(head, kCodestreamSignature)) return OPJ_CODEC_J2K;
    throw Error("Not a JPEG 2000 file");
}

DecodedImage readJpeg2000(const std::string& path) {
    Messages messages;
    CodecPtr codec(opj_create_decompress(formatOf(path)));
    if (!codec) throw Error("JPEG 2000 decoding failed: no decoder");
    routeMessages(codec.get(), messages);
    opj_dparameters_t params;
    opj_set_default_decoder_parameters(&params);
    if (!opj_setup_decoder(codec.get(), &params)) fail("JPEG 2000 decoding failed", messages);
    // Without strict mode a truncated stream decodes into a partly black picture.
    opj_decoder_set_strict_mode(codec.get(), OPJ_TRUE);
    opj_codec_set_threads(codec.get(), kThreads);
    StreamPtr stream(opj_stream_create_default_file_stream(path.c_str(), OPJ_TRUE));
    if (!stream) throw Error("Cannot open the JPEG 2000 file");
    opj_image_t* raw = nullptr;
    if (!opj_read_header(stream.get(), codec.get(), &raw)) {
        opj_image_destroy(raw);
        fail("Cannot read the JPEG 2000 header", messages);
    }
    ImagePtr img(raw);
    if (img->numcomps == 0 || img->x1 <= img->x0 || img->y1 <= img->y0)
        throw Error("The JPEG 2000 file holds no image");
    Plane::checkSize(std::int64_t(img->x1) - img->x0, std::int64_t(img->y1) - img->y0);
    if (!opj_decode(codec.get(), stream.get(), img.get())
        || !opj_end_decompress(codec.get(), stream.get()))
        fail("JPEG 2000 decoding failed", messages);
    DecodedImage out;
    out.bitmap = toBitmap(*img, planFor(*img));
    if (img->icc_profile_buf && img->icc_profile_len > 0)
        out.metadata.iccProfile.assign(
            img->icc_profile_buf, img->icc_profile_buf + img->icc_profile_len);
    return out;
}

// ---------------------------------------------------------------------------------------------
// Writing

/// Resolution levels the tile size allows (OpenJPEG refuses more than log2 of the side + 1).
int resolutionsFor(int tileW, int tileH) {
    const int side = std::min(tileW, tileH);
    int levels = 1;
    while (levels < 6 && (1 << levels) <= side)
        ++levels;
    return levels;
}

opj_cparameters_t encoderParams(const FormatParams& fp, const SampleLayout& layout, int w, int h) {
    opj_cparameters_t p;
    opj_set_default_encoder_parameters(&p);
    p.tcp_numlayers = 1;
    p.cp_disto_alloc = 1;
    const bool lossy = fp.j2kRate > 0;
    p.tcp_rates[0] = lossy ? float(std::max(1.0, fp.j2kRate)) : 0.0f;
    p.irreversible = lossy ? 1 : 0;
    p.tcp_mct = layout.colors == 3 ? 1 : 0;
    // Tiles bound the encoder's memory on large images.
    p.tile_size_on = OPJ_TRUE;
    p.cp_tdx = std::min(w, kTileSide);
    p.cp_tdy = std::min(h, kTileSide);
    p.numresolution = resolutionsFor(p.cp_tdx, p.cp_tdy);
    return p;
}

ImagePtr tileImage(int w, int h, const SampleLayout& layout) {
    opj_image_cmptparm_t comps[4];
    std::memset(comps, 0, sizeof comps);
    for (int c = 0; c < layout.samples(); ++c) {
        comps[c].dx = comps[c].dy = 1;
        comps[c].w = OPJ_UINT32(w);
        comps[c].h = OPJ_UINT32(h);
        comps[c].prec = OPJ_UINT32(layout.bits);
    }
    ImagePtr img(opj_image_tile_create(OPJ_UINT32(layout.samples()), comps,
        layout.colors == 3 ? OPJ_CLRSPC_SRGB : OPJ_CLRSPC_GRAY));
    if (!img) throw Error("JPEG 2000 encoding failed: out of memory");
    img->x0 = img->y0 = 0;
    img->x1 = OPJ_UINT32(w);
    img->y1 = OPJ_UINT32(h);
    if (layout.alpha) img->comps[layout.samples() - 1].alpha = 1;
    return img;
}

/// Splits interleaved band rows into the planar tile buffer OpenJPEG takes.
template <class T>
void fillTile(const std::vector<std::uint8_t>& band, std::size_t bandRowBytes, int x0, int tw,
    int th, int samples, std::vector<std::uint8_t>& tile) {
    T* out = reinterpret_cast<T*>(tile.data());
    for (int c = 0; c < samples; ++c)
        for (int y = 0; y < th; ++y) {
            const T* in = reinterpret_cast<const T*>(band.data() + std::size_t(y) * bandRowBytes)
                + std::size_t(x0) * std::size_t(samples) + std::size_t(c);
            for (int x = 0; x < tw; ++x, in += samples)
                *out++ = *in;
        }
}

void writeJpeg2000(const std::string& path, const Bitmap& bitmap, const FormatParams& fp) {
    const SampleLayout layout = plainLayoutOf(bitmap);
    const Bitmap bmp = toLayout(bitmap, layout);
    const int w = bmp.width(), h = bmp.height();
    Messages messages;
    const bool jp2 = extensionOf(path) == ".jp2";
    CodecPtr codec(opj_create_compress(jp2 ? OPJ_CODEC_JP2 : OPJ_CODEC_J2K));
    if (!codec) throw Error("JPEG 2000 encoding failed: no encoder");
    routeMessages(codec.get(), messages);
    opj_cparameters_t params = encoderParams(fp, layout, w, h);
    ImagePtr img = tileImage(w, h, layout);
    if (!opj_setup_encoder(codec.get(), &params, img.get()))
        fail("JPEG 2000 encoding failed", messages);
    opj_codec_set_threads(codec.get(), kThreads);
    StreamPtr stream(opj_stream_create_default_file_stream(path.c_str(), OPJ_FALSE));
    if (!stream) throw Error("Cannot create the file");
    if (!opj_start_compress(codec.get(), img.get(), stream.get()))
        fail("JPEG 2000 encoding failed", messages);

    const std::size_t bandRowBytes = layout.rowBytes(w);
    const int bytesPerSample = layout.bits / 8;
    std::vector<std::uint8_t> band(bandRowBytes * std::size_t(std::min(h, params.cp_tdy)));
    std::vector<std::uint8_t> tile;
    const int tilesX = (w + params.cp_tdx - 1) / params.cp_tdx;
    OPJ_UINT32 index = 0;
    for (int ty = 0; ty < h; ty += params.cp_tdy) {
        const int th = std::min(params.cp_tdy, h - ty);
        parallelFor(ty, ty + th, [&](int y0, int y1) {
            for (int y = y0; y < y1; ++y)
                packRow(bmp, y, layout, band.data() + std::size_t(y - ty) * bandRowBytes);
        });
        for (int tx = 0; tx < tilesX; ++tx, ++index) {
            const int x0 = tx * params.cp_tdx, tw = std::min(params.cp_tdx, w - x0);
            tile.resize(std::size_t(tw) * std::size_t(th) * std::size_t(layout.samples())
                * std::size_t(bytesPerSample));
            if (bytesPerSample == 2)
                fillTile<std::uint16_t>(band, bandRowBytes, x0, tw, th, layout.samples(), tile);
            else
                fillTile<std::uint8_t>(band, bandRowBytes, x0, tw, th, layout.samples(), tile);
            if (!opj_write_tile(
                    codec.get(), index, tile.data(), OPJ_UINT32(tile.size()), stream.get()))
                fail("JPEG 2000 encoding failed", messages);
        }
    }
    if (!opj_end_compress(codec.get(), stream.get())) fail("JPEG 2000 encoding failed", messages);
}

class Jpeg2000Codec final : public Codec {
public:
    std::string name() const override { return "JPEG 2000"; }
    std::vector<std::string> extensions() const override {
        return { ".jp2", ".j2k", ".j2c", ".jpc" };
    }
    bool matches(std::span<const std::uint8_t> head) const override {
        return startsWith(head, kJp2Signature) || startsWith(head, kCodestreamSignature);
    }
    DecodedImage read(const std::string& path, const ReadOptions&) const override {
        return readJpeg2000(path);
    }
    void write(const std::string& path, const Bitmap& bitmap, const FormatParams& params,
        const Metadata&) const override {
        writeJpeg2000(path, bitmap, params);
    }
};

} // namespace

std::shared_ptr<const Codec> makeJpeg2000Codec() {
    return std::make_shared<Jpeg2000Codec>();
}

} // namespace ie::io
