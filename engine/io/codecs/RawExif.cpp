#include "RawExif.h"

#include <exiv2/exiv2.hpp>

#include <algorithm>
#include <cmath>

namespace ie::io {

namespace {

Exiv2::URational rational(double v, int denominator) {
    return { std::uint32_t(std::lround(v * denominator)), std::uint32_t(denominator) };
}

/// Exposure times are written as 1/n below a second, as cameras do.
Exiv2::URational exposure(double seconds) {
    if (seconds < 1) return { 1, std::uint32_t(std::lround(1 / seconds)) };
    return rational(seconds, 10);
}

std::string exifDate(std::time_t t) {
    std::tm tm {};
    localtime_r(&t, &tm);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y:%m:%d %H:%M:%S", &tm);
    return buf;
}

void setText(Exiv2::ExifData& exif, const char* key, const std::string& value) {
    if (!value.empty()) exif[key] = value;
}

} // namespace

std::vector<std::uint8_t> makeRawExif(const RawShotInfo& info) {
    Exiv2::ExifData exif;
    setText(exif, "Exif.Image.Make", info.make);
    setText(exif, "Exif.Image.Model", info.model);
    setText(exif, "Exif.Image.Software", info.software);
    setText(exif, "Exif.Image.Artist", info.artist);
    exif["Exif.Image.Orientation"] = std::uint16_t(info.orientation);
    if (info.timestamp > 0) {
        const std::string date = exifDate(info.timestamp);
        exif["Exif.Image.DateTime"] = date;
        exif["Exif.Photo.DateTimeOriginal"] = date;
    }
    if (info.exposureTime > 0) exif["Exif.Photo.ExposureTime"] = exposure(info.exposureTime);
    if (info.fNumber > 0) exif["Exif.Photo.FNumber"] = rational(info.fNumber, 10);
    if (info.isoSpeed > 0)
        exif["Exif.Photo.ISOSpeedRatings"]
            = std::uint16_t(std::lround(std::min(info.isoSpeed, 65535.0)));
    if (info.focalLength > 0) exif["Exif.Photo.FocalLength"] = rational(info.focalLength, 10);
    setText(exif, "Exif.Photo.LensMake", info.lensMake);
    setText(exif, "Exif.Photo.LensModel", info.lensModel);
    if (info.width > 0 && info.height > 0) {
        exif["Exif.Photo.PixelXDimension"] = std::uint32_t(info.width);
        exif["Exif.Photo.PixelYDimension"] = std::uint32_t(info.height);
    }
    Exiv2::Blob blob;
    Exiv2::ExifParser::encode(blob, Exiv2::littleEndian, exif);
    return { blob.begin(), blob.end() };
}

} // namespace ie::io
