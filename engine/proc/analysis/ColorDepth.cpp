#include "proc/analysis/ColorDepth.h"

namespace ie::proc {

std::string colorDepthText(int bitsPerSample, int samplesPerPixel) {
    const int bits = bitsPerSample * samplesPerPixel;
    if (bits <= 0) return "-";
    if (bits == 1) return "Black and white";
    if (bits <= 8) return std::to_string(1 << bits) + " colors";
    return std::to_string(bits) + " bit";
}

std::string colorDepthText(const Bitmap& image) {
    if (image.isNull()) return "-";
    const PixelFormat f = image.pixelFormat();
    return colorDepthText(bitsPerSample(f), channelCount(f) + (image.hasAlpha() ? 1 : 0));
}

} // namespace ie::proc
