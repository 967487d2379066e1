// EXIF, IPTC and XMP kept from load to save, plus readers of the fields the program shows.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ie::io {

/// Metadata blocks of an image file, kept as the file had them.
struct Metadata {
    std::vector<std::uint8_t> exif; ///< TIFF-structured EXIF block ("II*\0" or "MM\0*" first)
    std::vector<std::uint8_t> iptc; ///< IPTC-IIM records
    std::string xmp; ///< XMP packet
    std::vector<std::uint8_t> iccProfile;

    bool isEmpty() const {
        return exif.empty() && iptc.empty() && xmp.empty() && iccProfile.empty();
    }
};

/// The fields of EXIF the program shows, parsed from Metadata::exif.
struct ExifSummary {
    int orientation = 1; ///< 1 to 8, 1 when absent
    std::string make, model, dateTime, lensMake, lensModel, software;
    double exposureTime = 0, fNumber = 0, focalLength = 0;
    int isoSpeed = 0;
    int width = 0, height = 0; ///< pixel dimensions recorded in EXIF
};

/// Parses the EXIF block (empty summary when there is none or it is unreadable).
ExifSummary readExifSummary(const Metadata& meta);

/// Sets the orientation tag to 1 (after the image was turned upright), keeping the rest.
void resetExifOrientation(Metadata& meta);

/// Reads the metadata of a file with exiv2; empty when the file has none or exiv2 can't read it.
Metadata readMetadataFromFile(const std::string& path);

/// Writes the metadata into an existing file with exiv2 (formats that carry it). Returns false
/// when the format can't hold metadata; throws ie::Error when writing fails.
bool writeMetadataToFile(const std::string& path, const Metadata& meta);

} // namespace ie::io
