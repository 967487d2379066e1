// The name=value parameters of "vistrelune-cli proc": lookup with defaults and clear errors.
#pragma once

#include "imaging/Color.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace vst::cli {

/// Parameters given as name=value after the operation name.
class ProcParams {
public:
    /// Parses `args`; throws std::runtime_error for an argument without "=" or a repeated name.
    explicit ProcParams(const std::vector<std::string>& args);

    /// Throws when a name outside `known` was given (the message lists the known ones).
    void expectOnly(const std::string& operation, const std::vector<std::string>& known) const;

    std::optional<std::string> text(const std::string& name) const;
    std::string requiredText(const std::string& name) const;
    /// A number in C-locale form; throws when malformed or outside [min, max].
    double number(const std::string& name, double fallback, double min, double max) const;
    double requiredNumber(const std::string& name, double min, double max) const;
    int integer(const std::string& name, int fallback, int min, int max) const;
    /// "#rrggbb", "r,g,b" or "none" (no colour).
    std::optional<ie::Rgba> color(const std::string& name, std::optional<ie::Rgba> fallback) const;
    /// One of `choices` (case-insensitive); returns its index.
    int choice(
        const std::string& name, const std::vector<std::string>& choices, int fallback) const;

private:
    std::map<std::string, std::string> m_values;
};

} // namespace vst::cli
