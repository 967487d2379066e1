#include "proc/analysis/Channels.h"

#include "imaging/Convert.h"
#include "imaging/Error.h"
#include "imaging/Parallel.h"
#include "proc/analysis/Hsv.h"

#include <string>

namespace ie::proc {

namespace {

void checkIndex(int index, int count, const char* what) {
    if (index < 0 || index >= count)
        throw Error(std::string("There is no ") + what + " channel " + std::to_string(index) + ".");
}

// Runs `pick(pixel)` over the pixels of `src` (in `format`) into a grey bitmap.
template <class Pick> Bitmap extract(const Bitmap& image, PixelFormat format, Pick&& pick) {
    const Bitmap src = convertTo(image, format);
    Bitmap out(src.width(), src.height(), PixelFormat::Gray8);
    out.setDpi(src.dpiX(), src.dpiY());
    const int step = bitsPerPixel(format) / 8;
    parallelFor(0, src.height(), [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            const std::uint8_t* p = src.scanline(y);
            std::uint8_t* o = out.mutableScanline(y);
            for (int x = 0; x < src.width(); ++x, p += step)
                o[x] = pick(p);
        }
    });
    return out;
}

} // namespace

Bitmap rgbChannel(const Bitmap& image, int index) {
    checkIndex(index, 3, "RGB");
    return extract(image, PixelFormat::Rgb24, [index](const std::uint8_t* p) { return p[index]; });
}

Bitmap cmykChannel(const Bitmap& image, int index) {
    checkIndex(index, 4, "CMYK");
    return extract(image, PixelFormat::Cmyk32,
        [index](const std::uint8_t* p) { return std::uint8_t(255 - p[index]); });
}

Bitmap hsvChannel(const Bitmap& image, int index) {
    checkIndex(index, 3, "HSV");
    return extract(image, PixelFormat::Rgb24, [index](const std::uint8_t* p) {
        const Hsv8 hsv = hsvOf(p[0], p[1], p[2]);
        const int v = index == 0 ? std::max(hsv.h, 0) : index == 1 ? hsv.s : hsv.v;
        return std::uint8_t(v);
    });
}

} // namespace ie::proc
