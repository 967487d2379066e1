#include "effects/EffectText.h"

#include "effects/OtherEffects.h"
#include "imaging/Error.h"

#include <charconv>
#include <cmath>
#include <vector>

namespace ie::effect_text {

std::string formatNumber(double value) {
    char buf[32];
    const auto res = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, res.ptr);
}

namespace {

std::string quotedName(const ImageEffect& e) {
    return "\"" + std::string(effectName(int(e.op()))) + "\"";
}

bool readNumber(std::string_view field, double& out) {
    if (field.empty() || field.front() == '+' || field.front() == ' ') return false;
    const auto res = std::from_chars(field.data(), field.data() + field.size(), out);
    return res.ec == std::errc() && res.ptr == field.data() + field.size() && std::isfinite(out);
}

int readWhole(std::string_view field, const char* what) {
    double v = 0;
    if (!readNumber(field, v) || v != std::floor(v) || std::abs(v) > 1e9)
        throw Error(std::string("The effect text's ") + what + " \"" + std::string(field)
            + "\" is not a whole number.");
    return int(v);
}

std::vector<std::string_view> splitFields(std::string_view text) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t slash = text.find('/', start);
        fields.push_back(text.substr(start, slash - start));
        if (slash == std::string_view::npos) return fields;
        start = slash + 1;
    }
}

void checkLevels(const ImageEffect& e) {
    for (const char* c : { "master", "red", "green", "blue" }) {
        const std::string p(c);
        if (e.param(p + ".inWhite") <= e.param(p + ".inBlack"))
            throw Error("Levels: the input white of " + p + " must be above its input black.");
    }
}

void checkCurves(const ImageEffect& e) {
    for (const char* c : { "master", "red", "green", "blue" }) {
        const std::string p(c);
        const int n = int(e.param(p + ".points"));
        for (int i = 1; i < n; ++i)
            if (e.param(p + ".x" + std::to_string(i)) <= e.param(p + ".x" + std::to_string(i - 1)))
                throw Error("Color Curve: the points of the " + p
                    + " curve must be in increasing input order.");
    }
}

} // namespace

void checkValue(const EffectParam& p, double value) {
    if (!std::isfinite(value) || value < p.min || value > p.max)
        throw Error("The parameter \"" + std::string(p.id) + "\" must be between "
            + formatNumber(p.min) + " and " + formatNumber(p.max) + ", not " + formatNumber(value)
            + ".");
    if (p.kind != ParamKind::Real && value != std::floor(value))
        throw Error("The parameter \"" + std::string(p.id) + "\" must be a whole number, not "
            + formatNumber(value) + ".");
}

void checkCombination(const ImageEffect& e) {
    if (e.op() == EffectOp::Levels) checkLevels(e);
    if (e.op() == EffectOp::ColorCurve) checkCurves(e);
    if (e.op() == EffectOp::OtherEffects) other_effects::checkInner(e);
    if (e.op() == EffectOp::UserFilter && int(e.param("size")) % 2 == 0)
        throw Error("Custom Filter: the kernel size must be 1, 3, 5 or 7.");
}

std::string format(const ImageEffect& e) {
    std::string out = std::to_string(int(e.op())) + (e.enabled() ? "/1/" : "/0/")
        + std::to_string(kEffectTextVersion);
    for (double v : e.values())
        out += "/" + formatNumber(v);
    return out;
}

ImageEffect parse(std::string_view text) {
    if (text.find_first_of("\r\n") != std::string_view::npos)
        throw Error("An effect text must be on one line.");
    const auto fields = splitFields(text);
    if (fields.size() < 3)
        throw Error("The effect text \"" + std::string(text)
            + "\" is too short: it needs operation/enabled/version/parameters.");
    const int op = readWhole(fields[0], "operation");
    if (!isEffectOp(op))
        throw Error("Unknown effect operation " + std::to_string(op) + " (1 to 22 exist).");
    ImageEffect effect(static_cast<EffectOp>(op));
    const int enabled = readWhole(fields[1], "enabled flag");
    if (enabled != 0 && enabled != 1) throw Error("The effect's enabled flag must be 0 or 1.");
    effect.setEnabled(enabled == 1);
    const int version = readWhole(fields[2], "version");
    if (version < 1) throw Error("The effect text's version must be 1 or more.");
    if (version > kEffectTextVersion)
        throw Error("The effect text was written by a newer version of the program (effect "
                    "version "
            + std::to_string(version) + ").");
    const auto params = effectParams(op);
    std::size_t expected = 0;
    for (const EffectParam& p : params)
        expected += p.since <= version;
    if (fields.size() - 3 != expected)
        throw Error("The effect " + quotedName(effect) + " needs " + std::to_string(expected)
            + " parameters, the text has " + std::to_string(fields.size() - 3) + ".");
    std::size_t field = 3;
    for (const EffectParam& p : params) {
        if (p.since > version) continue; // added later: keeps its default
        double v = 0;
        if (!readNumber(fields[field], v))
            throw Error("The parameter \"" + std::string(p.id) + "\" of the effect "
                + quotedName(effect) + " is not a number: \"" + std::string(fields[field]) + "\".");
        effect.setParam(p.id, v);
        ++field;
    }
    return effect;
}

} // namespace ie::effect_text
