#include "proc/analysis/UniqueColors.h"

#include "imaging/Convert.h"

#include <bit>
#include <vector>

namespace ie::proc {

std::int64_t countUniqueColors(const Bitmap& image) {
    if (image.isNull()) return 0;
    const PixelFormat f = image.pixelFormat();
    const Bitmap rgb = f == PixelFormat::Rgb24 || f == PixelFormat::Rgba32
        ? image
        : convertTo(image, PixelFormat::Rgb24);
    const int step = rgb.pixelFormat() == PixelFormat::Rgba32 ? 4 : 3;
    std::vector<std::uint64_t> seen((1u << 24) / 64, 0); // one bit per colour: 2 MB
    for (int y = 0; y < rgb.height(); ++y) {
        const std::uint8_t* p = rgb.scanline(y);
        for (int x = 0; x < rgb.width(); ++x, p += step) {
            const std::uint32_t c = std::uint32_t(p[0]) << 16 | std::uint32_t(p[1]) << 8 | p[2];
            seen[c >> 6] |= std::uint64_t(1) << (c & 63);
        }
    }
    std::int64_t count = 0;
    for (std::uint64_t word : seen)
        count += std::popcount(word);
    return count;
}

} // namespace ie::proc
