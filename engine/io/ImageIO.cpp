#include "ImageIO.h"

#include "../imaging/BitmapOps.h"
#include "../imaging/Error.h"
#include "AtomicFile.h"
#include "CodecRegistry.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace ie::io {

namespace fs = std::filesystem;

std::string extensionOf(const std::string& path) {
    std::string ext = fs::path(path).extension().string();
    std::transform(
        ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    return ext;
}

std::vector<std::uint8_t> readFileHead(const std::string& path, std::size_t n) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw Error("Cannot open file \"" + path + "\". " + std::strerror(errno));
    std::vector<std::uint8_t> head(n);
    in.read(reinterpret_cast<char*>(head.data()), std::streamsize(n));
    head.resize(std::size_t(in.gcount()));
    return head;
}

std::vector<std::uint8_t> readWholeFile(const std::string& path, std::size_t maxBytes) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) throw Error("Cannot open file \"" + path + "\". " + std::strerror(errno));
    const auto size = static_cast<std::size_t>(in.tellg());
    if (size > maxBytes) throw Error("File too large: " + path);
    in.seekg(0);
    std::vector<std::uint8_t> data(size);
    in.read(reinterpret_cast<char*>(data.data()), std::streamsize(size));
    if (std::size_t(in.gcount()) != size) throw Error("Cannot read file \"" + path + "\"");
    return data;
}

namespace {

void applyOrientation(Bitmap& bmp, int orientation) {
    switch (orientation) {
    case 2:
        flipHorizontal(bmp);
        break;
    case 3:
        bmp = rotateRightAngle(bmp, 180);
        break;
    case 4:
        flipVertical(bmp);
        break;
    case 5:
        bmp = rotateRightAngle(bmp, 90);
        flipHorizontal(bmp);
        break;
    case 6:
        bmp = rotateRightAngle(bmp, 90);
        break;
    case 7:
        bmp = rotateRightAngle(bmp, 90);
        flipVertical(bmp);
        break;
    case 8:
        bmp = rotateRightAngle(bmp, 270);
        break;
    default:
        break;
    }
}

[[noreturn]] void rethrowNamingFile(const std::string& path, const std::exception& e) {
    const std::string msg = e.what();
    if (msg.find(path) != std::string::npos) throw Error(msg);
    throw Error("Unable to open file: " + path + ": " + msg);
}

} // namespace

LoadedImage loadImage(const std::string& path, const LoadOptions& options) {
    if (!fs::is_regular_file(path))
        throw Error("Unable to open file: " + path + ": the file does not exist");
    auto codec = CodecRegistry::instance().forReading(path);
    LoadedImage out;
    try {
        DecodedImage decoded = codec->read(path, options);
        out.bitmap = std::move(decoded.bitmap);
        out.metadata = std::move(decoded.metadata);
    } catch (const std::bad_alloc&) {
        throw Error("Unable to open file: " + path + ": not enough memory");
    } catch (const std::exception& e) {
        rethrowNamingFile(path, e);
    }
    if (out.bitmap.isNull())
        throw Error("Unable to open file: " + path + ": the file holds no image");
    out.formatName = codec->name();
    try {
        out.pageCount = std::max(1, codec->pageCount(path));
    } catch (...) {
        out.pageCount = 1;
    }
    if (options.applyOrientation && !out.metadata.exif.empty()) {
        const int orientation = readExifSummary(out.metadata).orientation;
        if (orientation > 1 && orientation <= 8) {
            applyOrientation(out.bitmap, orientation);
            resetExifOrientation(out.metadata);
        }
    }
    return out;
}

void saveImage(const std::string& path, const Bitmap& bitmap, const FormatParams& params,
    const Metadata& metadata) {
    if (bitmap.isNull()) throw Error("Cannot save " + path + ": the image is empty");
    const std::string ext = extensionOf(path);
    auto codec = CodecRegistry::instance().forExtension(ext);
    if (!codec || !codec->canWrite())
        throw Error(
            "Cannot save " + path + ": the format \"" + ext + "\" is not supported for writing");
    const fs::path parent = fs::path(path).parent_path();
    if (!parent.empty() && !fs::is_directory(parent))
        throw Error("Cannot create file \"" + path + "\". The folder does not exist");
    AtomicFile file(path);
    try {
        codec->write(file.tempPath(), bitmap, params, metadata);
        if (!codec->embedsMetadata() && !metadata.isEmpty())
            writeMetadataToFile(file.tempPath(), metadata);
    } catch (const std::exception& e) {
        throw Error("Cannot save " + path + ": " + e.what());
    }
    file.commit();
}

int imagePageCount(const std::string& path) {
    try {
        return std::max(1, CodecRegistry::instance().forReading(path)->pageCount(path));
    } catch (...) {
        return 1;
    }
}

} // namespace ie::io
