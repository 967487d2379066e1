#include "proc/adjust/AdjustRows.h"

#include "imaging/Error.h"
#include "imaging/Parallel.h"

#include <cstring>
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
    const int stripRows = image.colorPlane().stripRows();
    const int s0 = rect.y / stripRows, s1 = (rect.bottom() - 1) / stripRows + 1;
    if (s1 - s0 >= 2 * threadCount()) {
        // Whole strips per task: each shared strip is then copied by the one thread that writes
        // it (the first mutableScanline does it), so the copy is spread over the cores too.
        parallelFor(
            s0, s1,
            [&](int a, int b) {
                body(std::max(rect.y, a * stripRows), std::min(rect.bottom(), b * stripRows));
            },
            1);
        return;
    }
    image.detachRows(rect.y, rect.bottom());
    // Few strips: split rows, in chunks big enough to pay for waking a thread.
    const int minChunk = std::max(1, 65536 / std::max(1, rect.w));
    parallelFor(rect.y, rect.bottom(), body, minChunk);
}

EditTarget::EditTarget(Bitmap& image, Rect rect)
    : m_image(image) {
    if (rect != image.rect()) return;
    const Plane& plane = image.colorPlane();
    for (int s = 0; s < plane.stripCount() && !m_separate; ++s)
        m_separate = plane.stripShared(s);
    if (!m_separate) return;
    m_fresh = Bitmap(image.width(), image.height(), image.pixelFormat());
    m_fresh.setPalette(image.palette());
    m_fresh.setDpi(image.dpiX(), image.dpiY());
}

void EditTarget::finish() {
    if (!m_separate) return;
    if (m_image.hasAlphaPlane()) {
        m_fresh.addAlphaPlane();
        for (int y = 0; y < m_image.height(); ++y)
            std::memcpy(m_fresh.mutableAlphaLine(y), m_image.alphaLine(y), m_image.width());
    }
    m_image = std::move(m_fresh);
    m_separate = false;
}

} // namespace ie::proc::detail
