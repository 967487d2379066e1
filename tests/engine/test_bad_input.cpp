// Truncated, corrupt and lying files of every main format give an ie::Error, never a crash.
#include "imaging/Error.h"
#include "io/ImageIO.h"
#include "support/TestImages.h"

#include <gtest/gtest.h>
#include <random>

using namespace ie;

namespace {

struct FormatCase {
    const char* ext;
    bool strict; ///< every truncation must be an error (lenient formats may recover a partial page)
};

const FormatCase kFormats[] = {
    { ".jpg", true },
    { ".png", true },
    { ".tif", true },
    { ".gif", true },
    { ".webp", true },
    { ".bmp", true },
    { ".tga", true },
    { ".pcx", true },
    { ".ppm", true },
    { ".pgm", true },
    { ".ico", true },
    { ".psd", true },
    { ".jp2", true },
    { ".j2k", true },
    { ".pdf", false },
};

std::string sampleFile(const std::string& dir, const char* ext) {
    const std::string path = dir + "/sample" + ext;
    io::saveImage(path, vst::test::photoLike(48, 32));
    return vst::test::readFile(path);
}

// Loads and reports whether it failed cleanly; a crash fails the whole binary.
bool loadFails(const std::string& path) {
    try {
        io::loadImage(path);
        return false;
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
        return true;
    }
}

} // namespace

class BadInput : public ::testing::TestWithParam<FormatCase> { };

TEST_P(BadInput, TruncatedFilesFailCleanly) {
    const auto fc = GetParam();
    const std::string dir = vst::test::scratchDir(std::string("bad-trunc") + fc.ext);
    const std::string good = sampleFile(dir, fc.ext);
    ASSERT_GT(good.size(), 64u);
    for (const double frac : { 0.0, 0.02, 0.1, 0.35, 0.6, 0.85 }) {
        const std::string path = dir + "/cut" + std::to_string(int(frac * 100)) + fc.ext;
        const auto n = std::max<std::size_t>(std::size_t(good.size() * frac), frac > 0 ? 4 : 0);
        vst::test::writeFile(path, good.substr(0, n));
        const bool failed = loadFails(path);
        if (fc.strict) {
            EXPECT_TRUE(failed) << fc.ext << " cut at " << n << " of " << good.size();
        }
    }
}

TEST_P(BadInput, CorruptBodiesFailCleanlyOrDecode) {
    // Bytes flipped after the header: decoders may detect it or decode noise, but never crash.
    const auto fc = GetParam();
    const std::string dir = vst::test::scratchDir(std::string("bad-corrupt") + fc.ext);
    const std::string good = sampleFile(dir, fc.ext);
    std::mt19937 rng(7);
    for (int round = 0; round < 6; ++round) {
        std::string bad = good;
        for (int i = 0; i < 24; ++i)
            bad[16 + rng() % (bad.size() - 16)] = char(rng());
        const std::string path = dir + "/corrupt" + std::to_string(round) + fc.ext;
        vst::test::writeFile(path, bad);
        loadFails(path);
    }
    // A valid signature followed by garbage.
    std::string garbage = good.substr(0, 12);
    for (int i = 0; i < 4000; ++i)
        garbage += char(rng());
    vst::test::writeFile(dir + "/garbage" + fc.ext, garbage);
    loadFails(dir + "/garbage" + fc.ext);
}

INSTANTIATE_TEST_SUITE_P(EveryMainFormat, BadInput, ::testing::ValuesIn(kFormats),
    [](const auto& info) { return std::string(info.param.ext + 1); });
