#include "proc/adjust/AdjustRows.h"

#include "imaging/Error.h"
#include "imaging/Parallel.h"

#include <locale>
#include <sstream>
#include <string>

namespace ie::proc::detail {

void requireAdjustable(const Bitmap& image, const char* operation) {
    if (image.isNull()) throw Error(std::string(operation) + ": the image is empty.");
    switch (image.pixelFormat()) {
    case PixelFormat::Rgb24:
    case PixelFormat::Rgba32:
    case PixelFormat::Rgb48:
    case PixelFormat::Gray8:
    case PixelFormat::Gray16:
        return;
    default:
        throw Error(std::string(operation) + " works on RGB and grey images; this one is "
            + std::string(pixelFormatDescription(image.pixelFormat()))
            + ". Convert it to 24-bit RGB first.");
    }
}

void requireRange(double value, double lo, double hi, const char* what) {
    if (value >= lo && value <= hi) return;
    std::ostringstream text;
    text.imbue(std::locale::classic());
    text << what << " must be between " << lo << " and " << hi << ".";
    throw Error(text.str());
}

void forRows(Bitmap& image, Rect rect, const std::function<void(int, int)>& body) {
    if (rect.isEmpty()) return;
    image.detachRows(rect.y, rect.bottom());
    // Narrow images still split: each row is cheap, so keep chunks big enough to pay for a wake-up.
    const int minChunk = std::max(1, 65536 / std::max(1, rect.w));
    parallelFor(rect.y, rect.bottom(), body, minChunk);
}

} // namespace ie::proc::detail
