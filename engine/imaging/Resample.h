// The separable resampler with the 19 zoom/resample filters, spread over every core.
#pragma once

#include "Bitmap.h"

#include <string_view>

namespace ie {

/// Resample filters; the numbers are stored in settings and project files.
enum class ResampleFilter : int {
    None = 0,
    Triangle = 1,
    Hermite = 2,
    Bell = 3,
    BSpline = 4,
    Lanczos3 = 5,
    Mitchell = 6,
    Nearest = 7,
    Linear = 8,
    FastLinear = 9,
    Bilinear = 10,
    Bicubic = 11,
    ProjectBW = 12,
    ProjectWB = 13,
    WICNearestNeighbor = 14,
    WICLinear = 15,
    WICCubic = 16,
    WICFant = 17,
    WICCubicHQ = 18,
};

inline constexpr int kResampleFilterCount = 19;

/// The display name of a filter ("Lanczos 3"), "ERROR" outside 0 to 18.
std::string_view resampleFilterName(int filter);

/// Looks up a filter by display name or short name, case-insensitive ("lanczos3", "Lanczos 3",
/// "bicubic"); returns -1 when unknown.
int resampleFilterFromName(std::string_view name);

/// `src` scaled to `width` x `height` with `filter`. 1-bit and paletted sources are resampled
/// through their natural working format (grey or RGB) except with None or Nearest, which keep the
/// format. Alpha planes are resampled with the colour (premultiplied, so transparent pixels lend
/// no colour). Asking for the source's own size returns it unchanged. Throws ie::Error for sizes
/// outside Plane::checkSize or an empty source.
Bitmap resample(const Bitmap& src, int width, int height, ResampleFilter filter);

/// Stretched drawing: renders the `srcRect` part of `src` (real coordinates) into the whole of
/// `dst`, which must have the same pixel format as `src` (Rgb24, Rgba32, Gray8, Rgb48, Gray16).
void resampleInto(const Bitmap& src, double srcX, double srcY, double srcW, double srcH,
    Bitmap& dst, ResampleFilter filter);

} // namespace ie
