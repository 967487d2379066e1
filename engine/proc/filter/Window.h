// Small square neighbourhoods for direct 2-D filters: each output row sees the rows around it
// as padded float rows.
#pragma once

#include "imaging/Bitmap.h"

#include <functional>

namespace ie::proc::detail {

/// Computes one output row: `rows[k]` is image row y - half + k (clamped), as floats, starting
/// at column rect.x (so rows[k][i + half x C] is above/below output sample i, and neighbours are
/// C floats apart); `out` receives rect.w x C floats.
using WindowBody = std::function<void(const float* const* rows, float* out, int n, int channels)>;

/// Runs `body` for every row of `rect`, reading `src`, and stores the results into `dst`.
/// `keepAlpha` leaves the Rgba32 alpha samples as they were in `src`.
void windowFilter(
    const Bitmap& src, Bitmap& dst, Rect rect, int half, bool keepAlpha, const WindowBody& body);

} // namespace ie::proc::detail
