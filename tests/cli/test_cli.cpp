#include "imaging/Convert.h"
#include "io/ImageIO.h"
#include "io/codecs/TiffPages.h"
#include "support/RunCommand.h"
#include "support/TestImages.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>
#include <string>
#include <sys/wait.h>
#include <vector>

using namespace ie;

namespace {

vst::test::CommandResult runCli(const std::string& args) {
    return vst::test::runCommand(std::string(VST_CLI_PATH) + " " + args);
}

enum class Expect { Identical, Lossy, Grey, Bw, Loads, WriteFails };

struct FormatCase {
    const char* ext;
    Expect expect;
};

// Every format the export dialog offers.
const FormatCase kFormats[] = {
    { ".jpg", Expect::Lossy },
    { ".png", Expect::Identical },
    { ".bmp", Expect::Identical },
    { ".tif", Expect::Identical },
    { ".gif", Expect::Identical }, // the source has few colours
    { ".tga", Expect::Identical },
    { ".psd", Expect::Identical },
    { ".ico", Expect::Identical },
    { ".pdf", Expect::Loads },
    { ".jp2", Expect::Identical },
    { ".j2k", Expect::Identical },
    { ".hdp", Expect::WriteFails },
    { ".webp", Expect::Lossy },
    { ".pcx", Expect::Identical },
    { ".ppm", Expect::Identical },
    { ".pgm", Expect::Grey },
    { ".pbm", Expect::Bw },
    { ".dpx", Expect::Identical },
    { ".dcx", Expect::Identical },
    { ".dicom", Expect::WriteFails },
    { ".jng", Expect::Lossy },
    { ".cin", Expect::Loads },
    { ".pict", Expect::Identical },
};

// A photo-like image reduced to a few dozen colours: every format can hold it exactly.
Bitmap fewColours() {
    Bitmap b = vst::test::photoLike(40, 30);
    for (int y = 0; y < b.height(); ++y) {
        std::uint8_t* row = b.mutableScanline(y);
        for (std::size_t i = 0; i < b.rowBytes(); ++i)
            row[i] = std::uint8_t(row[i] & 0xC0);
    }
    return b;
}

std::string q(const std::string& s) {
    return "'" + s + "'";
}

} // namespace

TEST(Cli, FailuresAreOneLineWithNonZeroExit) {
    const std::string dir = vst::test::scratchDir("cli-fail");
    for (const std::string& args :
        std::vector<std::string> { "info " + dir + "/missing.png", "convert a", "bogus",
            "convert " + dir + "/missing.png " + dir + "/o.png --quality 0" }) {
        const auto r = runCli(args);
        EXPECT_NE(r.code, 0) << args;
        // The first line says what went wrong; only a usage text may follow it.
        const std::string first = r.output.substr(0, r.output.find('\n'));
        EXPECT_TRUE(first.rfind("error: ", 0) == 0 || first.rfind("usage: ", 0) == 0)
            << args << ": " << r.output;
    }
}

TEST(Cli, EveryExportFormatRoundTrips) {
    const std::string dir = vst::test::scratchDir("cli-formats");
    const Bitmap src = fewColours();
    io::saveImage(dir + "/src.png", src);
    for (const auto& fc : kFormats) {
        SCOPED_TRACE(fc.ext);
        const std::string out = dir + "/out" + fc.ext;
        const auto w = runCli("convert " + q(dir + "/src.png") + " " + q(out));
        if (fc.expect == Expect::WriteFails) {
            EXPECT_NE(w.code, 0);
            EXPECT_NE(w.output.find("not supported"), std::string::npos) << w.output;
            continue;
        }
        ASSERT_EQ(w.code, 0) << w.output;
        const auto back = runCli("convert " + q(out) + " " + q(dir + "/back.png"));
        ASSERT_EQ(back.code, 0) << back.output;
        const Bitmap got = io::loadImage(dir + "/back.png").bitmap;
        if (fc.expect == Expect::Loads) {
            EXPECT_GT(got.width(), 0);
            continue;
        }
        ASSERT_EQ(got.width(), src.width());
        ASSERT_EQ(got.height(), src.height());
        switch (fc.expect) {
        case Expect::Identical:
            EXPECT_TRUE(std::isinf(vst::test::psnr(convertTo(got, PixelFormat::Rgb24), src)));
            break;
        case Expect::Lossy:
            // Hard posterised edges: the same picture; fine detail is measured on a photo below.
            EXPECT_GT(vst::test::psnr(got, src), 25.0);
            break;
        case Expect::Grey:
            EXPECT_TRUE(got.samePixels(convertTo(src, PixelFormat::Gray8))
                || got.samePixels(
                    convertTo(convertTo(src, PixelFormat::Gray8), PixelFormat::Rgb24)));
            break;
        case Expect::Bw:
            EXPECT_GT(vst::test::psnr(got, convertTo(src, PixelFormat::Bw1)), 100.0);
            break;
        default:
            break;
        }
    }
}

TEST(Cli, JpegQuality90OfAPhotoKeepsDetail) {
    const std::string dir = vst::test::scratchDir("cli-jpeg");
    const Bitmap src = vst::test::photoLike(300, 200);
    io::saveImage(dir + "/src.png", src);
    ASSERT_EQ(
        runCli("convert " + q(dir + "/src.png") + " " + q(dir + "/o.jpg") + " --quality 90").code,
        0);
    EXPECT_GT(vst::test::psnr(io::loadImage(dir + "/o.jpg").bitmap, src), 38.0);
}

TEST(Cli, PagesAreReachableByIndex) {
    const std::string dir = vst::test::scratchDir("cli-pages");
    std::vector<Bitmap> pages;
    for (int i = 0; i < 3; ++i) {
        Bitmap b(20 + i, 10, PixelFormat::Rgb24);
        b.fill({ std::uint8_t(80 * i), 10, 200, 255 });
        pages.push_back(b);
    }
    io::writeTiffPages(dir + "/multi.tif", pages, {});
    const auto info = runCli("info " + q(dir + "/multi.tif"));
    EXPECT_NE(info.output.find("pages:         3"), std::string::npos) << info.output;
    ASSERT_EQ(
        runCli("convert " + q(dir + "/multi.tif") + " " + q(dir + "/p2.png") + " --page 2").code,
        0);
    const Bitmap p2 = io::loadImage(dir + "/p2.png").bitmap;
    EXPECT_EQ(p2.width(), 22);
    EXPECT_EQ(p2.pixel(3, 3), (Rgba { 160, 10, 200, 255 }));
    const auto beyond
        = runCli("convert " + q(dir + "/multi.tif") + " " + q(dir + "/p9.png") + " --page 9");
    EXPECT_NE(beyond.code, 0);
}

TEST(Cli, ResizeAndScale) {
    const std::string dir = vst::test::scratchDir("cli-resize");
    io::saveImage(dir + "/src.png", vst::test::photoLike(101, 60));
    ASSERT_EQ(
        runCli("convert " + q(dir + "/src.png") + " " + q(dir + "/a.png") + " --scale 50%").code,
        0);
    EXPECT_EQ(io::loadImage(dir + "/a.png").bitmap.width(), 50); // 50.5 rounds half to even
    ASSERT_EQ(runCli("convert " + q(dir + "/src.png") + " " + q(dir + "/b.png")
                  + " --resize 30x20 --filter bicubic")
                  .code,
        0);
    EXPECT_EQ(io::loadImage(dir + "/b.png").bitmap.height(), 20);
    EXPECT_NE(
        runCli("convert " + q(dir + "/src.png") + " " + q(dir + "/c.png") + " --resize 3y4").code,
        0);
    EXPECT_NE(runCli("convert " + q(dir + "/src.png") + " " + q(dir + "/c.png")
                  + " --filter blurry --scale 5")
                  .code,
        0);
}

TEST(Cli, ExifSurvivesJpegToJpeg) {
    // A hand-made EXIF block: one IFD with the camera make.
    const std::string make = "TestCam";
    std::string exif
        = std::string("II*\0", 4) + std::string("\x08\0\0\0", 4) + std::string("\x01\0", 2);
    exif += std::string("\x0F\x01\x02\0", 4) + std::string(1, char(make.size() + 1))
        + std::string(3, '\0');
    exif += std::string("\x1A\0\0\0", 4) + std::string(4, '\0') + make + '\0';
    io::Metadata meta;
    meta.exif.assign(exif.begin(), exif.end());
    const std::string dir = vst::test::scratchDir("cli-exif");
    io::saveImage(dir + "/src.jpg", vst::test::photoLike(64, 48), {}, meta);
    ASSERT_EQ(runCli("convert " + q(dir + "/src.jpg") + " " + q(dir + "/out.jpg")).code, 0);
    const auto info = runCli("info " + q(dir + "/out.jpg"));
    EXPECT_NE(info.output.find("TestCam"), std::string::npos) << info.output;
}
