// Camera RAW files through LibRaw, with the import options; chosen by extension.
#include "Codecs.h"
#include "RawExif.h"
#include "RawOptions.h"
#include "SampleRows.h"

#include "../../imaging/Error.h"
#include "../../imaging/Parallel.h"
#include "../CodecRegistry.h"
#include "../ImageIO.h"

#include <libraw.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <unistd.h>

namespace ie::io {

namespace {

namespace fs = std::filesystem;

const char* const kLoadFailed = "This image could not be loaded.";

constexpr const char* kExtensions[] = { ".cr2", ".cr3", ".crw", ".nef", ".nrw", ".arw", ".srf",
    ".sr2", ".dng", ".raf", ".orf", ".rw2", ".pef", ".srw", ".x3f", ".3fr", ".mef", ".mos", ".erf",
    ".kdc", ".dcr", ".mrw", ".raw", ".rwl", ".iiq" };

bool isRawExtension(const std::string& ext) {
    return std::any_of(
        std::begin(kExtensions), std::end(kExtensions), [&](const char* e) { return ext == e; });
}

bool hasAt(std::span<const std::uint8_t> head, std::size_t at, std::string_view bytes) {
    return head.size() >= at + bytes.size()
        && std::memcmp(head.data() + at, bytes.data(), bytes.size()) == 0;
}

bool isTiff(std::span<const std::uint8_t> head) {
    return hasAt(head, 0, std::string_view("II*\0", 4))
        || hasAt(head, 0, std::string_view("MM\0*", 4));
}

/// Signatures that only RAW files have (Olympus, Panasonic, Fujifilm, Canon, Sigma, Minolta).
bool isRawOnlySignature(std::span<const std::uint8_t> head) {
    return hasAt(head, 0, "IIRO") || hasAt(head, 0, "IIRS")
        || hasAt(head, 0, std::string_view("IIU\0", 4)) || hasAt(head, 0, "FUJIFILM")
        || hasAt(head, 4, "ftypcrx ") || hasAt(head, 6, "HEAPCCDR") || hasAt(head, 0, "FOVb")
        || hasAt(head, 0, std::string_view("\0MRM", 4));
}

struct ProcessedFree {
    void operator()(libraw_processed_image_t* p) const { LibRaw::dcraw_clear_mem(p); }
};
using ProcessedPtr = std::unique_ptr<libraw_processed_image_t, ProcessedFree>;

Bitmap fromProcessed(const libraw_processed_image_t& img) {
    if (img.type != LIBRAW_IMAGE_BITMAP || (img.colors != 1 && img.colors != 3)
        || (img.bits != 8 && img.bits != 16))
        throw Error(kLoadFailed);
    Plane::checkSize(img.width, img.height);
    const SampleLayout layout { img.colors, false, img.bits };
    const std::size_t rowBytes = layout.rowBytes(img.width);
    if (std::size_t(img.data_size) < rowBytes * img.height) throw Error(kLoadFailed);
    Bitmap bmp = newBitmapFor(img.width, img.height, layout);
    const unsigned char* data = img.data;
    parallelFor(0, img.height, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y)
            unpackRow(bmp, y, layout, data + std::size_t(y) * rowBytes);
    });
    return bmp;
}

/// Removes a file when it goes out of scope.
struct TempFile {
    std::string path;
    ~TempFile() {
        if (!path.empty()) ::unlink(path.c_str());
    }
};

/// The embedded JPEG decoded by the program's JPEG codec.
Bitmap decodeJpeg(const unsigned char* data, std::size_t size) {
    const auto jpeg = CodecRegistry::instance().forExtension(".jpg");
    if (!jpeg) throw Error(kLoadFailed);
    const fs::path dir = fs::temp_directory_path() / "vistrelune";
    fs::create_directories(dir);
    std::string pattern = (dir / "raw-preview-XXXXXX.jpg").string();
    const int fd = ::mkstemps(pattern.data(), 4);
    if (fd < 0) throw Error(kLoadFailed);
    TempFile temp { pattern };
    const bool written = ::write(fd, data, size) == ssize_t(size);
    ::close(fd);
    if (!written) throw Error(kLoadFailed);
    return jpeg->read(temp.path, {}).bitmap;
}

/// The preview the camera stored; null when there is none usable.
Bitmap decodePreview(LibRaw& raw) {
    if (raw.unpack_thumb() != LIBRAW_SUCCESS) return {};
    int err = 0;
    ProcessedPtr thumb(raw.dcraw_make_mem_thumb(&err));
    if (!thumb) return {};
    try {
        if (thumb->type == LIBRAW_IMAGE_JPEG) return decodeJpeg(thumb->data, thumb->data_size);
        return fromProcessed(*thumb);
    } catch (const Error&) {
        return {};
    }
}

Bitmap decodeSensor(LibRaw& raw) {
    if (raw.unpack() != LIBRAW_SUCCESS || raw.dcraw_process() != LIBRAW_SUCCESS)
        throw Error(kLoadFailed);
    int err = 0;
    ProcessedPtr img(raw.dcraw_make_mem_image(&err));
    if (!img) throw Error(kLoadFailed);
    return fromProcessed(*img);
}

/// LibRaw's flip codes as EXIF orientations.
int orientationOf(int flip) {
    switch (flip) {
    case 3:
        return 3;
    case 5:
        return 8;
    case 6:
        return 6;
    default:
        return 1;
    }
}

RawShotInfo shotInfo(const libraw_data_t& d, const Bitmap& bmp, bool preview) {
    RawShotInfo info;
    info.make = d.idata.make;
    info.model = d.idata.model;
    info.software = d.idata.software;
    info.artist = d.other.artist;
    info.lensMake = d.lens.LensMake;
    info.lensModel = d.lens.Lens;
    info.timestamp = d.other.timestamp;
    info.fNumber = d.other.aperture;
    info.exposureTime = d.other.shutter;
    info.focalLength = d.other.focal_len;
    info.isoSpeed = d.other.iso_speed;
    info.width = bmp.width();
    info.height = bmp.height();
    // LibRaw turns decoded sensor data itself, but not the camera's preview.
    info.orientation = preview ? orientationOf(d.sizes.flip) : 1;
    return info;
}

DecodedImage decodeRaw(const std::string& path, const RawParams& params) {
    auto raw = std::make_unique<LibRaw>(0);
    // LibRaw reports damaged data on stderr; the failure reaches the user as our error instead.
    raw->set_dataerror_handler([](void*, const char*, int) {}, nullptr);
    raw->set_memerror_handler([](void*, const char*, const char*) {}, nullptr);
    applyRawParams(params, raw->imgdata.params);
    if (raw->open_file(path.c_str()) != LIBRAW_SUCCESS) throw Error(kLoadFailed);
    const auto& sizes = raw->imgdata.sizes;
    Plane::checkSize(sizes.raw_width, sizes.raw_height);
    Plane::checkSize(sizes.width, sizes.height);
    const bool wantPreview
        = params.size == RawSize::EmbeddedJpeg || params.size == RawSize::Thumbnail;
    Bitmap bmp = wantPreview ? decodePreview(*raw) : Bitmap();
    const bool preview = !bmp.isNull();
    if (!preview) {
        // Without a stored preview a half-size decode is the quick stand-in.
        if (wantPreview) raw->imgdata.params.half_size = 1;
        bmp = decodeSensor(*raw);
        if (params.autoAdjustColors) autoAdjustColors(bmp);
    }
    DecodedImage out;
    out.metadata.exif = makeRawExif(shotInfo(raw->imgdata, bmp, preview));
    out.bitmap = std::move(bmp);
    return out;
}

class RawCodec final : public Codec {
public:
    std::string name() const override { return "Camera RAW"; }
    std::vector<std::string> extensions() const override {
        return { std::begin(kExtensions), std::end(kExtensions) };
    }
    bool canWrite() const override { return false; }

    /// Accepts TIFF's signature too: TIFF-based RAW files (.nef, .dng ...) must come here by
    /// their extension rather than go to the TIFF codec.
    bool matches(std::span<const std::uint8_t> head) const override {
        return isTiff(head) || isRawOnlySignature(head);
    }

    DecodedImage read(const std::string& path, const ReadOptions& options) const override {
        const auto head = readFileHead(path, 64);
        if (!isRawFile(path, head)) return generalCodec(head, path).read(path, options);
        try {
            return decodeRaw(path, options.raw);
        } catch (const Error&) {
            // As a last resort the file may still be an ordinary image (a DNG LibRaw can't
            // decode is still a TIFF).
        }
        if (const Codec* other = otherCodecFor(head)) {
            try {
                return other->read(path, options);
            } catch (const Error&) { }
        }
        throw Error(kLoadFailed);
    }

    int pageCount(const std::string& path) const override {
        const auto head = readFileHead(path, 64);
        return isRawFile(path, head) ? 1 : generalCodec(head, path).pageCount(path);
    }

private:
    static bool isRawFile(const std::string& path, std::span<const std::uint8_t> head) {
        return isRawExtension(extensionOf(path)) || isRawOnlySignature(head);
    }

    /// The codec that would read the file if this one weren't there.
    const Codec* otherCodecFor(std::span<const std::uint8_t> head) const {
        const auto& codecs = CodecRegistry::instance().codecs();
        for (auto it = codecs.rbegin(); it != codecs.rend(); ++it)
            if (it->get() != this && (*it)->canRead() && (*it)->matches(head)) return it->get();
        return nullptr;
    }

    /// A plain TIFF with another extension reaches this codec through its signature.
    const Codec& generalCodec(std::span<const std::uint8_t> head, const std::string& path) const {
        if (const Codec* other = otherCodecFor(head)) return *other;
        throw Error("Unable to open file: " + path + " (unknown or unsupported image format)");
    }
};

} // namespace

std::shared_ptr<const Codec> makeRawCodec() {
    return std::make_shared<RawCodec>();
}

} // namespace ie::io
