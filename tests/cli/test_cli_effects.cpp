// vistrelune-cli apply and effects.
#include "effects/ImageEffect.h"
#include "io/ImageIO.h"
#include "proc/adjust/ChannelOps.h"
#include "support/RunCommand.h"
#include "support/TestImages.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

using namespace ie;

namespace {

vst::test::CommandResult runCli(const std::string& args) {
    return vst::test::runCommand(std::string(VST_CLI_PATH) + " " + args);
}

// "error: ..." as the first line, then nothing else of note.
void expectOneErrorLine(const vst::test::CommandResult& r) {
    EXPECT_NE(r.code, 0);
    EXPECT_EQ(r.output.rfind("error: ", 0), 0u) << r.output;
    EXPECT_LE(std::count(r.output.begin(), r.output.end(), '\n'), 1) << r.output;
}

// Levels with the output range reversed: a negative.
std::string invertText() {
    ImageEffect e = ImageEffect::withDefaults(19);
    e.setParam("master.outBlack", 255);
    e.setParam("master.outWhite", 0);
    return e.AsString();
}

} // namespace

TEST(CliEffects, ApplyRunsTheEffectsInOrder) {
    const std::string dir = vst::test::scratchDir("cli_effects_apply");
    const Bitmap src = vst::test::photoLike(30, 20);
    io::saveImage(dir + "/in.png", src);
    const std::string out = dir + "/out.png";
    auto r = runCli("apply " + dir + "/in.png " + out + " --effect " + invertText());
    ASSERT_EQ(r.code, 0) << r.output;
    Bitmap want = src;
    proc::negative(want, nullptr);
    EXPECT_EQ(vst::test::maxRgbaDiff(io::loadImage(out).bitmap, want), 0);

    r = runCli("apply " + dir + "/in.png " + out + " --effect " + invertText() + " --effect "
        + invertText() + " --effect 14/1/1/0/0/50/5");
    ASSERT_EQ(r.code, 0) << r.output;
    const Bitmap half = io::loadImage(out).bitmap;
    EXPECT_EQ(half.width(), 15);
    EXPECT_EQ(half.height(), 10);
}

TEST(CliEffects, BadEffectTextsFailWithoutWriting) {
    const std::string dir = vst::test::scratchDir("cli_effects_bad");
    io::saveImage(dir + "/in.png", vst::test::photoLike(8, 8));
    const std::string out = dir + "/out.png";
    for (const char* args : { "--effect 1/1/1/0/0", "--effect 23/1/1", "--effect 1/1/1/0/0/x",
             "--effect 1/1/1/0/500/0", "--effect 1/1/1/0/0/0 --effect 1/1/1/0/0/nan",
             "--effect 17/1/1/8/0/0/0", "", "--effect", "--bogus 1" }) {
        SCOPED_TRACE(args);
        expectOneErrorLine(runCli("apply " + dir + "/in.png " + out + " " + std::string(args)));
        EXPECT_FALSE(std::filesystem::exists(out));
    }
    expectOneErrorLine(runCli("apply " + dir + "/missing.png " + out + " --effect 1/1/1/0/0/0"));
}

TEST(CliEffects, EffectsListsEveryOperationWithItsDefaults) {
    const auto r = runCli("effects");
    ASSERT_EQ(r.code, 0) << r.output;
    for (int op = 1; op <= 22; ++op) {
        const std::string def = ImageEffect::withDefaults(op).AsString();
        EXPECT_NE(r.output.find("defaults: " + def + "\n"), std::string::npos) << op;
        EXPECT_NE(r.output.find(std::to_string(op) + "  " + std::string(effectName(op))),
            std::string::npos);
    }
    EXPECT_NE(r.output.find("master.gamma"), std::string::npos);
    EXPECT_NE(r.output.find("-100 .. 100"), std::string::npos);
    expectOneErrorLine(runCli("effects extra"));
}
