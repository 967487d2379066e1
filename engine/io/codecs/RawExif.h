// An EXIF block made from what the RAW decoder tells about a shot, so that the program's EXIF
// readers show camera, date, lens and exposure for RAW files too.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

namespace ie::io {

/// The shot details a RAW decoder reports. Zero and empty fields are left out of the block.
struct RawShotInfo {
    std::string make, model, lensMake, lensModel, software, artist;
    std::time_t timestamp = 0;
    double fNumber = 0, exposureTime = 0, focalLength = 0, isoSpeed = 0;
    int width = 0, height = 0; ///< of the decoded image
    int orientation = 1; ///< EXIF orientation still to apply (previews are stored unturned)
};

/// A TIFF-structured EXIF block ("II*\0" first) holding `info`.
std::vector<std::uint8_t> makeRawExif(const RawShotInfo& info);

} // namespace ie::io
