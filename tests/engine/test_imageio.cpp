#include "imaging/Error.h"
#include "io/CodecRegistry.h"
#include "io/ImageIO.h"
#include "support/TestImages.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace ie;
using namespace ie::io;

namespace {

// A minimal format: "FAKE" + width + height bytes + raw Gray8 rows. Writing fails on request so
// that the atomic save can be tested without depending on a real codec's failure modes.
class FakeCodec : public Codec {
public:
    std::string name() const override { return "Fake"; }
    std::vector<std::string> extensions() const override { return { ".fake" }; }
    bool matches(std::span<const std::uint8_t> head) const override {
        return head.size() >= 4 && std::string(head.begin(), head.begin() + 4) == "FAKE";
    }
    DecodedImage read(const std::string& path, const ReadOptions&) const override {
        const auto bytes = readWholeFile(path);
        if (bytes.size() < 6) throw Error("too short");
        Bitmap b(bytes[4], bytes[5], PixelFormat::Gray8);
        if (bytes.size() < 6u + b.width() * b.height()) throw Error("truncated");
        for (int y = 0; y < b.height(); ++y)
            std::copy_n(bytes.data() + 6 + y * b.width(), b.width(), b.mutableScanline(y));
        return { b, {} };
    }
    int pageCount(const std::string&) const override { throw Error("no page count"); }
    void write(const std::string& path, const Bitmap& b, const FormatParams& p,
        const Metadata&) const override {
        std::string bytes = "FAKE";
        bytes += char(b.width());
        bytes += char(b.height());
        for (int y = 0; y < b.height(); ++y)
            bytes.append(reinterpret_cast<const char*>(b.scanline(y)), b.width());
        if (p.jpegQuality == 13) // the failure switch
            bytes.resize(3);
        vst::test::writeFile(path, bytes);
        if (p.jpegQuality == 13) throw Error("disk full");
    }
};

void registerFake() {
    static bool done = false;
    if (!done) CodecRegistry::instance().add(std::make_shared<FakeCodec>());
    done = true;
}

Bitmap smallGrey() {
    Bitmap b(4, 3, PixelFormat::Gray8);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            b.mutableScanline(y)[x] = std::uint8_t(y * 4 + x);
    return b;
}

} // namespace

TEST(ImageIO, SavesAndLoadsThroughTheRegistryByExtensionAnyCase) {
    registerFake();
    const std::string dir = vst::test::scratchDir("imageio-rt");
    saveImage(dir + "/a.FAKE", smallGrey());
    const auto img = loadImage(dir + "/a.FAKE");
    EXPECT_TRUE(img.bitmap.samePixels(smallGrey()));
    EXPECT_EQ(img.formatName, "Fake");
    // A failing page-count query counts as one page.
    EXPECT_EQ(img.pageCount, 1);
    EXPECT_EQ(imagePageCount(dir + "/a.FAKE"), 1);
    EXPECT_EQ(imagePageCount(dir + "/missing.fake"), 1);
    // No temporary files are left beside the target.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1);
}

TEST(ImageIO, AFailedSaveKeepsThePreviousFile) {
    registerFake();
    const std::string dir = vst::test::scratchDir("imageio-atomic");
    const std::string path = dir + "/keep.fake";
    saveImage(path, smallGrey());
    const std::string before = vst::test::readFile(path);
    FormatParams failing;
    failing.jpegQuality = 13;
    EXPECT_THROW(saveImage(path, smallGrey(), failing), Error);
    EXPECT_EQ(vst::test::readFile(path), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1);
}

TEST(ImageIO, ErrorsNameTheFile) {
    registerFake();
    const std::string dir = vst::test::scratchDir("imageio-errors");
    vst::test::writeFile(dir + "/t.fake", "FAKE\x05\x05xx");
    vst::test::writeFile(dir + "/u.unknownext", "whatever bytes");
    for (const std::string& path :
        { dir + "/t.fake", dir + "/missing.fake", dir + "/u.unknownext", dir }) {
        try {
            loadImage(path);
            ADD_FAILURE() << "no error for " << path;
        } catch (const Error& e) {
            EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
        }
    }
    EXPECT_THROW(saveImage(dir + "/x.unknownext", smallGrey()), Error);
    EXPECT_THROW(saveImage(dir + "/no/such/folder/x.fake", smallGrey()), Error);
    EXPECT_THROW(saveImage(dir + "/x.fake", Bitmap()), Error);
}

TEST(ImageIO, SignatureWinsOverAWrongExtension) {
    registerFake();
    const std::string dir = vst::test::scratchDir("imageio-sniff");
    saveImage(dir + "/real.fake", smallGrey());
    std::filesystem::rename(dir + "/real.fake", dir + "/misnamed.png");
    EXPECT_EQ(loadImage(dir + "/misnamed.png").formatName, "Fake");
}
