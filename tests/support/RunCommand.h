// Runs a command line in a shell for tests of the command-line programs.
#pragma once

#include <string>

namespace vst::test {

struct CommandResult {
    int code = -1; ///< exit status, -1 when the command did not exit normally
    std::string output; ///< standard output and standard error together
};

/// Runs `commandLine` through the shell and collects its output.
CommandResult runCommand(const std::string& commandLine);

} // namespace vst::test
