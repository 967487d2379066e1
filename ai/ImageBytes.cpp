#include "ImageBytes.h"

#include "imaging/Error.h"
#include "io/ImageIO.h"

#include <QTemporaryDir>

#include <cstring>
#include <fstream>

namespace vst::ai {
namespace {

const char* extensionFor(ImageEncoding encoding) {
    switch (encoding) {
    case ImageEncoding::Png:
        return "image.png";
    case ImageEncoding::WebpLossless:
        return "image.webp";
    case ImageEncoding::Jpeg:
        return "image.jpg";
    }
    return "image.png";
}

const char* fileNameBySignature(std::span<const std::uint8_t> b) {
    if (b.size() >= 8 && std::memcmp(b.data(), "\x89PNG\r\n\x1a\n", 8) == 0) return "answer.png";
    if (b.size() >= 3 && b[0] == 0xFF && b[1] == 0xD8 && b[2] == 0xFF) return "answer.jpg";
    if (b.size() >= 12 && std::memcmp(b.data(), "RIFF", 4) == 0
        && std::memcmp(b.data() + 8, "WEBP", 4) == 0)
        return "answer.webp";
    return nullptr;
}

void requireValid(const QTemporaryDir& dir) {
    if (!dir.isValid()) throw ie::Error("Could not create a temporary folder for the image.");
}

} // namespace

std::vector<std::uint8_t> encodeImage(const ie::Bitmap& bitmap, ImageEncoding encoding) {
    const QTemporaryDir dir;
    requireValid(dir);
    const std::string path = dir.filePath(extensionFor(encoding)).toStdString();
    ie::io::FormatParams params;
    params.webpLossless = true;
    params.jpegQuality = 95;
    params.pngCompression = 6;
    ie::io::saveImage(path, bitmap, params);
    return ie::io::readWholeFile(path);
}

ie::Bitmap decodeImage(std::span<const std::uint8_t> bytes) {
    const char* name = fileNameBySignature(bytes);
    if (!name) throw ie::Error("The service's answer holds no PNG, JPEG or WebP image.");
    const QTemporaryDir dir;
    requireValid(dir);
    const std::string path = dir.filePath(name).toStdString();
    {
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        if (!out) throw ie::Error("Could not write a temporary file for the service's image.");
    }
    return ie::io::loadImage(path).bitmap;
}

} // namespace vst::ai
