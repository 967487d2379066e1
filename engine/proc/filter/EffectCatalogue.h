// The "all effects" catalogue: eight groups of named effects with typed parameters, so an
// effect can be stored as "group/effect/params" and run again.
#pragma once

#include "document/Selection.h"
#include "imaging/Bitmap.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace ie::proc {

/// One numeric parameter of a catalogue effect.
struct EffectParam {
    std::string id; ///< stable name, letters only
    double defaultValue = 0;
    double minimum = 0;
    double maximum = 0;
};

/// Runs an effect with its parameter values (already checked) on the image.
using CatalogueApply = std::function<void(Bitmap&, const std::vector<double>&, const Selection*)>;

/// One effect of the catalogue.
struct CatalogueEffect {
    std::string id; ///< stable identifier, unique over all groups, no '/'
    std::string displayName; ///< the name the effects page lists
    std::vector<EffectParam> params;
    CatalogueApply apply;
    std::vector<double> defaults() const;
};

/// A group of the effects page; numbers 1 to 8 as the filter menu opens them.
struct EffectGroup {
    int number = 0;
    std::string name;
    std::vector<CatalogueEffect> effects;
};

/// The group numbers.
enum class EffectGroupId {
    Distortion = 1,
    LensCorrections = 2,
    Drawing = 3,
    Pixelization = 4,
    DilationErosion = 5,
    Texture = 6,
    Frame = 7,
    Decoration = 8,
};

/// The eight groups, in number order.
const std::vector<EffectGroup>& effectCatalogue();

/// The group numbered `number` (1 to 8); throws ie::Error for another number.
const EffectGroup& effectGroup(int number);

/// The effect `id` in group `group` (0 searches every group), or nullptr.
const CatalogueEffect* findCatalogueEffect(int group, std::string_view id);

/// Throws ie::Error when `values` does not have one value per parameter within its range.
void checkCatalogueParams(const CatalogueEffect& effect, const std::vector<double>& values);

/// Looks the effect up, checks its parameters and applies it; throws ie::Error naming what is
/// wrong (unknown group or effect, wrong count, value out of range) before touching the image.
void applyCatalogueEffect(Bitmap& image, int group, std::string_view id,
    const std::vector<double>& values, const Selection* selection = nullptr);

/// The display name of the Drawing effect after which the filter flow runs Sobel edge
/// detection and a negative.
inline constexpr std::string_view kSobelNegativeName = "EdgeDetect_Sobel (and Negative)";

} // namespace ie::proc
