#include "LayerTestSupport.h"

#include "imaging/Error.h"
#include "io/ImageIO.h"
#include "layers/Compositor.h"
#include "layers/LayeredPsd.h"
#include "layers/ShapeLayer.h"
#include "support/TestImages.h"

#include <gtest/gtest.h>
#include <string>
#include <zlib.h>

using namespace ie;

namespace {

LayerStack sampleStack() {
    LayerStack s;
    s.add(std::make_unique<ImageLayer>(vst::test::noise(40, 30, PixelFormat::Rgb24)));
    s.background().name = "Background";
    auto top = std::make_unique<ImageLayer>(
        vst::test::withAlpha(vst::test::noise(12, 9, PixelFormat::Rgb24, 3)));
    top->x = 5;
    top->y = -3;
    top->name = QString::fromUtf8("Wolken \xC3\xBC"
                                  "ber dem See");
    top->opacity = 0.5;
    top->visible = false;
    top->blendOperation = BlendOperation::Mul;
    s.add(std::move(top));
    auto shape = std::make_unique<ShapeLayer>();
    shape->x = 3;
    shape->y = 4;
    shape->width = 10;
    shape->height = 8;
    shape->name = "Frame";
    s.add(std::move(shape));
    // An image layer with a mask above it: the two become one layer in the file.
    s.add(lt::solid(20, 20, { 200, 10, 10 }, 255, 10, 5));
    s.layer(3).name = "Masked";
    auto mask = lt::solid(20, 20, { 0, 0, 0 }, 255, 10, 5);
    mask->bitmap.fillRect({ 0, 0, 10, 20 }, { 255, 255, 255, 255 });
    mask->isMask = true;
    s.add(std::move(mask));
    return s;
}

} // namespace

TEST(LayeredPsd, LayersComeBackWithTheirPropertiesAndTheMergedImageIsThePicture) {
    lt::ensureGuiApp();
    const std::string path = vst::test::scratchDir("layered_psd") + "/layers.psd";
    const LayerStack original = sampleStack();
    saveLayeredPsd(path, original);

    const LayerStack back = loadLayeredPsd(path);
    ASSERT_EQ(back.count(), 4);
    EXPECT_EQ(back.layer(0).name, "Background");
    const auto& bg = static_cast<const ImageLayer&>(back.layer(0));
    EXPECT_EQ(
        vst::test::maxRgbaDiff(bg.bitmap, static_cast<const ImageLayer&>(original.layer(0)).bitmap),
        0);

    const auto& top = static_cast<const ImageLayer&>(back.layer(1));
    EXPECT_EQ(top.name, original.layer(1).name);
    EXPECT_EQ(top.x, 5);
    EXPECT_EQ(top.y, -3);
    EXPECT_NEAR(top.opacity, 0.5, 1.0 / 255);
    EXPECT_FALSE(top.visible);
    EXPECT_EQ(top.blendOperation, BlendOperation::Mul);
    EXPECT_EQ(vst::test::maxRgbaDiff(
                  top.bitmap, static_cast<const ImageLayer&>(original.layer(1)).bitmap),
        0);

    EXPECT_EQ(back.layer(2).name, "Frame");
    const auto& masked = static_cast<const ImageLayer&>(back.layer(3));
    EXPECT_EQ(masked.name, "Masked");
    EXPECT_FALSE(masked.isMask);
    // The mask's black half hides the right half of the red square.
    const int mx = 10 - int(masked.x), my = 10 - int(masked.y);
    EXPECT_EQ(lt::alphaAt(masked.bitmap, mx + 2, my), 255);
    EXPECT_EQ(lt::alphaAt(masked.bitmap, mx + 15, my), 0);

    // Readers without layer support see the composite.
    const Bitmap flat = io::loadImage(path).bitmap;
    EXPECT_LE(vst::test::maxRgbaDiff(flat, compositeAll(original), true), 1);
    EXPECT_LE(vst::test::maxRgbaDiff(compositeAll(back), compositeAll(original), true), 2);
}

TEST(LayeredPsd, FlatFilesHaveNoLayersAndDamagedOnesFailCleanly) {
    const std::string dir = vst::test::scratchDir("layered_psd_bad");
    io::saveImage(dir + "/flat.psd", vst::test::noise(8, 8, PixelFormat::Rgb24));
    EXPECT_TRUE(loadLayeredPsd(dir + "/flat.psd").isEmpty());

    LayerStack s;
    s.add(std::make_unique<ImageLayer>(vst::test::noise(16, 16, PixelFormat::Rgb24)));
    s.add(lt::solid(5, 5, { 1, 2, 3 }, 100, 2, 2));
    saveLayeredPsd(dir + "/good.psd", s);
    const std::string bytes = vst::test::readFile(dir + "/good.psd");
    for (std::size_t cut = 30; cut < bytes.size(); cut += 7) {
        vst::test::writeFile(dir + "/cut.psd", bytes.substr(0, cut));
        try {
            loadLayeredPsd(dir + "/cut.psd");
        } catch (const Error&) { }
    }
}

namespace {

// A file as another program writes it: a group marker, ZIP-predicted and raw channels and a
// user mask smaller than the layer, built byte by byte.
struct Be {
    std::string s;
    void u8(int v) { s += char(v); }
    void u16(int v) { u8(v >> 8), u8(v); }
    void u32(std::uint32_t v) { u16(int(v >> 16)), u16(int(v & 0xFFFF)); }
    void str(const std::string& t) { s += t; }
};

std::string zipPredicted(const std::string& rows, int rowBytes) {
    std::string delta = rows;
    for (std::size_t y = 0; y < rows.size(); y += std::size_t(rowBytes))
        for (int x = rowBytes - 1; x > 0; --x)
            delta[y + x] = char(std::uint8_t(rows[y + x]) - std::uint8_t(rows[y + x - 1]));
    uLongf n = compressBound(uLong(delta.size()));
    std::string out(n, '\0');
    compress(reinterpret_cast<Bytef*>(out.data()), &n, reinterpret_cast<const Bytef*>(delta.data()),
        uLong(delta.size()));
    out.resize(n);
    return out;
}

void record(Be& b, int top, int left, int bottom, int right,
    const std::vector<std::pair<int, std::size_t>>& channels, const std::string& extraInfo,
    const std::string& mask) {
    b.u32(std::uint32_t(top)), b.u32(std::uint32_t(left)), b.u32(std::uint32_t(bottom)),
        b.u32(std::uint32_t(right));
    b.u16(int(channels.size()));
    for (auto [id, len] : channels)
        b.u16(id & 0xFFFF), b.u32(std::uint32_t(len));
    b.str("8BIMnorm");
    b.u8(255), b.u8(0), b.u8(8), b.u8(0);
    Be extra;
    extra.u32(std::uint32_t(mask.size()));
    extra.str(mask);
    extra.u32(0);
    extra.str(std::string("\3abc", 4));
    extra.str(extraInfo);
    b.u32(std::uint32_t(extra.s.size()));
    b.str(extra.s);
}

} // namespace

TEST(LayeredPsd, ReadsZipChannelsUserMasksAndSkipsGroupMarkers) {
    Be groupEnd;
    groupEnd.str("8BIMlsct");
    groupEnd.u32(4);
    groupEnd.u32(3);
    Be mask;
    mask.u32(0), mask.u32(1), mask.u32(1), mask.u32(3); // 2 x 1 at (1, 0)
    mask.u8(0), mask.u8(0), mask.u16(0);

    const std::string red = zipPredicted(std::string("\x10\x20\x30\x40", 4), 2);
    std::string chans;
    Be c;
    c.u16(0), c.str(std::string(4, '\xFF')); // alpha, raw
    const std::size_t alphaLen = c.s.size();
    c.u16(3), c.str(red);
    const std::size_t redLen = 2 + red.size();
    c.u16(0), c.str("\x01\x02\x03\x04");
    c.u16(0), c.str("\x05\x06\x07\x08");
    c.u16(0), c.str(std::string("\xFF\x80", 2)); // the mask row
    Be layers;
    layers.u16(2);
    record(layers, 0, 0, 0, 0, { { -1, 2 }, { 0, 2 }, { 1, 2 }, { 2, 2 } }, groupEnd.s, "");
    record(layers, 0, 1, 2, 3, { { -1, alphaLen }, { 0, redLen }, { 1, 6 }, { 2, 6 }, { -2, 4 } },
        "", mask.s);
    for (int i = 0; i < 4; ++i)
        layers.u16(0); // the marker's empty channels
    layers.str(c.s);
    if (layers.s.size() % 2) layers.u8(0);

    Be f;
    f.str("8BPS"), f.u16(1), f.str(std::string(6, '\0'));
    f.u16(3), f.u32(2), f.u32(4), f.u16(8), f.u16(3);
    f.u32(0), f.u32(0);
    f.u32(std::uint32_t(4 + layers.s.size() + 4));
    f.u32(std::uint32_t(layers.s.size()));
    f.str(layers.s);
    f.u32(0);
    f.u16(0), f.str(std::string(24, '\x7F')); // the merged image, raw

    const std::string path = vst::test::scratchDir("layered_psd_fixture") + "/other.psd";
    vst::test::writeFile(path, f.s);
    const LayerStack s = loadLayeredPsd(path);
    ASSERT_EQ(s.count(), 2); // a transparent background, then the one real layer
    const auto& l = static_cast<const ImageLayer&>(s.layer(1));
    EXPECT_EQ(l.name, "abc");
    EXPECT_EQ(l.x, 1);
    EXPECT_EQ(lt::rgbAt(l.bitmap, 1, 1), (Rgb { 0x40, 0x04, 0x08 }));
    EXPECT_EQ(lt::alphaAt(l.bitmap, 0, 0), 255);
    EXPECT_EQ(lt::alphaAt(l.bitmap, 1, 0), 128);
    EXPECT_EQ(lt::alphaAt(l.bitmap, 0, 1), 0); // outside the mask: its default, black
}
