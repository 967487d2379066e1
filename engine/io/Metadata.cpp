#include "Metadata.h"

#include "../imaging/Error.h"
#include "codecs/MetadataBlocks.h"

#include <exiv2/exiv2.hpp>

#include <algorithm>
#include <mutex>

namespace ie::io {

namespace {

void lockXmp(void* mutex, bool lock) {
    if (lock)
        static_cast<std::mutex*>(mutex)->lock();
    else
        static_cast<std::mutex*>(mutex)->unlock();
}

/// exiv2 writes warnings to stderr and its XMP toolkit must be set up once before threads use it.
void initExiv2() {
    static std::once_flag once;
    static std::mutex xmpMutex;
    std::call_once(once, [] {
        Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
        Exiv2::XmpParser::initialize(lockXmp, &xmpMutex);
    });
}

blocks::ByteView tiffPart(const std::vector<std::uint8_t>& exif) {
    return blocks::withoutExifHeader(exif);
}

/// The EXIF block parsed; throws Exiv2::Error when it is unreadable.
Exiv2::ByteOrder decodeExif(blocks::ByteView tiff, Exiv2::ExifData& data) {
    return Exiv2::ExifParser::decode(data, tiff.data(), std::uint32_t(tiff.size()));
}

const Exiv2::Exifdatum* findTag(const Exiv2::ExifData& data, const char* key) {
    const auto it = data.findKey(Exiv2::ExifKey(key));
    return it == data.end() || it->count() == 0 ? nullptr : &*it;
}

std::string textTag(const Exiv2::ExifData& data, const char* key) {
    const auto* tag = findTag(data, key);
    if (!tag) return {};
    std::string s = tag->toString();
    s.erase(std::find(s.begin(), s.end(), '\0'), s.end());
    while (!s.empty() && s.back() == ' ')
        s.pop_back();
    return s;
}

long intTag(const Exiv2::ExifData& data, const char* key) {
    const auto* tag = findTag(data, key);
    return tag ? tag->toLong(0) : 0;
}

double realTag(const Exiv2::ExifData& data, const char* key) {
    const auto* tag = findTag(data, key);
    if (!tag) return 0;
    const Exiv2::Rational r = tag->toRational(0);
    return r.second == 0 ? 0 : double(r.first) / r.second;
}

ExifSummary summarize(const Exiv2::ExifData& d) {
    ExifSummary s;
    const long orientation = intTag(d, "Exif.Image.Orientation");
    s.orientation = orientation >= 1 && orientation <= 8 ? int(orientation) : 1;
    s.make = textTag(d, "Exif.Image.Make");
    s.model = textTag(d, "Exif.Image.Model");
    s.dateTime = textTag(d, "Exif.Photo.DateTimeOriginal");
    if (s.dateTime.empty()) s.dateTime = textTag(d, "Exif.Image.DateTime");
    s.lensMake = textTag(d, "Exif.Photo.LensMake");
    s.lensModel = textTag(d, "Exif.Photo.LensModel");
    s.software = textTag(d, "Exif.Image.Software");
    s.exposureTime = realTag(d, "Exif.Photo.ExposureTime");
    s.fNumber = realTag(d, "Exif.Photo.FNumber");
    s.focalLength = realTag(d, "Exif.Photo.FocalLength");
    s.isoSpeed = int(intTag(d, "Exif.Photo.ISOSpeedRatings"));
    s.width = int(intTag(d, "Exif.Photo.PixelXDimension"));
    s.height = int(intTag(d, "Exif.Photo.PixelYDimension"));
    return s;
}

/// The block with Orientation = 1, updated in place when exiv2 can (maker notes stay intact).
std::vector<std::uint8_t> exifWithUprightOrientation(blocks::ByteView tiff) {
    Exiv2::ExifData data;
    const Exiv2::ByteOrder order = decodeExif(tiff, data);
    const auto it = data.findKey(Exiv2::ExifKey("Exif.Image.Orientation"));
    std::vector<std::uint8_t> out(tiff.begin(), tiff.end());
    if (it == data.end() || it->toLong(0) == 1) return out;
    *it = std::uint16_t(1);
    Exiv2::Blob blob;
    const auto method
        = Exiv2::ExifParser::encode(blob, out.data(), std::uint32_t(out.size()), order, data);
    if (method == Exiv2::wmIntrusive) out.assign(blob.begin(), blob.end());
    return out;
}

void resetXmpOrientation(std::string& xmp) {
    Exiv2::XmpData data;
    if (Exiv2::XmpParser::decode(data, xmp) != 0) return;
    const auto it = data.findKey(Exiv2::XmpKey("Xmp.tiff.Orientation"));
    if (it == data.end() || it->toString() == "1") return;
    it->setValue("1");
    std::string packet;
    if (Exiv2::XmpParser::encode(packet, data) == 0) xmp = std::move(packet);
}

std::vector<std::uint8_t> toBytes(const Exiv2::DataBuf& buf) {
    if (!buf.pData_ || buf.size_ <= 0) return {};
    return std::vector<std::uint8_t>(buf.pData_, buf.pData_ + buf.size_);
}

/// The file's metadata gathered from what exiv2 parsed.
Metadata collect(Exiv2::Image& image) {
    Metadata m;
    if (!image.exifData().empty()) {
        Exiv2::Blob blob;
        const auto order = image.byteOrder() == Exiv2::invalidByteOrder ? Exiv2::littleEndian
                                                                        : image.byteOrder();
        Exiv2::ExifParser::encode(blob, order, image.exifData());
        m.exif.assign(blob.begin(), blob.end());
    }
    if (!image.iptcData().empty()) m.iptc = toBytes(Exiv2::IptcParser::encode(image.iptcData()));
    m.xmp = image.xmpPacket();
    if (image.iccProfileDefined()) m.iccProfile = toBytes(*image.iccProfile());
    return m;
}

/// Replaces the image's metadata blocks with `meta`'s.
void assign(Exiv2::Image& image, const Metadata& meta) {
    Exiv2::ExifData exif;
    if (!meta.exif.empty()) decodeExif(tiffPart(meta.exif), exif);
    image.setExifData(exif);
    Exiv2::IptcData iptc;
    if (!meta.iptc.empty()
        && Exiv2::IptcParser::decode(iptc, meta.iptc.data(), std::uint32_t(meta.iptc.size())) != 0)
        throw Error("The IPTC data is corrupt");
    image.setIptcData(iptc);
    image.setXmpPacket(meta.xmp);
    if (!meta.iccProfile.empty()) {
        Exiv2::DataBuf icc(meta.iccProfile.data(), long(meta.iccProfile.size()));
        image.setIccProfile(icc, false);
    }
}

bool canWriteMetadata(const Exiv2::Image& image) {
    const auto mode = image.checkMode(Exiv2::mdExif);
    return mode == Exiv2::amWrite || mode == Exiv2::amReadWrite;
}

} // namespace

ExifSummary readExifSummary(const Metadata& meta) {
    if (meta.exif.empty()) return {};
    initExiv2();
    try {
        Exiv2::ExifData data;
        decodeExif(tiffPart(meta.exif), data);
        return summarize(data);
    } catch (...) {
        return {}; // unreadable EXIF shows as none
    }
}

void resetExifOrientation(Metadata& meta) {
    initExiv2();
    if (!meta.exif.empty()) {
        try {
            meta.exif = exifWithUprightOrientation(tiffPart(meta.exif));
        } catch (...) {
            // The pixels were turned already: a block that still says otherwise must not survive.
            meta.exif.clear();
        }
    }
    if (!meta.xmp.empty()) {
        try {
            resetXmpOrientation(meta.xmp);
        } catch (...) {
            // unreadable XMP stays as it was
        }
    }
}

Metadata readMetadataFromFile(const std::string& path) {
    initExiv2();
    try {
        auto image = Exiv2::ImageFactory::open(path);
        image->readMetadata();
        return collect(*image);
    } catch (...) {
        return {};
    }
}

bool writeMetadataToFile(const std::string& path, const Metadata& meta) {
    initExiv2();
    Exiv2::Image::AutoPtr image;
    try {
        image = Exiv2::ImageFactory::open(path);
    } catch (...) {
        return false; // not a format exiv2 knows
    }
    if (!image.get() || !canWriteMetadata(*image)) return false;
    try {
        image->readMetadata();
        assign(*image, meta);
        image->writeMetadata();
        return true;
    } catch (const Error&) {
        throw;
    } catch (const std::exception& e) {
        throw Error("Cannot write the metadata of \"" + path + "\": " + e.what());
    }
}

} // namespace ie::io
