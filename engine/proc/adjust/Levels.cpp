#include "proc/adjust/Levels.h"

#include "imaging/Error.h"
#include "proc/adjust/AdjustRows.h"
#include "proc/adjust/ToneMap.h"

#include <algorithm>
#include <cmath>

namespace ie::proc {

bool LevelsChannel::isIdentity() const {
    return *this == LevelsChannel {};
}

double levelsMap(const LevelsChannel& c, double value) {
    const double v = value * 255;
    double t = std::clamp((v - c.inBlack) / (c.inWhite - c.inBlack), 0.0, 1.0);
    if (c.gamma != 1) t = std::pow(t, 1 / c.gamma);
    return (c.outBlack + t * (c.outWhite - c.outBlack)) / 255;
}

namespace {

void validateChannel(const LevelsChannel& c) {
    detail::requireRange(c.inBlack, 0, 254, "Input black");
    detail::requireRange(c.inWhite, 1, 255, "Input white");
    if (c.inWhite <= c.inBlack) throw Error("Input white must be above input black.");
    detail::requireRange(c.gamma, 0.1, 10, "Gamma");
    detail::requireRange(c.outBlack, 0, 255, "Output black");
    detail::requireRange(c.outWhite, 0, 255, "Output white");
}

} // namespace

void validateLevels(const LevelsParams& p) {
    for (const LevelsChannel* c : { &p.master, &p.red, &p.green, &p.blue })
        validateChannel(*c);
}

void levels(Bitmap& image, const Selection* selection, const LevelsParams& p) {
    validateLevels(p);
    detail::requireAdjustable(image, "Levels");
    if (p.master.isIdentity() && p.red.isIdentity() && p.green.isIdentity() && p.blue.isIdentity())
        return;
    const LevelsChannel* own[3] = { &p.red, &p.green, &p.blue };
    applyToneMap(
        image, selection,
        [&](int c, double v) { return levelsMap(p.master, levelsMap(*own[c], v)); }, "Levels");
}

} // namespace ie::proc
