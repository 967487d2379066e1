// Levels: input black and white points, gamma and output range, per channel and for all.
#pragma once

#include "document/Selection.h"
#include "imaging/Bitmap.h"

namespace ie::proc {

/// One channel's levels, in 8-bit units whatever the image depth.
struct LevelsChannel {
    double inBlack = 0; ///< 0 to 254; input at or below becomes outBlack
    double inWhite = 255; ///< 1 to 255, above inBlack; input at or above becomes outWhite
    double gamma = 1; ///< 0.1 to 10; above 1 brightens the midtones
    double outBlack = 0; ///< 0 to 255
    double outWhite = 255; ///< 0 to 255 (below outBlack inverts)
    bool isIdentity() const;
    friend bool operator==(const LevelsChannel&, const LevelsChannel&) = default;
};

/// The channels' own levels apply first, then the master levels to all three.
struct LevelsParams {
    LevelsChannel master, red, green, blue;
};

/// Throws ie::Error naming the first value out of its range.
void validateLevels(const LevelsParams& params);

/// Applies the levels to the selected pixels.
void levels(Bitmap& image, const Selection* selection, const LevelsParams& params);

/// One channel's levels on a sample from 0 to 1 (exposed for curves previews and tests).
double levelsMap(const LevelsChannel& channel, double value);

} // namespace ie::proc
