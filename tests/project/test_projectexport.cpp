#include "ProjectTestSupport.h"
#include "support/RunCommand.h"

#include "io/ImageIO.h"
#include "layers/Compositor.h"
#include "layers/LayeredPsd.h"
#include "project/ProjectExport.h"
#include "project/ProjectFile.h"

#include <array>
#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/wait.h>

using namespace vst::project;
namespace fs = std::filesystem;

namespace {

std::vector<Variant> originalAndSky() {
    std::vector<Variant> v;
    v.push_back(pt::photoVariant("Original", 64, 48, 1));
    v.push_back(pt::photoVariant("Sky", 64, 48, 2));
    return v;
}

ExportOptions options(const std::string& dir, const char* ext) {
    ExportOptions o;
    o.folder = dir;
    o.baseName = "trip";
    o.extension = ext;
    return o;
}

std::string runCli(const std::string& args) {
    const auto r = vst::test::runCommand(std::string(VST_CLI_PATH) + " " + args);
    EXPECT_EQ(r.code, 0) << args << "\n" << r.output;
    return r.output;
}

// A 40 x 30 photo with a red 10 x 10 square "Red" at (20, 10) and a path layer on top.
std::vector<Variant> photoSquareAndPath() {
    std::vector<Variant> v(1);
    v[0] = pt::photoVariant("Original", 40, 30);
    ie::Bitmap red(10, 10, ie::PixelFormat::Rgb24);
    red.fill({ 255, 0, 0, 255 });
    auto top = std::make_unique<ie::ImageLayer>(red);
    top->x = 20;
    top->y = 10;
    top->name = "Red";
    v[0].layers.add(std::move(top));
    auto path = std::make_unique<ie::PolylineLayer>();
    path->points = { { 0, 0 }, { 1, 1 } };
    path->isPath = true;
    path->borderWidth = 8;
    path->width = 40;
    path->height = 30;
    v[0].layers.add(std::move(path));
    return v;
}

} // namespace

TEST(ProjectExport, NamesStayInsideTheFolder) {
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        { "Sky", "Sky" },
        { "a/b\\c:d*e?f\"g<h>i|j", "a_b_c_d_e_f_g_h_i_j" },
        { "tab\there", "tab_here" },
        { ".", "_" },
        { "..", "__" },
        { "...", "..." },
        { "Grüße", "Grüße" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(safeFileNamePart(QString::fromUtf8(c.in)), QString::fromUtf8(c.out)) << c.in;
    ExportOptions o = options("/out", ".jpg");
    EXPECT_EQ(exportTarget(o, 0, "Original"), "/out/trip.jpg");
    EXPECT_EQ(exportTarget(o, 1, "../up"), "/out/trip_.._up.jpg");
}

TEST(ProjectExport, OriginalAndSkyAsJpeg) {
    const std::string dir = vst::test::scratchDir("export-jpeg");
    const auto variants = originalAndSky();
    const auto written = exportProject(variants, options(dir, ".jpg"));
    EXPECT_EQ(written, (std::vector<std::string> { dir + "/trip.jpg", dir + "/trip_Sky.jpg" }));
    EXPECT_GT(vst::test::psnr(ie::io::loadImage(dir + "/trip_Sky.jpg").bitmap,
                  static_cast<const ie::ImageLayer&>(variants[1].layers.layer(0)).bitmap),
        35);

    const std::string only = vst::test::scratchDir("export-other");
    ExportOptions o = options(only, ".jpg");
    o.defaultVariant = false;
    EXPECT_EQ(exportProject(variants, o), (std::vector<std::string> { only + "/trip_Sky.jpg" }));
    // Declining to overwrite skips the variant.
    o.overwrite = [](const std::string&) { return false; };
    EXPECT_TRUE(exportProject(variants, o).empty());
}

// PNG gets the merged layers, never the paths; a mask on layer 1 leaves the background
// transparent where it hides it.
TEST(ProjectExport, PngMergesWithoutPathsAndKeepsMaskTransparency) {
    const std::string dir = vst::test::scratchDir("export-png");
    const std::vector<Variant> v = photoSquareAndPath();
    exportProject(v, options(dir, ".png"));
    const auto png = ie::io::loadImage(dir + "/trip.png").bitmap;
    ie::LayerStack withoutPath = v[0].layers;
    withoutPath.remove(2);
    ie::Bitmap expected = ie::compositeAll(withoutPath);
    expected.removeAlphaPlane();
    EXPECT_TRUE(png.samePixels(expected));
    EXPECT_EQ(png.pixel(25, 15), (ie::Rgba { 255, 0, 0, 255 }));

    std::vector<Variant> masked(1);
    masked[0] = pt::photoVariant("Original", 40, 30);
    ie::Bitmap hide(40, 30, ie::PixelFormat::Gray8);
    hide.fill({ 255, 255, 255, 255 });
    hide.fillRect({ 0, 0, 20, 30 }, { 0, 0, 0, 255 });
    auto mask = std::make_unique<ie::ImageLayer>(hide);
    mask->isMask = true;
    masked[0].layers.add(std::move(mask));
    const std::string mdir = vst::test::scratchDir("export-mask");
    exportProject(masked, options(mdir, ".png"));
    const auto mpng = ie::io::loadImage(mdir + "/trip.png").bitmap;
    EXPECT_EQ(mpng.pixel(5, 5).a, 0);
    EXPECT_EQ(mpng.pixel(30, 5).a, 255);
}

TEST(ProjectExport, PsdKeepsTheLayersAtTheRequestedSize) {
    const std::string dir = vst::test::scratchDir("export-psd");
    const std::vector<Variant> v = photoSquareAndPath();
    ExportOptions o = options(dir, ".psd");
    exportProject(v, o);
    const ie::LayerStack back = ie::loadLayeredPsd(dir + "/trip.psd");
    ASSERT_EQ(back.count(), 3);
    EXPECT_EQ(back.layer(1).name, "Red");
    EXPECT_EQ(back.layer(1).x, 20);
    EXPECT_FALSE(back.layer(2).visible); // paths never show

    o.keepSize = false;
    o.sizeType = 1;
    o.width = o.height = 50;
    exportProject(v, o);
    const ie::LayerStack half = ie::loadLayeredPsd(dir + "/trip.psd");
    EXPECT_EQ(half.canvasWidth(), 20);
    EXPECT_EQ(half.layer(1).x, 10);
    EXPECT_EQ(static_cast<const ie::ImageLayer&>(half.layer(1)).bitmap.width(), 5);
}

TEST(ProjectExport, ResizesOnlyWhenAsked) {
    std::vector<Variant> v(1);
    v[0] = pt::photoVariant("Original", 1001, 600);
    ExportOptions o = options("", ".png");
    o.keepSize = false;
    o.sizeType = 1;
    o.width = o.height = 50;
    const ie::Bitmap half = exportImage(v[0], o);
    EXPECT_EQ(half.width(), 501);
    EXPECT_EQ(half.height(), 300);
    o.sizeType = 0;
    o.width = 1001;
    o.height = 600;
    EXPECT_TRUE(exportImage(v[0], o).samePixels(
        static_cast<const ie::ImageLayer&>(v[0].layers.layer(0)).bitmap));
}

TEST(ProjectCli, FromImagesInfoRenderAndExport) {
    const std::string dir = vst::test::scratchDir("project-cli");
    ie::io::saveImage(dir + "/main.png", vst::test::photoLike(48, 32));
    ie::io::saveImage(dir + "/Sky.png", vst::test::noise(48, 32, ie::PixelFormat::Rgb24, 3));
    runCli("project from-images " + dir + "/trip.vstl " + dir + "/main.png " + dir + "/Sky.png");
    const std::string info = runCli("project info " + dir + "/trip.vstl");
    EXPECT_NE(info.find("variant 1: Original (main)"), std::string::npos) << info;
    EXPECT_NE(info.find("variant 2: Sky"), std::string::npos) << info;
    EXPECT_NE(info.find("layer 0: image \"Sky\" 48 x 32 at 0,0"), std::string::npos) << info;

    runCli("render " + dir + "/trip.vstl " + dir + "/sky-render.png --variant Sky");
    EXPECT_TRUE(ie::io::loadImage(dir + "/sky-render.png")
                    .bitmap.samePixels(ie::io::loadImage(dir + "/Sky.png").bitmap));

    fs::create_directory(dir + "/out");
    const std::string out = runCli("export " + dir + "/trip.vstl --format jpg --out " + dir
        + "/out --name trip --variants all --scale 50%");
    EXPECT_TRUE(fs::exists(dir + "/out/trip.jpg")) << out;
    EXPECT_EQ(ie::io::loadImage(dir + "/out/trip_Sky.jpg").bitmap.width(), 24);

    runCli("project from-images " + dir + "/layers.vstl --layers " + dir + "/main.png " + dir
        + "/Sky.png");
    const auto layered = loadProject(dir + "/layers.vstl");
    ASSERT_EQ(layered.size(), 1u);
    EXPECT_EQ(layered[0].layers.count(), 2);

    // A layered PSD comes back into a project with its layers.
    runCli("export " + dir + "/layers.vstl --format psd --out " + dir + "/out --name layers");
    runCli("project from-images " + dir + "/again.vstl " + dir + "/out/layers.psd");
    EXPECT_EQ(loadProject(dir + "/again.vstl")[0].layers.count(), 2);
}
