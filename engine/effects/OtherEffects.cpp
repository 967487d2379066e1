#include "effects/OtherEffects.h"

#include "imaging/Error.h"

#include <string>

namespace ie::other_effects {

namespace {

std::string pName(std::size_t i) {
    return "p" + std::to_string(i + 1);
}

} // namespace

const proc::CatalogueEffect& innerEffect(const ImageEffect& e) {
    const proc::EffectGroup& group = proc::effectGroup(int(e.param("group")));
    const auto index = std::size_t(e.param("effect"));
    if (index >= group.effects.size())
        throw Error("The effect group \"" + group.name + "\" has "
            + std::to_string(group.effects.size()) + " effects; there is no effect number "
            + std::to_string(index) + ".");
    const proc::CatalogueEffect& inner = group.effects[index];
    if (inner.params.size() > kMaxInnerParams)
        throw Error("The effect \"" + inner.displayName + "\" has too many parameters to store.");
    return inner;
}

std::vector<double> innerValues(const ImageEffect& e) {
    std::vector<double> values;
    for (std::size_t i = 0; i < innerEffect(e).params.size(); ++i)
        values.push_back(e.param(pName(i)));
    return values;
}

void setInnerDefaults(ImageEffect& e) {
    const std::vector<double> defaults = innerEffect(e).defaults();
    for (std::size_t i = 0; i < kMaxInnerParams; ++i)
        e.setParam(pName(i), i < defaults.size() ? defaults[i] : 0);
}

void checkInner(const ImageEffect& e) {
    proc::checkCatalogueParams(innerEffect(e), innerValues(e));
}

} // namespace ie::other_effects
