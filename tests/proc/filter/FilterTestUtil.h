// Sample-level helpers for the filter tests: flat images, sample access, brute-force windows.
#pragma once

#include "imaging/Bitmap.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace vst::test {

/// Interleaved samples per pixel, Rgba32 alpha included.
inline int samplesPerPixel(ie::PixelFormat f) {
    return f == ie::PixelFormat::Rgba32 ? 4 : ie::channelCount(f);
}

/// Sample c of pixel (x, y), 8- or 16-bit.
inline int sampleAt(const ie::Bitmap& b, int x, int y, int c) {
    const int C = samplesPerPixel(b.pixelFormat());
    if (ie::bitsPerSample(b.pixelFormat()) == 16) {
        std::uint16_t v;
        std::memcpy(&v, b.scanline(y) + (std::size_t(x) * C + c) * 2, 2);
        return v;
    }
    return b.scanline(y)[std::size_t(x) * C + c];
}

inline void setSample(ie::Bitmap& b, int x, int y, int c, int v) {
    const int C = samplesPerPixel(b.pixelFormat());
    if (ie::bitsPerSample(b.pixelFormat()) == 16) {
        const auto s = std::uint16_t(v);
        std::memcpy(b.mutableScanline(y) + (std::size_t(x) * C + c) * 2, &s, 2);
    } else {
        b.mutableScanline(y)[std::size_t(x) * C + c] = std::uint8_t(v);
    }
}

/// Every sample set to `value`.
inline ie::Bitmap flatImage(int w, int h, ie::PixelFormat f, int value) {
    ie::Bitmap b(w, h, f);
    const int C = samplesPerPixel(f);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < C; ++c)
                setSample(b, x, y, c, value);
    return b;
}

/// Largest sample difference of two bitmaps of one format and size.
inline int maxSampleDiff(const ie::Bitmap& a, const ie::Bitmap& b) {
    const int C = samplesPerPixel(a.pixelFormat());
    int m = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            for (int c = 0; c < C; ++c)
                m = std::max(m, std::abs(sampleAt(a, x, y, c) - sampleAt(b, x, y, c)));
    return m;
}

/// The samples of channel c in the (2r+1)^2 window around (x, y), edges repeated.
inline std::vector<int> windowAt(const ie::Bitmap& b, int x, int y, int c, int r) {
    std::vector<int> v;
    for (int dy = -r; dy <= r; ++dy)
        for (int dx = -r; dx <= r; ++dx)
            v.push_back(sampleAt(
                b, std::clamp(x + dx, 0, b.width() - 1), std::clamp(y + dy, 0, b.height() - 1), c));
    return v;
}

inline const ie::PixelFormat kFilterFormats[] = { ie::PixelFormat::Gray8, ie::PixelFormat::Rgb24,
    ie::PixelFormat::Rgba32, ie::PixelFormat::Rgb48 };

} // namespace vst::test
