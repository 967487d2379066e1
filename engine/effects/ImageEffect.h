// One image effect: an operation with its parameters and enabled flag, its one-line text form,
// and its application to a bitmap.
#pragma once

#include "document/Selection.h"
#include "effects/EffectParams.h"
#include "imaging/Bitmap.h"

#include <string>
#include <string_view>
#include <vector>

namespace ie {

/// An effect: operation 1 to 22 with one value per parameter of its table. The text form is
/// "op/enabled/version/p1/p2/..." on one line, numbers written without locale.
class ImageEffect {
public:
    /// The operation with every parameter at its default, enabled.
    explicit ImageEffect(EffectOp op = EffectOp::BrightnessContrastExposure);
    /// The same for an operation number; throws ie::Error for an unknown one.
    static ImageEffect withDefaults(int op);
    /// Reads a text made by AsString (any version up to the current one). Throws ie::Error with
    /// the reason for a wrong field count, a field that is not a number, a value out of range or
    /// an unknown operation; nothing is half read.
    static ImageEffect fromString(std::string_view text);

    /// The one-line text form; fromString gives back an equal effect.
    std::string AsString() const;

    EffectOp op() const { return m_op; }
    bool enabled() const { return m_enabled; }
    void setEnabled(bool enabled) { m_enabled = enabled; }
    const std::vector<double>& values() const { return m_values; }

    /// The value of parameter `id`; throws ie::Error when the operation has none of that name.
    double param(std::string_view id) const;
    /// Sets parameter `id`; throws ie::Error for an unknown id or a value out of range.
    void setParam(std::string_view id, double value);

    /// Throws ie::Error unless the parameters make sense together (levels' white above black,
    /// curve points in order, a whole number where one is needed).
    void validate() const;

    /// Applies the effect to `image` (a disabled effect does nothing). Colour operations change
    /// only the selected pixels when `selection` is given; resize, crop, rotate and the soft
    /// shadow change the size and ignore it. Throws ie::Error, with the image unchanged, when the
    /// operation is not available or the image is not suitable.
    void Apply(Bitmap& image, const Selection* selection = nullptr) const;

    friend bool operator==(const ImageEffect&, const ImageEffect&) = default;

private:
    std::size_t indexOf(std::string_view id) const;

    EffectOp m_op;
    bool m_enabled = true;
    std::vector<double> m_values;
};

/// An ordered chain of effects applied one after the other.
class ImageEffectsList {
public:
    void add(ImageEffect effect) { m_effects.push_back(std::move(effect)); }
    void clear() { m_effects.clear(); }
    std::size_t size() const { return m_effects.size(); }
    const ImageEffect& at(std::size_t i) const { return m_effects.at(i); }

    /// Applies the enabled effects in order. When one fails the image is left as it was before
    /// the chain (the work is done on a copy-on-write copy) and the error is rethrown.
    void Apply(Bitmap& image, const Selection* selection = nullptr) const;

private:
    std::vector<ImageEffect> m_effects;
};

} // namespace ie
