// Command-line parsing for vistrelune-cli: positional arguments and "--name value" options.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace vst::cli {

/// Arguments after the command name.
class CliArgs {
public:
    /// `flags` are options without a value; every other "--name" takes the next argument.
    CliArgs(const std::vector<std::string>& args, const std::vector<std::string>& flags = {});

    const std::vector<std::string>& positional() const { return m_positional; }
    std::optional<std::string> option(const std::string& name) const;
    bool flag(const std::string& name) const;
    /// An integer option; throws std::runtime_error with a clear message when not a number.
    std::optional<int> intOption(const std::string& name) const;
    /// Throws when an option outside `known` was given.
    void expectOnly(const std::vector<std::string>& known) const;

private:
    std::vector<std::string> m_positional;
    std::map<std::string, std::string> m_options;
};

/// Parses "WxH" ("800x600"); throws std::runtime_error when malformed.
std::pair<int, int> parseSize(const std::string& text);
/// Parses "P%" or "P" as a percentage; throws std::runtime_error when malformed.
double parsePercent(const std::string& text);

} // namespace vst::cli
