#include "io/ImageIO.h"
#include "support/TestImages.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <gtest/gtest.h>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace {

struct RunResult {
    int code;
    std::string output;
};

RunResult runCli(const std::string& args) {
    const std::string cmd = std::string(VST_CLI_PATH) + " " + args + " 2>&1";
    FILE* p = ::popen(cmd.c_str(), "r");
    std::string out;
    std::array<char, 4096> buf;
    while (std::size_t n = std::fread(buf.data(), 1, buf.size(), p))
        out.append(buf.data(), n);
    const int status = ::pclose(p);
    return { WIFEXITED(status) ? WEXITSTATUS(status) : -1, out };
}

} // namespace

TEST(Cli, FailuresAreOneLineWithNonZeroExit) {
    const std::string dir = vst::test::scratchDir("cli-fail");
    for (const std::string& args :
        std::vector<std::string> { "info " + dir + "/missing.png", "convert a", "bogus",
            "convert " + dir + "/missing.png " + dir + "/o.png --quality 0" }) {
        const auto r = runCli(args);
        EXPECT_NE(r.code, 0) << args;
        EXPECT_FALSE(r.output.empty()) << args;
        EXPECT_LE(std::count(r.output.begin(), r.output.end(), '\n'), 8) << args;
    }
}
