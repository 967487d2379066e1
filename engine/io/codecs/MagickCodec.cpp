// The fallback codec: formats without a direct codec, read and written through Magick++.
#include "Codecs.h"
#include "SampleRows.h"

#include "../../imaging/Error.h"
#include "../../imaging/Parallel.h"
#include "../ImageIO.h"

#include <Magick++.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>

namespace ie::io {

namespace {

namespace fs = std::filesystem;

struct Format {
    const char* extension;
    const char* magick; ///< the ImageMagick coder
    const char* label; ///< how messages name it
    bool writable;
};

// Extensions the program lists for saving come first; the rest are read as a bonus.
constexpr Format kFormats[] = {
    { ".dpx", "DPX", "DPX", true },
    { ".dcx", "DCX", "DCX", true },
    { ".dcm", "DCM", "DICOM", false },
    { ".dicom", "DCM", "DICOM", false },
    { ".jng", "JNG", "JNG", true },
    { ".cin", "CIN", "Cineon", true },
    { ".pict", "PICT", "PICT", true },
    { ".pct", "PICT", "PICT", true },
    { ".hdp", "JXR", "HD Photo (.hdp)", true },
    { ".wdp", "JXR", "HD Photo (.hdp)", true },
    { ".jxr", "JXR", "HD Photo (.hdp)", true },
    { ".xcf", "XCF", "XCF", false },
    { ".pcd", "PCD", "Photo CD", false },
    { ".sgi", "SGI", "SGI", true },
    { ".ras", "SUN", "Sun raster", true },
    { ".sun", "SUN", "Sun raster", true },
    { ".xpm", "XPM", "XPM", true },
    { ".xbm", "XBM", "XBM", true },
    { ".xwd", "XWD", "XWD", true },
    { ".mng", "MNG", "MNG", true },
    { ".miff", "MIFF", "MIFF", true },
    { ".fits", "FITS", "FITS", true },
    { ".hdr", "HDR", "Radiance HDR", true },
    { ".exr", "EXR", "OpenEXR", true },
    { ".wbmp", "WBMP", "WBMP", true },
};

/// Formats recognised by their first bytes, so a misnamed file still opens.
struct Signature {
    const char* magick;
    std::uint8_t bytes[8];
    std::size_t size;
};
constexpr Signature kSignatures[] = {
    { "DPX", { 'S', 'D', 'P', 'X' }, 4 },
    { "DPX", { 'X', 'P', 'D', 'S' }, 4 },
    { "CIN", { 0x80, 0x2A, 0x5F, 0xD7 }, 4 },
    { "DCX", { 0xB1, 0x68, 0xDE, 0x3A }, 4 },
    { "JNG", { 0x8B, 'J', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A }, 8 },
};

const char* signatureFormat(std::span<const std::uint8_t> head) {
    for (const Signature& s : kSignatures)
        if (head.size() >= s.size && std::memcmp(head.data(), s.bytes, s.size) == 0)
            return s.magick;
    return nullptr;
}

const Format* formatByExtension(const std::string& ext) {
    for (const Format& f : kFormats)
        if (ext == f.extension) return &f;
    return nullptr;
}

const Format* formatByMagick(const char* magick) {
    for (const Format& f : kFormats)
        if (std::strcmp(f.magick, magick) == 0) return &f;
    return nullptr;
}

/// Temporary files of ImageMagick go into a folder of ours, so that clean-up finds them.
std::string temporaryFolder() {
    const fs::path dir = fs::temp_directory_path() / "vistrelune";
    std::error_code ec;
    fs::create_directories(dir, ec);
    return dir.string();
}

void initMagick() {
    static std::once_flag once;
    std::call_once(once, [] {
        Magick::InitializeMagick(nullptr);
        MagickCore::ExceptionInfo* ex = MagickCore::AcquireExceptionInfo();
        MagickCore::SetImageRegistry(
            MagickCore::StringRegistryType, "temporary-path", temporaryFolder().c_str(), ex);
        MagickCore::DestroyExceptionInfo(ex);
        // Hostile files must not exhaust the machine; system policy may lower these further.
        constexpr MagickCore::MagickSizeType MiB = 1 << 20;
        Magick::ResourceLimits::memory(1024 * MiB);
        Magick::ResourceLimits::map(2048 * MiB);
        Magick::ResourceLimits::disk(4096 * MiB);
        Magick::ResourceLimits::area(256'000'000);
        Magick::ResourceLimits::width(Plane::kMaxSide);
        Magick::ResourceLimits::height(Plane::kMaxSide);
        Magick::ResourceLimits::listLength(4096);
        Magick::ResourceLimits::thread(MagickCore::MagickSizeType(threadCount()));
        MagickCore::SetMagickResourceLimit(MagickCore::TimeResource, 120);
    });
}

/// The reason alone from ImageMagick's "client: reason `file' @ source-location" messages (the
/// file is a blob here, so its name is empty and any errno text after it is stale).
std::string cleanMessage(const std::string& what) {
    std::string m = what;
    const std::string client = std::string(MagickCore::GetClientName()) + ": ";
    if (m.rfind(client, 0) == 0) m.erase(0, client.size());
    for (const char* cut : { " `", " @ " })
        if (const auto at = m.find(cut); at != std::string::npos) m.erase(at);
    return m.empty() ? std::string("ImageMagick could not read the file") : m;
}

bool coderAvailable(const char* magick) {
    MagickCore::ExceptionInfo* ex = MagickCore::AcquireExceptionInfo();
    const MagickCore::MagickInfo* info = MagickCore::GetMagickInfo(magick, ex);
    MagickCore::DestroyExceptionInfo(ex);
    return info && std::strcmp(info->name, magick) == 0;
}

/// The format to read `path` as: its signature first, else its extension.
const Format& formatForReading(const std::string& path) {
    const auto head = readFileHead(path, 16);
    const Format* f = nullptr;
    if (const char* magick = signatureFormat(head)) f = formatByMagick(magick);
    if (!f) f = formatByExtension(extensionOf(path));
    if (!f) throw Error("Unknown image format");
    return *f;
}

void requireCoder(const Format& f) {
    initMagick();
    if (!coderAvailable(f.magick))
        throw Error(std::string(f.label) + " files are not supported on this system");
}

Magick::Blob fileBlob(const std::string& path) {
    const auto data = readWholeFile(path);
    if (data.empty()) throw Error("The file is empty");
    return Magick::Blob(data.data(), data.size());
}

/// Converts log (Cineon), CMYK and other encodings to RGB before the pixels are taken out.
void makeRgbOrGrey(Magick::Image& img) {
    const auto cs = img.colorSpace();
    if (cs != MagickCore::sRGBColorspace && cs != MagickCore::RGBColorspace
        && cs != MagickCore::GRAYColorspace)
        img.colorSpace(MagickCore::sRGBColorspace);
}

Bitmap exportPixels(Magick::Image& img) {
    const int w = int(img.columns()), h = int(img.rows());
    Plane::checkSize(w, h);
    MagickCore::ExceptionInfo* ex = MagickCore::AcquireExceptionInfo();
    SampleLayout layout;
    layout.colors = MagickCore::IsGrayImage(img.constImage(), ex) ? 1 : 3;
    MagickCore::DestroyExceptionInfo(ex);
    layout.bits = img.depth() > 8 ? 16 : 8;
    layout.alpha = img.matte();
    Bitmap bmp = newBitmapFor(w, h, layout);
    const char* map = layout.colors == 1 ? "I" : "RGB";
    const auto type = layout.bits == 16 ? MagickCore::ShortPixel : MagickCore::CharPixel;
    for (int y = 0; y < h; ++y) {
        img.write(0, y, std::size_t(w), 1, map, type, bmp.mutableScanline(y));
        if (layout.alpha)
            img.write(0, y, std::size_t(w), 1, "A", MagickCore::CharPixel, bmp.mutableAlphaLine(y));
    }
    const MagickCore::Image* core = img.constImage();
    double dx = core->x_resolution, dy = core->y_resolution;
    if (core->units == MagickCore::PixelsPerCentimeterResolution) {
        dx *= 2.54;
        dy *= 2.54;
    }
    if (dx > 0 && dy > 0) bmp.setDpi(dx, dy);
    return bmp;
}

DecodedImage readWithMagick(const std::string& path, int pageIndex) {
    const Format& f = formatForReading(path);
    requireCoder(f);
    const Magick::Blob blob = fileBlob(path);
    Magick::Image img;
    img.quiet(true);
    // Naming the coder keeps ImageMagick from guessing another one from the content.
    img.magick(f.magick);
    img.subImage(std::size_t(std::max(0, pageIndex)));
    img.subRange(1);
    img.read(blob);
    if (!img.isValid() || img.columns() == 0 || img.rows() == 0)
        throw Error("The file holds no image");
    makeRgbOrGrey(img);
    DecodedImage out;
    out.bitmap = exportPixels(img);
    return out;
}

int countPages(const std::string& path) {
    const Format& f = formatForReading(path);
    requireCoder(f);
    const Magick::Blob blob = fileBlob(path);
    MagickCore::ImageInfo* info = MagickCore::CloneImageInfo(nullptr);
    std::strncpy(info->magick, f.magick, sizeof info->magick - 1);
    MagickCore::ExceptionInfo* ex = MagickCore::AcquireExceptionInfo();
    MagickCore::Image* list = MagickCore::PingBlob(info, blob.data(), blob.length(), ex);
    const int n = list ? int(MagickCore::GetImageListLength(list)) : 1;
    if (list) MagickCore::DestroyImageList(list);
    MagickCore::DestroyExceptionInfo(ex);
    MagickCore::DestroyImageInfo(info);
    return std::max(1, n);
}

Magick::Image importPixels(const Bitmap& bitmap, double dpiX, double dpiY) {
    const SampleLayout layout = plainLayoutOf(bitmap);
    const Bitmap bmp = toLayout(bitmap, layout);
    const int w = bmp.width(), h = bmp.height();
    Magick::Image img(Magick::Geometry(std::size_t(w), std::size_t(h)), Magick::Color(0, 0, 0));
    img.depth(std::size_t(layout.bits));
    if (layout.alpha) img.matte(true);
    img.modifyImage();
    static const char* const maps[2][2] = { { "I", "IA" }, { "RGB", "RGBA" } };
    const char* map = maps[layout.colors == 3][layout.alpha];
    const auto type = layout.bits == 16 ? MagickCore::ShortPixel : MagickCore::CharPixel;
    std::vector<std::uint8_t> row(layout.rowBytes(w));
    for (int y = 0; y < h; ++y) {
        packRow(bmp, y, layout, row.data());
        if (!MagickCore::ImportImagePixels(
                img.image(), 0, y, std::size_t(w), 1, map, type, row.data()))
            throw Error("Cannot convert the pixels for ImageMagick");
    }
    if (layout.colors == 1)
        img.type(layout.alpha ? MagickCore::GrayscaleMatteType : MagickCore::GrayscaleType);
    img.resolutionUnits(MagickCore::PixelsPerInchResolution);
    img.density(Magick::Geometry(std::size_t(std::lround(std::max(1.0, dpiX))),
        std::size_t(std::lround(std::max(1.0, dpiY)))));
    return img;
}

void writeWithMagick(const std::string& path, const Bitmap& bitmap, const FormatParams& params) {
    const Format* f = formatByExtension(extensionOf(path));
    if (!f) throw Error("Unknown image format");
    if (!f->writable) throw Error(std::string("Writing ") + f->label + " files is not supported");
    requireCoder(*f);
    Magick::Image img = importPixels(bitmap, params.dpiX > 0 ? params.dpiX : bitmap.dpiX(),
        params.dpiY > 0 ? params.dpiY : bitmap.dpiY());
    img.magick(f->magick);
    Magick::Blob blob;
    img.write(&blob);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(static_cast<const char*>(blob.data()), std::streamsize(blob.length()));
    if (!out.flush()) throw Error("Cannot write the file");
}

/// Runs `body`, turning ImageMagick's exceptions into ours.
template <class F> auto guarded(const F& body) {
    try {
        return body();
    } catch (const Magick::Exception& e) {
        throw Error(cleanMessage(e.what()));
    }
}

class MagickCodec final : public Codec {
public:
    std::string name() const override { return "ImageMagick"; }
    std::vector<std::string> extensions() const override {
        std::vector<std::string> out;
        for (const Format& f : kFormats)
            out.push_back(f.extension);
        return out;
    }
    bool matches(std::span<const std::uint8_t> head) const override {
        return signatureFormat(head) != nullptr;
    }
    DecodedImage read(const std::string& path, const ReadOptions& options) const override {
        return guarded([&] { return readWithMagick(path, options.pageIndex); });
    }
    int pageCount(const std::string& path) const override {
        return guarded([&] { return countPages(path); });
    }
    void write(const std::string& path, const Bitmap& bitmap, const FormatParams& params,
        const Metadata&) const override {
        guarded([&] { writeWithMagick(path, bitmap, params); });
    }
};

} // namespace

std::shared_ptr<const Codec> makeMagickCodec() {
    return std::make_shared<MagickCodec>();
}

} // namespace ie::io
