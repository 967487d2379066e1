// Loading and saving image files by extension: the one entry the program and the CLI use.
#pragma once

#include "Codec.h"

#include <string>

namespace ie::io {

/// A loaded page with what the program shows about it.
struct LoadedImage {
    Bitmap bitmap; ///< turned upright by the EXIF orientation when asked
    Metadata metadata;
    std::string formatName;
    int pageCount = 1;
};

struct LoadOptions : ReadOptions {
    bool applyOrientation = true; ///< turn by the EXIF orientation (and reset the tag)
};

/// Loads one page of an image file. Throws ie::Error with a message naming the file.
LoadedImage loadImage(const std::string& path, const LoadOptions& options = {});

/// Saves `bitmap` by the extension of `path`, atomically (a temporary file in the same folder,
/// renamed over the target only when complete). Metadata goes into formats that hold it.
void saveImage(const std::string& path, const Bitmap& bitmap, const FormatParams& params = {},
    const Metadata& metadata = {});

/// The number of pages or frames; 1 for single images and whenever the query fails.
int imagePageCount(const std::string& path);

/// Lower-case extension with the dot (".jpg"), empty when none.
std::string extensionOf(const std::string& path);

/// Reads up to `n` bytes of the start of a file (for signatures). Throws when it can't be opened.
std::vector<std::uint8_t> readFileHead(const std::string& path, std::size_t n = 64);

/// Reads a whole file, refusing files over `maxBytes`. Throws ie::Error naming the file.
std::vector<std::uint8_t> readWholeFile(
    const std::string& path, std::size_t maxBytes = std::size_t(2) << 30);

} // namespace ie::io
