// The effect text: writing and reading "op/enabled/version/p1/p2/..." and checking values.
#pragma once

#include "effects/ImageEffect.h"

#include <string>
#include <string_view>

namespace ie::effect_text {

/// A number in its shortest exact form, without locale ("0.5", "-12", "1e-05").
std::string formatNumber(double value);

/// Throws ie::Error unless `value` is finite, in the parameter's range and whole where it must be.
void checkValue(const EffectParam& param, double value);

/// Throws ie::Error when values valid one by one do not fit together (levels, curves).
void checkCombination(const ImageEffect& effect);

std::string format(const ImageEffect& effect);

/// Reads the fields and values, checking each; the caller checks the combination.
ImageEffect parse(std::string_view text);

} // namespace ie::effect_text
