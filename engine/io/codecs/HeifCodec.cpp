// HEIF and AVIF reading through libheif: the top-level images are the pages.
#include "Codecs.h"
#include "SampleRows.h"

#include "../../imaging/Error.h"
#include "../../imaging/Parallel.h"

#include <libheif/heif.h>

#include <algorithm>
#include <bit>
#include <cstring>
#include <memory>
#include <mutex>

namespace ie::io {

namespace {

struct ContextFree {
    void operator()(heif_context* c) const { heif_context_free(c); }
};
struct HandleFree {
    void operator()(heif_image_handle* h) const { heif_image_handle_release(h); }
};
struct ImageFree {
    void operator()(heif_image* i) const { heif_image_release(i); }
};
using ContextPtr = std::unique_ptr<heif_context, ContextFree>;
using HandlePtr = std::unique_ptr<heif_image_handle, HandleFree>;
using ImagePtr = std::unique_ptr<heif_image, ImageFree>;

[[noreturn]] void fail(const heif_error& err) {
    if (err.code == heif_error_Unsupported_feature
        && err.subcode == heif_suberror_Unsupported_codec)
        throw Error(std::string("HEIF/AVIF decoding is not available: ") + err.message);
    throw Error(std::string("HEIF decoding failed: ") + err.message);
}

void check(const heif_error& err) {
    if (err.code != heif_error_Ok) fail(err);
}

ContextPtr openContext(const std::string& path) {
    static std::once_flag once;
    std::call_once(once, [] { heif_init(nullptr); });
    ContextPtr ctx(heif_context_alloc());
    if (!ctx) throw Error("HEIF decoding failed: out of memory");
    heif_context_set_maximum_image_size_limit(ctx.get(), Plane::kMaxSide);
    heif_context_set_max_decoding_threads(ctx.get(), threadCount());
    check(heif_context_read_from_file(ctx.get(), path.c_str(), nullptr));
    return ctx;
}

HandlePtr topLevelImage(heif_context* ctx, int index) {
    const int count = heif_context_get_number_of_top_level_images(ctx);
    if (count <= 0) throw Error("The HEIF file holds no image");
    if (index < 0 || index >= count)
        throw Error("The HEIF file has no image " + std::to_string(index + 1) + " (it has "
            + std::to_string(count) + ")");
    std::vector<heif_item_id> ids(static_cast<std::size_t>(count));
    heif_context_get_list_of_top_level_image_IDs(ctx, ids.data(), count);
    heif_image_handle* handle = nullptr;
    check(heif_context_get_image_handle(ctx, ids[std::size_t(index)], &handle));
    return HandlePtr(handle);
}

heif_chroma chromaFor(const SampleLayout& layout) {
    constexpr bool little = std::endian::native == std::endian::little;
    if (layout.bits == 8)
        return layout.alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB;
    if (layout.alpha)
        return little ? heif_chroma_interleaved_RRGGBBAA_LE : heif_chroma_interleaved_RRGGBBAA_BE;
    return little ? heif_chroma_interleaved_RRGGBB_LE : heif_chroma_interleaved_RRGGBB_BE;
}

/// Copies the decoded interleaved plane into a bitmap, widening 10- and 12-bit samples to 16.
Bitmap toBitmap(const heif_image* img, const SampleLayout& layout) {
    int stride = 0;
    const std::uint8_t* data
        = heif_image_get_plane_readonly(img, heif_channel_interleaved, &stride);
    const int w = heif_image_get_width(img, heif_channel_interleaved);
    const int h = heif_image_get_height(img, heif_channel_interleaved);
    if (!data || w <= 0 || h <= 0) throw Error("HEIF decoding failed: no pixel data");
    Plane::checkSize(w, h);
    Bitmap bmp = newBitmapFor(w, h, layout);
    const int range = heif_image_get_bits_per_pixel_range(img, heif_channel_interleaved);
    const bool widen = layout.bits == 16 && range > 0 && range < 16;
    const std::uint32_t maxIn = widen ? (1u << range) - 1 : 0xffff;
    parallelFor(0, h, [&](int y0, int y1) {
        std::vector<std::uint16_t> row(widen ? std::size_t(w) * std::size_t(layout.samples()) : 0);
        for (int y = y0; y < y1; ++y) {
            const std::uint8_t* src = data + std::size_t(y) * std::size_t(stride);
            if (widen) {
                std::memcpy(row.data(), src, row.size() * 2);
                for (auto& v : row)
                    v = std::uint16_t(
                        (std::min<std::uint32_t>(v, maxIn) * 65535u + maxIn / 2) / maxIn);
                src = reinterpret_cast<const std::uint8_t*>(row.data());
            }
            unpackRow(bmp, y, layout, src);
        }
    });
    return bmp;
}

std::vector<std::uint8_t> metadataBlock(const heif_image_handle* handle, heif_item_id id) {
    std::vector<std::uint8_t> data(heif_image_handle_get_metadata_size(handle, id));
    if (data.empty()
        || heif_image_handle_get_metadata(handle, id, data.data()).code != heif_error_Ok)
        return {};
    return data;
}

/// EXIF in HEIF starts with a 4-byte offset to the TIFF header; the rest is what we keep.
std::vector<std::uint8_t> exifPayload(const std::vector<std::uint8_t>& block) {
    if (block.size() < 4) return {};
    const std::size_t offset = (std::size_t(block[0]) << 24) | (std::size_t(block[1]) << 16)
        | (std::size_t(block[2]) << 8) | block[3];
    if (offset > block.size() - 4) return {};
    return { block.begin() + std::ptrdiff_t(4 + offset), block.end() };
}

Metadata readMetadata(const heif_image_handle* handle) {
    Metadata meta;
    const int n = heif_image_handle_get_number_of_metadata_blocks(handle, nullptr);
    std::vector<heif_item_id> ids(static_cast<std::size_t>(std::max(n, 0)));
    heif_image_handle_get_list_of_metadata_block_IDs(handle, nullptr, ids.data(), n);
    for (heif_item_id id : ids) {
        const std::string type = heif_image_handle_get_metadata_type(handle, id);
        const std::string content = heif_image_handle_get_metadata_content_type(handle, id);
        if (type == "Exif" && meta.exif.empty()) {
            meta.exif = exifPayload(metadataBlock(handle, id));
        } else if (type == "mime" && content == "application/rdf+xml" && meta.xmp.empty()) {
            const auto xmp = metadataBlock(handle, id);
            meta.xmp.assign(xmp.begin(), xmp.end());
        }
    }
    // The container's own rotation is applied while decoding, so the EXIF tag must not turn
    // the image a second time.
    if (!meta.exif.empty()) resetExifOrientation(meta);
    const auto profile = heif_image_handle_get_color_profile_type(handle);
    if (profile == heif_color_profile_type_prof || profile == heif_color_profile_type_rICC) {
        meta.iccProfile.resize(heif_image_handle_get_raw_color_profile_size(handle));
        if (heif_image_handle_get_raw_color_profile(handle, meta.iccProfile.data()).code
            != heif_error_Ok)
            meta.iccProfile.clear();
    }
    return meta;
}

bool isHeifBrand(const std::uint8_t* p) {
    static const char* const brands[]
        = { "heic", "heix", "hevc", "hevx", "mif1", "msf1", "avif", "avis" };
    return std::any_of(std::begin(brands), std::end(brands),
        [p](const char* b) { return std::memcmp(p, b, 4) == 0; });
}

class HeifCodec final : public Codec {
public:
    std::string name() const override { return "HEIF"; }
    std::vector<std::string> extensions() const override {
        return { ".heic", ".heif", ".avif", ".hif" };
    }
    bool canWrite() const override { return false; }

    bool matches(std::span<const std::uint8_t> head) const override {
        if (head.size() < 12 || std::memcmp(head.data() + 4, "ftyp", 4) != 0) return false;
        if (isHeifBrand(head.data() + 8)) return true;
        // Compatible brands follow the major brand and its version.
        const std::size_t boxSize = (std::size_t(head[0]) << 24) | (std::size_t(head[1]) << 16)
            | (std::size_t(head[2]) << 8) | head[3];
        const std::size_t end = std::min(boxSize, head.size());
        for (std::size_t at = 16; at + 4 <= end; at += 4)
            if (isHeifBrand(head.data() + at)) return true;
        return false;
    }

    DecodedImage read(const std::string& path, const ReadOptions& options) const override {
        ContextPtr ctx = openContext(path);
        HandlePtr handle = topLevelImage(ctx.get(), options.pageIndex);
        Plane::checkSize(
            heif_image_handle_get_width(handle.get()), heif_image_handle_get_height(handle.get()));
        SampleLayout layout;
        layout.alpha = heif_image_handle_has_alpha_channel(handle.get()) != 0;
        layout.bits = heif_image_handle_get_luma_bits_per_pixel(handle.get()) > 8 ? 16 : 8;
        heif_image* raw = nullptr;
        check(
            heif_decode_image(handle.get(), &raw, heif_colorspace_RGB, chromaFor(layout), nullptr));
        ImagePtr img(raw);
        DecodedImage out;
        out.bitmap = toBitmap(img.get(), layout);
        out.metadata = readMetadata(handle.get());
        return out;
    }

    int pageCount(const std::string& path) const override {
        return std::max(1, heif_context_get_number_of_top_level_images(openContext(path).get()));
    }
};

} // namespace

std::shared_ptr<const Codec> makeHeifCodec() {
    return std::make_shared<HeifCodec>();
}

} // namespace ie::io
