// Canvas size: margins added (or cut) on each side, the new area filled with a colour or clear.
#pragma once

#include "imaging/Bitmap.h"

#include <optional>

namespace ie::proc {

/// Margins in pixels on each side; positive adds canvas, negative cuts into the image.
struct Margins {
    int left = 0, top = 0, right = 0, bottom = 0;
};

/// `src` on a canvas grown (or shrunk) by `margins`; the added area gets `fill`, or becomes
/// transparent when there is none (the result then has alpha). Throws when nothing would remain.
Bitmap resizeCanvas(const Bitmap& src, const Margins& margins, std::optional<Rgba> fill);

} // namespace ie::proc
