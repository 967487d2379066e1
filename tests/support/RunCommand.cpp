#include "RunCommand.h"

#include <array>
#include <cstdio>
#include <sys/wait.h>

namespace vst::test {

CommandResult runCommand(const std::string& commandLine) {
    FILE* p = ::popen((commandLine + " 2>&1").c_str(), "r");
    if (!p) return {};
    std::string out;
    std::array<char, 4096> buf;
    while (std::size_t n = std::fread(buf.data(), 1, buf.size(), p))
        out.append(buf.data(), n);
    const int status = ::pclose(p);
    return { WIFEXITED(status) ? WEXITSTATUS(status) : -1, out };
}

} // namespace vst::test
