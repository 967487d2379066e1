// Operation 22 of the effect text: an effect of the filter catalogue, named by its group and its
// position in the group, with up to eight parameters.
#pragma once

#include "effects/ImageEffect.h"
#include "proc/filter/EffectCatalogue.h"

#include <vector>

namespace ie::other_effects {

/// Parameters an inner effect can have in the effect text.
inline constexpr std::size_t kMaxInnerParams = 8;

/// The catalogue effect an operation-22 effect names; throws ie::Error when there is none.
const proc::CatalogueEffect& innerEffect(const ImageEffect& effect);

/// The inner effect's parameter values (p1, p2 ... as many as it has).
std::vector<double> innerValues(const ImageEffect& effect);

/// Sets p1..p8 to the inner effect's defaults (0 past its last parameter).
void setInnerDefaults(ImageEffect& effect);

/// Throws ie::Error unless the inner effect exists and its values are in its ranges.
void checkInner(const ImageEffect& effect);

} // namespace ie::other_effects
