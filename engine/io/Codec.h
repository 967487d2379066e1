// The interface every image file format implements, and what it reads and writes.
#pragma once

#include "../imaging/Bitmap.h"
#include "FormatParams.h"
#include "Metadata.h"
#include "RawParams.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace ie::io {

/// What the caller asks of a read.
struct ReadOptions {
    int pageIndex = 0; ///< page or frame of multi-page files
    RawParams raw; ///< camera-RAW decoding
};

/// What a codec gives back.
struct DecodedImage {
    Bitmap bitmap;
    Metadata metadata;
};

/// One file format. Codecs are stateless and safe to use from several threads.
class Codec {
public:
    virtual ~Codec() = default;

    /// Short name shown to users ("JPEG", "PNG").
    virtual std::string name() const = 0;
    /// Lower-case extensions with the dot (".jpg", ".jpeg").
    virtual std::vector<std::string> extensions() const = 0;
    virtual bool canRead() const { return true; }
    virtual bool canWrite() const { return true; }

    /// True when the first bytes of a file are this format's signature. Formats without one
    /// return false and are chosen by extension only.
    virtual bool matches(std::span<const std::uint8_t> head) const = 0;

    /// Decodes one page. Throws ie::Error with a clear message on any failure, including sizes
    /// over Plane::kMaxPixels, which must be refused before allocating.
    virtual DecodedImage read(const std::string& path, const ReadOptions& options) const = 0;

    /// Pages or frames in the file (1 for single images).
    virtual int pageCount(const std::string& /*path*/) const { return 1; }

    /// Encodes `bitmap` (any pixel format: the codec converts to what the format holds).
    /// `metadata` is for codecs that embed it themselves (see embedsMetadata).
    virtual void write(const std::string& path, const Bitmap& bitmap, const FormatParams& params,
        const Metadata& metadata) const;

    /// True when write() stores the metadata itself; otherwise the caller adds it with exiv2
    /// where the format holds it (JPEG, PNG, TIFF, WebP).
    virtual bool embedsMetadata() const { return false; }
};

} // namespace ie::io
