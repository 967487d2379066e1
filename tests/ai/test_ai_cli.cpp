// vistrelune-cli ai against the fake service: every edit writes its image; failures exit
// non-zero with the message.
#include "AiTestSupport.h"
#include "support/RunCommand.h"
#include "support/TestImages.h"

#include "ai/ImageBytes.h"
#include "io/ImageIO.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using vst::test::FakeService;

namespace {

class AiCli : public ::testing::Test {
protected:
    void SetUp() override {
        dir = vst::test::scratchDir("ai-cli");
        in = dir + "/in.png";
        mask = dir + "/mask.png";
        keyFile = dir + "/key.txt";
        ie::Bitmap image(96, 80, ie::PixelFormat::Rgb24);
        image.fill({ 50, 60, 70, 255 });
        ie::io::saveImage(in, image);
        ie::Bitmap m(96, 80, ie::PixelFormat::Gray8);
        m.fill({ 0, 0, 0, 255 });
        m.fillRect({ 10, 10, 20, 20 }, { 255, 255, 255, 255 });
        ie::io::saveImage(mask, m);
        std::ofstream(keyFile) << "test-key\n";
    }

    vst::test::CommandResult run(const std::string& arguments) {
        return vst::test::runCommand(std::string(VST_CLI_PATH) + " ai " + arguments + " --base-url "
            + fake.baseUrl() + " 2>&1");
    }

    FakeService fake;
    std::string dir, in, mask, keyFile;
};

} // namespace

TEST_F(AiCli, EachEditWritesTheAnswerImage) {
    struct Case {
        std::string arguments;
        int width, height;
    };
    const Case cases[] = {
        { "erase --mask " + mask, 96, 80 },
        { "inpaint --mask " + mask + " --prompt 'a red ball'", 96, 80 },
        { "search-and-replace --search cat --prompt dog", 96, 80 },
        { "search-and-recolor --select car --prompt 'make it blue'", 96, 80 },
        { "remove-background", 96, 80 },
        { "replace-background --background 'a beach at dusk'", 96, 80 },
        { "outpaint --left 100 --up 0 --right 0 --down 4", 196, 84 },
        { "upscale --mode conservative --prompt hills", 192, 160 },
        { "upscale --mode creative --prompt hills --creativity 0.3", 192, 160 },
        { "upscale --mode fast", 384, 320 },
    };
    int n = 0;
    for (const Case& c : cases) {
        const std::string out = dir + "/out" + std::to_string(n++) + ".png";
        const auto name = c.arguments.substr(0, c.arguments.find(' '));
        const auto first = c.arguments.find(' ') == std::string::npos
            ? std::string()
            : c.arguments.substr(c.arguments.find(' '));
        const auto r = run(name + " " + in + " " + out + first + " --key-file " + keyFile
            + " --poll-interval 0.05");
        ASSERT_EQ(r.code, 0) << c.arguments << "\n" << r.output;
        EXPECT_NE(r.output.find("Operation ended successfully"), std::string::npos);
        const auto written = ie::io::loadImage(out).bitmap;
        EXPECT_EQ(written.width(), c.width) << c.arguments;
        EXPECT_EQ(written.height(), c.height) << c.arguments;
    }
    // The two job edits were polled through "in-progress".
    int fetches = 0;
    for (const auto& request : fake.requests())
        fetches += request.method == "GET";
    EXPECT_EQ(fetches, 4);
}

TEST_F(AiCli, KeyComesFromTheEnvironmentToo) {
    const auto r = vst::test::runCommand("VISTRELUNE_API_KEY=test-key " + std::string(VST_CLI_PATH)
        + " ai remove-background " + in + " " + dir + "/env.png --base-url " + fake.baseUrl()
        + " 2>&1");
    EXPECT_EQ(r.code, 0) << r.output;
}

TEST_F(AiCli, FailuresExitNonZeroWithTheMessage) {
    std::ofstream(dir + "/wrong.txt") << "wrong";
    const std::pair<std::string, std::string> cases[] = {
        { "remove-background " + in + " " + dir + "/x.png", "No API key" },
        { "remove-background " + in + " " + dir + "/x.png --key-file " + dir + "/wrong.txt",
            "error (401) - type unauthorized" },
        { "outpaint " + in + " " + dir + "/x.png --left 2500 --key-file " + keyFile,
            "left must be in [0..2000] : 2500" },
        { "erase " + in + " " + dir + "/x.png --key-file " + keyFile,
            "Erasing or replacing an area needs a selection." },
        { "paint " + in + " " + dir + "/x.png --key-file " + keyFile, "unknown AI edit" },
    };
    for (const auto& [arguments, message] : cases) {
        const auto r
            = vst::test::runCommand("env -u VISTRELUNE_API_KEY " + std::string(VST_CLI_PATH)
                + " ai " + arguments + " --base-url " + fake.baseUrl() + " 2>&1");
        EXPECT_NE(r.code, 0) << arguments;
        EXPECT_NE(r.output.find(message), std::string::npos) << arguments << "\n" << r.output;
    }
    EXPECT_FALSE(std::filesystem::exists(dir + "/x.png"));
}
