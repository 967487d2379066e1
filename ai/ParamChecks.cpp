#include "ParamChecks.h"

#include <QString>

#include <cmath>
#include <cstdio>
#include <locale>
#include <sstream>
#include <stdexcept>

namespace vst::ai {
namespace {
std::string formatClassic(double value, bool fixed2) {
    std::ostringstream out;
    out.imbue(std::locale::classic());
    if (fixed2)
        out.setf(std::ios::fixed), out.precision(2);
    else
        out.precision(15);
    out << value;
    return out.str();
}
} // namespace

void checkTextLength(const std::string& field, const std::string& value) {
    const auto length = QString::fromUtf8(value.data(), qsizetype(value.size())).size();
    if (length > kMaxPromptLength)
        throw std::runtime_error(field + " too long max " + std::to_string(kMaxPromptLength)
            + " : (" + std::to_string(length) + ")");
}

void checkIntRange(const std::string& field, std::int64_t value, std::int64_t lo, std::int64_t hi) {
    if (value < lo || value > hi)
        throw std::runtime_error(field + " must be in [" + std::to_string(lo) + ".."
            + std::to_string(hi) + "] : " + std::to_string(value));
}

void checkRealRange(const std::string& field, double value, double lo, double hi) {
    if (!(value >= lo && value <= hi))
        throw std::runtime_error(field + " must be in [" + realText(lo) + ".." + realText(hi)
            + "] : " + realTextFixed2(value));
}

std::string realText(double value) {
    return formatClassic(value, false);
}

std::string realTextFixed2(double value) {
    return formatClassic(value, true);
}

} // namespace vst::ai
