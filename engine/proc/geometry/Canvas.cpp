#include "proc/geometry/Canvas.h"

#include "imaging/BitmapOps.h"
#include "imaging/Error.h"
#include "imaging/Plane.h"

#include <string>

namespace ie::proc {

Bitmap resizeCanvas(const Bitmap& src, const Margins& m, std::optional<Rgba> fill) {
    if (src.isNull()) throw Error("There is no image to resize.");
    const std::int64_t w = std::int64_t(src.width()) + m.left + m.right;
    const std::int64_t h = std::int64_t(src.height()) + m.top + m.bottom;
    if (w < 1 || h < 1)
        throw Error("The margins leave no canvas (" + std::to_string(w) + " x " + std::to_string(h)
            + " pixels).");
    Plane::checkSize(w, h);
    Bitmap out(int(w), int(h), src.pixelFormat());
    out.setPalette(src.palette());
    out.setDpi(src.dpiX(), src.dpiY());
    if (src.hasAlphaPlane() || !fill) out.addAlphaPlane(0);
    out.fill(fill.value_or(Rgba { 0, 0, 0, 0 }));
    copyRect(src, src.rect(), out, m.left, m.top);
    return out;
}

} // namespace ie::proc
