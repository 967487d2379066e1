#include "CodecPixels.h"

#include "../imaging/Convert.h"
#include "../imaging/Error.h"
#include "../io/CodecRegistry.h"
#include "../io/ImageIO.h"
#include "RawBitmap.h"

#include <QDir>
#include <QTemporaryFile>
#include <fstream>
#include <memory>

namespace ie {

namespace {

const char* extensionOfFormat(std::int32_t format) {
    return format == kFormatJpeg ? ".jpg" : ".png";
}

// The codecs work on paths: a private temporary file stands in for the memory block.
std::unique_ptr<QTemporaryFile> temporaryFor(std::int32_t format) {
    auto file = std::make_unique<QTemporaryFile>(
        QDir::tempPath() + "/vistrelune-layer-XXXXXX" + extensionOfFormat(format));
    if (!file->open()) throw Error("Cannot create a temporary file for layer pixels");
    file->close();
    return file;
}

} // namespace

bool isLayerCodecFormat(std::int32_t format) {
    return format == kFormatJpeg || format == kFormatPng;
}

std::int32_t storedPixelCompression(std::int32_t requested, bool transparent) {
    std::int32_t v = requested;
    if (v == 1 || v == 10001)
        v = kRawZlib;
    else if (v >= 9998)
        v = transparent ? v - 10000 : kFormatJpeg;
    if (v == kRawZlib || v == kRawStored || isLayerCodecFormat(v)) return v;
    return kRawZlib;
}

std::vector<std::uint8_t> encodeLayerPixels(const Bitmap& bitmap, std::int32_t format) {
    const PixelFormat f = bitmap.pixelFormat();
    const PixelFormat target = f == PixelFormat::Bw1            ? f
        : (f == PixelFormat::Gray8 || f == PixelFormat::Gray16) ? PixelFormat::Gray8
                                                                : PixelFormat::Rgb24;
    const Bitmap src = convertTo(bitmap, target);
    const auto file = temporaryFor(format);
    const std::string path = file->fileName().toStdString();
    auto codec = io::CodecRegistry::instance().forExtension(extensionOfFormat(format));
    if (!codec) throw Error("No codec for layer pixels");
    codec->write(path, src, io::FormatParams {}, io::Metadata {});
    return io::readWholeFile(path);
}

Bitmap decodeLayerPixels(const std::vector<std::uint8_t>& bytes, std::int32_t format) {
    if (!isLayerCodecFormat(format))
        throw Error(
            "A layer's pixels use an unsupported compression (" + std::to_string(format) + ")");
    const auto file = temporaryFor(format);
    const std::string path = file->fileName().toStdString();
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        if (!out) throw Error("Cannot write a temporary file for layer pixels");
    }
    auto codec = io::CodecRegistry::instance().forExtension(extensionOfFormat(format));
    if (!codec) throw Error("No codec for layer pixels");
    return codec->read(path, io::ReadOptions {}).bitmap;
}

} // namespace ie
