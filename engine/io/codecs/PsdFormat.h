// The pieces of the PSD format shared by the flat codec and the layered reader and writer.
#pragma once

#include "../FormatParams.h"
#include "ByteReader.h"
#include "ByteWriter.h"
#include "RowCodecs.h"

#include <span>
#include <string>
#include <vector>

namespace ie::io::psd {

enum PsdMode {
    kBitmapMode = 0,
    kGreyMode = 1,
    kIndexedMode = 2,
    kRgbMode = 3,
    kCmykMode = 4,
    kMultichannelMode = 7,
    kDuotoneMode = 8,
    kLabMode = 9,
};
enum PsdCompression { kRaw = 0, kPackBits = 1 };
constexpr std::uint16_t kResolutionInfo = 0x03ED, kAlphaNames = 0x03EE, kUnicodeAlphaNames = 0x0415,
                        kIndexedColorCount = 0x0416;
constexpr int kMaxPsdSide = 30000, kMaxPsbSide = 300000;

struct PsdHeader {
    bool psb = false;
    int channels = 0;
    int width = 0, height = 0;
    int depth = 0;
    int mode = 0;
    std::vector<Rgb> palette;
    IndexedTarget indexed; ///< how an indexed image is stored (its palette may be grey)
    double dpiX = 72, dpiY = 72;
    bool namedChannels = false; ///< extra channels are the user's (saved selections, spots)
    int layerCount = 0; ///< negative: the first extra channel is the merged transparency

    int colorChannels() const { return mode == kRgbMode ? 3 : mode == kCmykMode ? 4 : 1; }
    bool alpha() const {
        if (mode == kMultichannelMode || channels <= colorChannels()) return false;
        return layerCount < 0 || (layerCount == 0 && !namedChannels);
    }
    std::size_t rowBytes() const {
        return depth == 1 ? (std::size_t(width) + 7) / 8 : std::size_t(width) * (depth / 8);
    }
};

/// What one saved file holds.
struct PsdLayout {
    bool psb = false;
    int mode = kRgbMode;
    int depth = 8;
    int colorChannels = 3;
    bool alpha = false;
};

/// Decodes one PackBits row of `n` bytes; throws when the data doesn't make exactly that.
void unpackBits(ByteReader r, std::uint8_t* dst, std::size_t n);
void packBits(const std::uint8_t* p, int n, ByteWriter& out);

/// Reads the file header, colour-mode data and image resources; `r` is left at the layer and
/// mask section.
void readHeaderSections(ByteReader& r, PsdHeader& h);
/// Reads the layer and mask section far enough to know the merged image's transparency and
/// leaves `r` at the merged image data.
void readLayerAndMaskSection(ByteReader& r, PsdHeader& h);
/// The merged image from the image data section at `r`.
Bitmap decodeComposite(std::span<const std::uint8_t> data, ByteReader& r, const PsdHeader& h);

/// Writes a whole file: `bitmap` as the merged image, and `layerInfo` (the layer records and
/// their channel data, without the leading length) when given. .psb paths get the large format.
void writePsd(const std::string& path, const Bitmap& bitmap, const FormatParams& params,
    const ByteWriter* layerInfo = nullptr);

} // namespace ie::io::psd
