#include "proc/analysis/Compare.h"

#include "imaging/Convert.h"
#include "imaging/Error.h"
#include "imaging/Parallel.h"
#include "imaging/Resample.h"

#include <algorithm>
#include <cstdlib>
#include <mutex>

namespace ie::proc {

Comparison compareImages(const Bitmap& a, const Bitmap& b, bool compareAlpha) {
    if (a.isNull() || b.isNull()) throw Error("Both images are needed for a comparison.");
    const Bitmap ra = convertTo(a, PixelFormat::Rgba32);
    Bitmap rb = convertTo(b, PixelFormat::Rgba32);
    if (rb.width() != ra.width() || rb.height() != ra.height())
        rb = resample(rb, ra.width(), ra.height(), ResampleFilter::Bilinear);
    Comparison result;
    result.difference = Bitmap(ra.width(), ra.height(), PixelFormat::Gray8);
    const int channels = compareAlpha ? 4 : 3;
    std::mutex lock;
    std::uint64_t total = 0;
    parallelFor(0, ra.height(), [&](int y0, int y1) {
        std::uint64_t sum = 0;
        for (int y = y0; y < y1; ++y) {
            const std::uint8_t* p = ra.scanline(y);
            const std::uint8_t* q = rb.scanline(y);
            std::uint8_t* d = result.difference.mutableScanline(y);
            for (int x = 0; x < ra.width(); ++x, p += 4, q += 4) {
                int worst = 0;
                for (int c = 0; c < channels; ++c) {
                    const int diff = std::abs(p[c] - q[c]);
                    sum += unsigned(diff);
                    worst = std::max(worst, diff);
                }
                d[x] = std::uint8_t(worst);
            }
        }
        const std::lock_guard guard(lock);
        total += sum;
    });
    const double samples = double(ra.pixelCount()) * channels;
    result.similarity = 1.0 - double(total) / (samples * 255.0);
    return result;
}

} // namespace ie::proc
