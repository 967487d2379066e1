#include "proc/filter/Morphology.h"

#include "proc/MaskBlend.h"
#include "proc/filter/FilterCore.h"
#include "proc/filter/Separable.h"

namespace ie::proc {

using namespace detail;

namespace {

void rank(Bitmap& image, Rect rect, int radius, bool max) {
    const Filter1D f = rankFilter(radius, max);
    filterRect(image, rect, [&](const Bitmap& src, Bitmap& dst, Rect r) {
        separableFilter(src, r, f, f, storeInto(dst, r));
    });
}

} // namespace

void morphology(Bitmap& image, MorphOp op, int radius, const Selection* selection) {
    requireFilterable(image, "Dilation / Erosion");
    if (radius <= 0) return;
    editSelected(image, selection, [&](Bitmap& img, Rect rect) {
        const bool dilateFirst = op == MorphOp::Dilate || op == MorphOp::Close;
        rank(img, rect, radius, dilateFirst);
        if (op == MorphOp::Open || op == MorphOp::Close) rank(img, rect, radius, !dilateFirst);
    });
}

} // namespace ie::proc
