#include "proc/geometry/Resize.h"

#include "imaging/Error.h"
#include "imaging/Plane.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace ie::proc {

Bitmap resize(const Bitmap& src, int width, int height, ResampleFilter filter) {
    if (src.isNull()) throw Error("There is no image to resize.");
    if (width < 1 || height < 1)
        throw Error("Cannot resize to " + std::to_string(width) + " x " + std::to_string(height)
            + " pixels.");
    if (int(filter) < 0 || int(filter) >= kResampleFilterCount)
        throw Error("Unknown resample filter " + std::to_string(int(filter)) + ".");
    Plane::checkSize(width, height);
    Bitmap out = resample(src, width, height, filter);
    out.setDpi(src.dpiX(), src.dpiY());
    return out;
}

int scaledSide(int side, double percent) {
    const double v = std::nearbyint(double(side) * percent / 100.0);
    return int(std::clamp(v, 1.0, double(Plane::kMaxSide)));
}

} // namespace ie::proc
