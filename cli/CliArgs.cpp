#include "CliArgs.h"

#include <algorithm>
#include <charconv>
#include <stdexcept>

namespace vst::cli {

CliArgs::CliArgs(const std::vector<std::string>& args, const std::vector<std::string>& flags) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a.size() > 2 && a.rfind("--", 0) == 0) {
            const std::string name = a.substr(2);
            if (std::find(flags.begin(), flags.end(), name) != flags.end()) {
                m_options[name] = std::string(1, '1');
                continue;
            }
            if (i + 1 >= args.size())
                throw std::runtime_error("option --" + name + " needs a value");
            m_options[name] = args[++i];
        } else {
            m_positional.push_back(a);
        }
    }
}

std::optional<std::string> CliArgs::option(const std::string& name) const {
    auto it = m_options.find(name);
    if (it == m_options.end()) return std::nullopt;
    return it->second;
}

bool CliArgs::flag(const std::string& name) const {
    return m_options.count(name) > 0;
}

std::optional<int> CliArgs::intOption(const std::string& name) const {
    auto v = option(name);
    if (!v) return std::nullopt;
    int n = 0;
    auto r = std::from_chars(v->data(), v->data() + v->size(), n);
    if (r.ec != std::errc() || r.ptr != v->data() + v->size())
        throw std::runtime_error("option --" + name + " needs a whole number, not \"" + *v + "\"");
    return n;
}

void CliArgs::expectOnly(const std::vector<std::string>& known) const {
    for (const auto& [name, value] : m_options)
        if (std::find(known.begin(), known.end(), name) == known.end())
            throw std::runtime_error("unknown option --" + name);
}

std::pair<int, int> parseSize(const std::string& text) {
    const auto x = text.find_first_of("xX");
    int w = 0, h = 0;
    if (x != std::string::npos) {
        auto r1 = std::from_chars(text.data(), text.data() + x, w);
        auto r2 = std::from_chars(text.data() + x + 1, text.data() + text.size(), h);
        if (r1.ec == std::errc() && r1.ptr == text.data() + x && r2.ec == std::errc()
            && r2.ptr == text.data() + text.size() && w > 0 && h > 0)
            return { w, h };
    }
    throw std::runtime_error("size must be WIDTHxHEIGHT, not \"" + text + "\"");
}

double parsePercent(const std::string& text) {
    std::string t = text;
    if (!t.empty() && t.back() == '%') t.pop_back();
    double p = 0;
    auto r = std::from_chars(t.data(), t.data() + t.size(), p);
    if (r.ec != std::errc() || r.ptr != t.data() + t.size() || p <= 0)
        throw std::runtime_error("scale must be a positive percentage, not \"" + text + "\"");
    return p;
}

} // namespace vst::cli
