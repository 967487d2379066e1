#include "ProjectTestSupport.h"

#include "imaging/Error.h"
#include "io/ImageIO.h"
#include "project/ProjectFile.h"
#include "project/ProjectFormat.h"
#include "project/ProjectStreamPosition.h"

#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/resource.h>

using namespace vst::project;
namespace fs = std::filesystem;

namespace {

std::vector<Variant> threeVariants() {
    std::vector<Variant> v;
    v.push_back(pt::photoVariant("Original", 120, 80, 1));
    pt::addEveryKind(v.back());
    v.push_back(pt::photoVariant("Sky", 120, 80, 2));
    v.back().SnapToPos = true;
    v.back().LayersSnapDist = 25;
    v.back().LayersResizeAspectRatio = 3;
    v.back().DpiX = v.back().DpiY = 300;
    v.push_back(pt::photoVariant("Night; dark", 120, 80, 3));
    v.back().LayersResizeAspectRatio = 0;
    return v;
}

const ie::Bitmap& pixelsOf(const Variant& v, int layer) {
    return static_cast<const ie::ImageLayer&>(v.layers.layer(layer)).bitmap;
}

} // namespace

TEST(ProjectFile, ThreeVariantsRoundTripByteIdentical) {
    const std::string dir = vst::test::scratchDir("project-roundtrip");
    auto variants = threeVariants();
    saveProject(dir + "/a.vstl", variants);
    ProjectStreamPosition = 12345;
    auto back = loadProject(dir + "/a.vstl");
    EXPECT_EQ(ProjectStreamPosition, 0);
    ASSERT_EQ(back.size(), 3u);
    // A name with ";" is read back up to the ";" (the text has no escaping).
    const char* names[] = { "Original", "Sky", "Night" };
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(back[i].VersionName, names[i]);
        EXPECT_EQ(back[i].LayersResizeAspectRatio, variants[i].LayersResizeAspectRatio);
        EXPECT_EQ(back[i].SnapToPos, variants[i].SnapToPos);
        EXPECT_EQ(back[i].LayersSnapDist, variants[i].LayersSnapDist);
        EXPECT_EQ(back[i].DpiX, variants[i].DpiX);
        EXPECT_EQ(back[i].DpiY, variants[i].DpiX);
        ASSERT_EQ(back[i].layers.count(), variants[i].layers.count());
        EXPECT_TRUE(pixelsOf(back[i], 0).samePixels(pixelsOf(variants[i], 0)));
    }
    EXPECT_TRUE(pixelsOf(back[0], 2).samePixels(pixelsOf(variants[0], 2)));
    EXPECT_TRUE(back[0].layers.layer(2).isMask);
    back[2].VersionName = "Night; dark"; // keep the parameter text the same as the first save
    saveProject(dir + "/b.vstl", back);
    EXPECT_EQ(vst::test::readFile(dir + "/a.vstl"), vst::test::readFile(dir + "/b.vstl"));
}

TEST(ProjectFile, OneVariantIsOneStreamAndSavingOverALargerFileTruncates) {
    const std::string dir = vst::test::scratchDir("project-truncate");
    auto three = threeVariants();
    saveProject(dir + "/p.vstl", three);
    std::vector<Variant> one;
    one.push_back(pt::photoVariant("Original", 40, 30));
    saveProject(dir + "/p.vstl", one);
    saveProject(dir + "/fresh.vstl", one);
    EXPECT_EQ(vst::test::readFile(dir + "/p.vstl"), vst::test::readFile(dir + "/fresh.vstl"));
    EXPECT_EQ(loadProject(dir + "/p.vstl").size(), 1u);
}

// A write that fails part-way (the file size limit makes write() fail with EFBIG) leaves the
// previous project whole and no temporary file behind.
TEST(ProjectFile, FailedSaveKeepsThePreviousFile) {
    const std::string dir = vst::test::scratchDir("project-failed-save");
    const std::string path = dir + "/p.vstl";
    std::vector<Variant> small;
    small.push_back(pt::photoVariant("Original", 40, 30));
    saveProject(path, small);
    const std::string before = vst::test::readFile(path);
    std::vector<Variant> big;
    big.push_back(pt::photoVariant("Original", 400, 300));

    rlimit old {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = old;
    limited.rlim_cur = 20000;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    bool threw = false;
    try {
        saveProject(path, big);
    } catch (const ie::Error& e) {
        threw = true;
        EXPECT_NE(std::string(e.what()).find("Cannot write file"), std::string::npos) << e.what();
    }
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_TRUE(threw);
    EXPECT_EQ(vst::test::readFile(path), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

// Cut at the start of the second and third stream, inside them and one byte short: a clean
// error, never a partial project.
TEST(ProjectFile, TruncatedProjectsFailCleanly) {
    const std::string dir = vst::test::scratchDir("project-cut");
    std::vector<Variant> v;
    for (const char* n : { "A", "B", "C" })
        v.push_back(pt::photoVariant(n, 60, 40));
    saveProject(dir + "/p.vstl", v);
    const std::string full = vst::test::readFile(dir + "/p.vstl");
    const std::size_t stream = full.size() / 3; // equal variants: equal streams
    for (std::size_t cut :
        { std::size_t(0), std::size_t(7), stream + 5, 2 * stream + 100, full.size() - 1 }) {
        vst::test::writeFile(dir + "/cut.vstl", full.substr(0, cut));
        EXPECT_THROW(loadProject(dir + "/cut.vstl"), ie::Error) << "cut at " << cut;
        EXPECT_EQ(ProjectStreamPosition, 0);
    }
    // Ending exactly after a stream is a shorter, valid project.
    vst::test::writeFile(dir + "/two.vstl", full.substr(0, 2 * stream));
    EXPECT_EQ(loadProject(dir + "/two.vstl").size(), 2u);
}

// The general loader and saver know .vstl: load gives the main variant merged, save writes a
// one-variant project.
TEST(ProjectFile, RegisteredAsImageFormat) {
    registerProjectFormat();
    const std::string dir = vst::test::scratchDir("project-format");
    std::vector<Variant> v;
    v.push_back(pt::photoVariant("Original", 50, 40, 1));
    v.back().DpiX = v.back().DpiY = 240;
    v.push_back(pt::photoVariant("Other", 50, 40, 2));
    saveProject(dir + "/p.vstl", v);
    const auto img = ie::io::loadImage(dir + "/p.vstl");
    EXPECT_EQ(img.formatName, "Vistrelune");
    EXPECT_TRUE(img.bitmap.samePixels(pixelsOf(v[0], 0)));
    EXPECT_EQ(img.bitmap.dpiX(), 240);

    ie::Bitmap photo = vst::test::photoLike(33, 22);
    photo.setDpi(150, 150);
    ie::io::saveImage(dir + "/s.vstl", photo);
    const auto saved = loadProject(dir + "/s.vstl");
    ASSERT_EQ(saved.size(), 1u);
    EXPECT_EQ(saved[0].VersionName, "Original");
    EXPECT_EQ(saved[0].DpiX, 150);
    EXPECT_TRUE(pixelsOf(saved[0], 0).samePixels(photo));
}
