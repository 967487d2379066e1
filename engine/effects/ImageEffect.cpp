#include "effects/ImageEffect.h"

#include "effects/EffectText.h"
#include "effects/OtherEffects.h"
#include "imaging/Error.h"

#include <cmath>

namespace ie {

ImageEffect::ImageEffect(EffectOp op)
    : m_op(op) {
    for (const EffectParam& p : effectParams(int(op)))
        m_values.push_back(p.defaultValue);
    if (op == EffectOp::OtherEffects) other_effects::setInnerDefaults(*this);
}

ImageEffect ImageEffect::withDefaults(int op) {
    if (!isEffectOp(op))
        throw Error("Unknown effect operation " + std::to_string(op) + " (1 to 22 exist).");
    return ImageEffect(EffectOp(op));
}

std::size_t ImageEffect::indexOf(std::string_view id) const {
    const auto params = effectParams(int(m_op));
    for (std::size_t i = 0; i < params.size(); ++i)
        if (params[i].id == id) return i;
    throw Error("The effect \"" + std::string(effectName(int(m_op))) + "\" has no parameter \""
        + std::string(id) + "\".");
}

double ImageEffect::param(std::string_view id) const {
    return m_values[indexOf(id)];
}

void ImageEffect::setParam(std::string_view id, double value) {
    const std::size_t i = indexOf(id);
    effect_text::checkValue(effectParams(int(m_op))[i], value);
    m_values[i] = value;
}

void ImageEffect::validate() const {
    const auto params = effectParams(int(m_op));
    if (m_values.size() != params.size())
        throw Error("The effect \"" + std::string(effectName(int(m_op))) + "\" needs "
            + std::to_string(params.size()) + " parameters.");
    for (std::size_t i = 0; i < params.size(); ++i)
        effect_text::checkValue(params[i], m_values[i]);
    effect_text::checkCombination(*this);
}

std::string ImageEffect::AsString() const {
    return effect_text::format(*this);
}

ImageEffect ImageEffect::fromString(std::string_view text) {
    ImageEffect effect = effect_text::parse(text);
    effect.validate();
    return effect;
}

void ImageEffectsList::Apply(Bitmap& image, const Selection* selection) const {
    Bitmap work = image; // shares strips: only what the effects write is copied
    for (const ImageEffect& e : m_effects)
        e.Apply(work, selection);
    image = std::move(work);
}

} // namespace ie
