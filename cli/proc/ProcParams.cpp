#include "ProcParams.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <stdexcept>

namespace vst::cli {

namespace {

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}

double parseNumber(const std::string& name, const std::string& text) {
    double v = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, v);
    if (ec != std::errc() || ptr != end || text.empty() || !std::isfinite(v))
        throw std::runtime_error(name + "=" + text + " is not a number");
    return v;
}

std::string range(double min, double max) {
    const auto fmt = [](double v) {
        char buf[32];
        const auto r = std::to_chars(buf, buf + sizeof buf, v);
        return std::string(buf, r.ptr);
    };
    return fmt(min) + " to " + fmt(max);
}

} // namespace

ProcParams::ProcParams(const std::vector<std::string>& args) {
    for (const std::string& a : args) {
        const auto eq = a.find('=');
        if (eq == std::string::npos || eq == 0)
            throw std::runtime_error("parameter \"" + a + "\" is not of the form name=value");
        const std::string name = lower(a.substr(0, eq));
        if (!m_values.emplace(name, a.substr(eq + 1)).second)
            throw std::runtime_error("parameter " + name + " is given twice");
    }
}

void ProcParams::expectOnly(const std::string& op, const std::vector<std::string>& known) const {
    for (const auto& [name, value] : m_values) {
        if (std::find(known.begin(), known.end(), name) != known.end()) continue;
        std::string list;
        for (const auto& k : known)
            list += (list.empty() ? "" : ", ") + k;
        throw std::runtime_error("unknown parameter " + name + " for " + op
            + (list.empty() ? " (it takes none)" : " (known: " + list + ")"));
    }
}

std::optional<std::string> ProcParams::text(const std::string& name) const {
    const auto it = m_values.find(name);
    if (it == m_values.end()) return std::nullopt;
    return it->second;
}

std::string ProcParams::requiredText(const std::string& name) const {
    if (auto t = text(name)) return *t;
    throw std::runtime_error("parameter " + name + "= is missing");
}

double ProcParams::number(const std::string& name, double fallback, double min, double max) const {
    const auto t = text(name);
    if (!t) return fallback;
    const double v = parseNumber(name, *t);
    if (v < min || v > max)
        throw std::runtime_error(name + " must be between " + range(min, max) + ", not " + *t);
    return v;
}

double ProcParams::requiredNumber(const std::string& name, double min, double max) const {
    requiredText(name);
    return number(name, 0, min, max);
}

int ProcParams::integer(const std::string& name, int fallback, int min, int max) const {
    const double v = number(name, fallback, min, max);
    if (v != std::floor(v)) throw std::runtime_error(name + " must be a whole number");
    return int(v);
}

std::optional<ie::Rgba> ProcParams::color(
    const std::string& name, std::optional<ie::Rgba> fallback) const {
    const auto t = text(name);
    if (!t) return fallback;
    const std::string s = lower(*t);
    if (s == "none" || s == "transparent") return std::nullopt;
    const auto bad = [&] {
        return std::runtime_error(name + "=" + *t + " is not a colour (#rrggbb, r,g,b or none)");
    };
    int c[3] = {};
    if (s.size() == 7 && s[0] == '#') {
        for (int i = 0; i < 3; ++i) {
            const auto r = std::from_chars(s.data() + 1 + 2 * i, s.data() + 3 + 2 * i, c[i], 16);
            if (r.ec != std::errc() || r.ptr != s.data() + 3 + 2 * i) throw bad();
        }
    } else {
        const char* p = s.data();
        const char* end = s.data() + s.size();
        for (int i = 0; i < 3; ++i) {
            const auto r = std::from_chars(p, end, c[i]);
            if (r.ec != std::errc() || c[i] < 0 || c[i] > 255) throw bad();
            p = r.ptr;
            if (i < 2) {
                if (p == end || *p != ',') throw bad();
                ++p;
            }
        }
        if (p != end) throw bad();
    }
    return ie::Rgba { std::uint8_t(c[0]), std::uint8_t(c[1]), std::uint8_t(c[2]), 255 };
}

int ProcParams::choice(
    const std::string& name, const std::vector<std::string>& choices, int fallback) const {
    const auto t = text(name);
    if (!t) return fallback;
    const auto it = std::find(choices.begin(), choices.end(), lower(*t));
    if (it != choices.end()) return int(it - choices.begin());
    std::string list;
    for (const auto& c : choices)
        list += (list.empty() ? "" : ", ") + c;
    throw std::runtime_error(name + "=" + *t + " is not one of " + list);
}

} // namespace vst::cli
