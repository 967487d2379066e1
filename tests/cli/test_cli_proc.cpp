// Tests of "vistrelune-cli proc": each operation on real files, and refused input.
#include "imaging/BitmapOps.h"
#include "io/ImageIO.h"
#include "support/RunCommand.h"
#include "support/TestImages.h"

#include <gtest/gtest.h>

#include <string>

using namespace ie;

namespace {

class CliProc : public ::testing::Test {
protected:
    void SetUp() override {
        dir = vst::test::scratchDir("cli-proc");
        src = vst::test::photoLike(48, 32);
        io::saveImage(dir + "/in.png", src);
    }
    vst::test::CommandResult proc(const std::string& out, const std::string& rest) {
        return vst::test::runCommand(std::string(VST_CLI_PATH) + " proc " + dir + "/in.png "
            + (out == "-" ? out : dir + "/" + out) + " " + rest + " 2>&1");
    }
    Bitmap load(const std::string& name) { return io::loadImage(dir + "/" + name).bitmap; }

    std::string dir;
    Bitmap src;
};

} // namespace

TEST_F(CliProc, PixelAndGeometryOperations) {
    ASSERT_EQ(proc("neg.png", "negative").code, 0);
    EXPECT_EQ(load("neg.png").pixel(3, 4).r, 255 - src.pixel(3, 4).r);

    ASSERT_EQ(proc("swap.png", "swap order=RGB").code, 0); // red and blue exchanged
    EXPECT_EQ(load("swap.png").pixel(5, 6).b, src.pixel(5, 6).r);

    ASSERT_EQ(proc("bw.png", "bw threshold=128").code, 0);
    const int v = load("bw.png").pixel(0, 0).r;
    EXPECT_TRUE(v == 0 || v == 255);

    ASSERT_EQ(proc("rot.png", "rotate angle=90").code, 0);
    EXPECT_TRUE(load("rot.png").samePixels(rotateRightAngle(src, 270)));
    ASSERT_EQ(proc("rot2.png", "rotate angle=12.5 background=none").code, 0);
    EXPECT_EQ(load("rot2.png").pixel(0, 0).a, 0);

    ASSERT_EQ(proc("flip.png", "flip direction=vertical").code, 0);
    EXPECT_EQ(load("flip.png").pixel(0, 0), src.pixel(0, 31));

    ASSERT_EQ(proc("half.png", "resample scale=50 filter=lanczos3").code, 0);
    EXPECT_EQ(load("half.png").width(), 24);
    ASSERT_EQ(proc("w.png", "resample width=12").code, 0);
    EXPECT_EQ(load("w.png").height(), 8);

    ASSERT_EQ(proc("canvas.png", "canvas left=2 bottom=3 fill=#ff0000").code, 0);
    const Bitmap c = load("canvas.png");
    EXPECT_EQ(c.width(), 50);
    EXPECT_EQ(c.pixel(0, 0), (Rgba { 255, 0, 0, 255 }));

    ASSERT_EQ(proc("crop.png", "crop x=4 y=2 width=10 height=5").code, 0);
    EXPECT_EQ(load("crop.png").pixel(0, 0), src.pixel(4, 2));
}

TEST_F(CliProc, InpaintAndCompare) {
    Bitmap mask(48, 32, PixelFormat::Gray8);
    mask.fill({ 0, 0, 0, 255 });
    mask.fillRect({ 20, 10, 4, 4 }, { 255, 255, 255, 255 });
    io::saveImage(dir + "/mask.png", mask);
    ASSERT_EQ(proc("heal.png", "inpaint mask=" + dir + "/mask.png radius=3 method=telea").code, 0);
    const Bitmap healed = load("heal.png");
    EXPECT_EQ(healed.pixel(0, 0), src.pixel(0, 0));

    const auto same = proc("diff.png", "compare with=" + dir + "/in.png");
    EXPECT_EQ(same.code, 0);
    EXPECT_NE(same.output.find("Similarity: 100.0%"), std::string::npos) << same.output;
    EXPECT_EQ(load("diff.png").pixelFormat(), PixelFormat::Gray8);
    const auto other = proc("-", "compare with=" + dir + "/mask.png");
    EXPECT_EQ(other.output.find("Similarity: 100.0%"), std::string::npos) << other.output;
}

TEST_F(CliProc, HiddenDataAndEncryption) {
    ASSERT_EQ(proc("hid.png", "hidden-write text=hello").code, 0);
    const auto read = vst::test::runCommand(
        std::string(VST_CLI_PATH) + " proc " + dir + "/hid.png - hidden-read");
    EXPECT_EQ(read.code, 0);
    EXPECT_EQ(read.output, "hello");
    const auto none = proc("-", "hidden-read");
    EXPECT_NE(none.code, 0);
    EXPECT_NE(none.output.find("no hidden data"), std::string::npos);

    ASSERT_EQ(proc("enc.png", "encrypt password=secret").code, 0);
    EXPECT_LT(vst::test::psnr(load("enc.png"), src), 15);
    const std::string dec = std::string(VST_CLI_PATH) + " proc " + dir + "/enc.png " + dir;
    const auto wrong = vst::test::runCommand(dec + "/bad.png decrypt password=nope 2>&1");
    EXPECT_NE(wrong.code, 0);
    EXPECT_NE(wrong.output.find("password is wrong"), std::string::npos) << wrong.output;
    ASSERT_EQ(vst::test::runCommand(dec + "/dec.png decrypt password=secret").code, 0);
    EXPECT_LE(vst::test::maxRgbaDiff(load("dec.png"), src), 1);
    EXPECT_NE(proc("enc.jpg", "encrypt password=secret").code, 0); // would not survive JPEG
}

TEST_F(CliProc, BadCommandsAreRefusedClearly) {
    struct Case {
        const char* args;
        const char* message;
    } cases[] = {
        { "explode", "unknown operation" },
        { "rotate", "angle= is missing" },
        { "rotate angle=abc", "not a number" },
        { "rotate angle=10 speed=2", "unknown parameter speed" },
        { "flip direction=diagonal", "not one of" },
        { "canvas fill=#12", "not a colour" },
        { "crop x=100 width=5 height=5", "outside the image" },
        { "swap order=XYZ", "" },
        { "negative extra", "name=value" },
    };
    for (const Case& c : cases) {
        const auto r = proc("x.png", c.args);
        EXPECT_NE(r.code, 0) << c.args;
        EXPECT_NE(r.output.find(c.message), std::string::npos) << c.args << ": " << r.output;
    }
}
