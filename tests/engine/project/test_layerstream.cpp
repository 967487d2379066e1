#include "imaging/Error.h"
#include "layers/AngleLayer.h"
#include "layers/ImageLayer.h"
#include "layers/LineLayer.h"
#include "layers/PolylineLayer.h"
#include "layers/ShapeLayer.h"
#include "layers/TextLayer.h"
#include "project/CodecPixels.h"
#include "project/LayerStream.h"
#include "project/Thumbnail.h"
#include "support/TestImages.h"

#include <QGuiApplication>
#include <cstring>
#include <gtest/gtest.h>
#include <random>

using namespace ie;

namespace {

// ---- An independent writer of the stream layout, field by field from the format tables ----

struct Bytes {
    std::vector<std::uint8_t> v;
    Bytes& raw(const void* p, std::size_t n) {
        auto* b = static_cast<const std::uint8_t*>(p);
        v.insert(v.end(), b, b + n);
        return *this;
    }
    Bytes& u8(int x) { return raw(&x, 1); }
    Bytes& i32(std::int32_t x) { return raw(&x, 4); }
    Bytes& f64(double x) { return raw(&x, 8); }
    Bytes& ascii(const char* s) { return raw(s, std::strlen(s)); }
    Bytes& wide(const char16_t* s) {
        const auto n = std::char_traits<char16_t>::length(s);
        i32(std::int32_t(n));
        return raw(s, n * 2);
    }
    Bytes& append(const Bytes& b) { return raw(b.v.data(), b.v.size()); }
};

struct Common {
    int kind;
    const char16_t* name;
    int width, height, x, y;
    bool isMask = false;
    int group = 0;
};

Bytes commonPart(const Common& c) {
    Bytes b;
    for (int i = 0; i < 16; ++i)
        b.u8(c.kind * 16 + i); // identifier
    b.i32(c.width).i32(c.height);
    b.u8(1).u8(1).u8(1); // visible, box visible, selectable
    b.i32(200).f64(0.75).f64(0.5); // transparency, opacity, fill opacity
    b.i32(c.x).i32(c.y);
    b.i32(1).i32(2).i32(3).i32(4); // client area
    b.u8(0).u8(1).u8(11); // cropped, locked, blend operation (screen)
    b.i32(3).u8(7).u8(8).u8(9); // user data
    b.wide(c.name).wide(u"hint").wide(u"https://example.org");
    b.u8(c.isMask).u8(0).u8(0); // is mask, mask inverted, draw outer
    b.f64(12.5).f64(0.5).f64(0.25); // rotation and its centre
    b.u8(1).i32(4).u8(0).i32(c.group); // flip, feathering, selected, group index
    b.u8(1).u8(1).f64(1.5).i32(42); // aspect locked, antialias, original aspect, tag
    b.i32(0x0000FF).i32(3).i32(0x00FF00).i32(0xFF0000).u8(2); // border, width, fills, gradient
    b.u8(1).f64(4).f64(5).f64(6).i32(80).u8(10).u8(20).u8(30); // soft shadow (b, g, r)
    b.u8(0).f64(3).f64(2).f64(2).i32(100).u8(0).u8(0).u8(0); // inner glow
    b.i32(2).i32(0x123456).u8(1).i32(255).i32(128).i32(0x654321).u8(1); // text styling
    b.u8(0).u8(0).u8(0).f64(45000.5); // ruler mode, units, scale locking, modified date
    return b;
}

Bytes record(const Common& c, const Bytes& kindPart, int version = 12200, int trailing = 0) {
    Bytes body = commonPart(c);
    body.append(kindPart);
    for (int i = 0; i < trailing; ++i)
        body.u8(0xEE);
    Bytes r;
    r.i32(std::int32_t(12 + body.v.size())).i32(version).i32(c.kind).append(body);
    return r;
}

Bytes font(const char16_t* name) {
    Bytes b;
    b.wide(name).u8(0).i32(0x00AA00).i32(-20).u8(1 | 2);
    return b;
}

// A 3 x 2 RGB bitmap with alpha, rows padded to 32 bits: 9 bytes + 3, alpha 3 + 1.
Bytes rawBitmap() {
    Bytes b;
    b.ascii("TIEBITMAPRAW").i32(0).i32(0);
    b.i32(3).i32(2).u8(int(PixelFormat::Rgb24)).u8(0).i32(0).f64(0).f64(0);
    b.i32(0).i32(0).i32(0).i32(0).u8(0).i32(0).i32(32);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x)
            b.u8(10 * x).u8(20 * y).u8(200);
        b.u8(0).u8(0).u8(0);
    }
    b.u8(1);
    for (int y = 0; y < 2; ++y)
        b.u8(255).u8(128).u8(0).u8(0);
    b.u8(0);
    return b;
}

Bytes imagePart(bool pixels) {
    Bytes b;
    b.u8(1);
    for (int i = 0; i < 7; ++i)
        b.u8(0);
    b.f64(3).u8(1).u8(0);
    for (int i = 0; i < 6; ++i)
        b.u8(0); // magnification
    b.u8(5).u8(1).u8(pixels).i32(-2); // resample filter, use it, has pixels, stored
    if (pixels) {
        const Bytes raw = rawBitmap();
        b.i32(std::int32_t(raw.v.size())).append(raw);
    }
    return b;
}

Bytes shapePart() {
    Bytes b;
    b.u8(30).i32(40);
    return b;
}

Bytes linePart() {
    Bytes b;
    b.i32(0x112233).i32(4).u8(1).i32(0x445566).append(font(u"Serif")).wide(u"label");
    b.u8(1).u8(2).u8(3).u8(0).i32(15).u8(1).u8(7).f64(0.5).f64(6).f64(3).u8(1);
    b.f64(0.1).f64(0.2).f64(0.9).f64(0.8).i32(1).i32(2).i32(3).i32(4);
    return b;
}

Bytes polylinePart() {
    Bytes b;
    b.i32(3).f64(0).f64(0).f64(1).f64(0.5).f64(0.25).f64(1);
    b.u8(1).u8(1).u8(0).u8(5); // closed, is path, auto size, line style
    return b;
}

Bytes textPart() {
    Bytes b;
    b.wide(u"Hello").wide(u"<b>Hello</b>").u8(1).u8(2).append(font(u"Sans"));
    b.u8(1).u8(0).u8(1).u8(2).u8(1).f64(3).f64(4).u8(0).f64(5).f64(6).f64(7);
    return b;
}

Bytes anglePart() {
    Bytes b;
    b.append(font(u"Mono")).wide(u"%s deg").i32(2).u8(1);
    b.i32(10).i32(0).i32(0).i32(10).i32(10).i32(10);
    b.f64(1).f64(2).f64(30).f64(40).f64(5).i32(1).i32(1).i32(1).i32(1).f64(90);
    return b;
}

struct Fixture {
    int imageTrailing = 0;
    int shapeVersion = 12200;
    int streamVersion = 12200; // below 7000 the stream has no description
};

// A stream with every kind: a 3 x 2 background with pixels, a shape, a line, a path, a text,
// an angle and an image mask (no pixels).
std::vector<std::uint8_t> fixtureStream(const Fixture& f = {}) {
    Bytes s;
    s.ascii("IMAGEENLAYERS").i32(f.streamVersion).i32(-1).i32(7).i32(300).i32(200);
    if (f.streamVersion >= 7000)
        s.wide(u"VersionName=Fixture;LockAspectRatio=1;SnapToGrid=-1;GridCellSize=8;DPI=300;");
    s.u8(1).u8(0); // has background, no thumbnail (the canvas is under 5 pixels)
    s.append(record({ 0, u"Background", 3, 2, 0, 0 }, imagePart(true), 12200, f.imageTrailing));
    s.append(record({ 1, u"Shape", 300, 200, 5, -6 }, shapePart(), f.shapeVersion));
    s.append(record({ 2, u"Line", 50, 60, 7, 8 }, linePart()));
    s.append(record({ 3, u"Path", 30, 20, 1, 1 }, polylinePart()));
    s.append(record({ 4, u"Text", 80, 30, 2, 3 }, textPart()));
    s.append(record({ 5, u"Angle", 40, 40, 0, 0 }, anglePart()));
    s.append(record({ 0, u"Mask", 3, 2, 0, 0, true, 1 }, imagePart(false)));
    return s.v;
}

LayerStack readStream(const std::vector<std::uint8_t>& bytes, LayerStreamHeader* header = nullptr,
    std::int64_t* end = nullptr) {
    MemorySource src(bytes);
    MemoryBudget budget(std::int64_t(64) << 20);
    StreamReader in(src, budget);
    PendingPixels pending;
    LayerStack stack;
    auto h = readLayerStream(in, stack, pending, LayerReadMode::Replace);
    pending.decode(src, budget);
    if (header) *header = h;
    if (end) *end = in.position();
    return stack;
}

std::vector<std::uint8_t> writeStream(const LayerStack& stack, const QString& description) {
    MemorySink sink;
    StreamWriter out(sink);
    LayerStreamOptions options;
    options.description = description;
    writeLayerStream(out, stack, options);
    return sink.take();
}

template <class T> const T& as(const LayerStack& s, int i) {
    return dynamic_cast<const T&>(s.layer(i));
}

// Text layers need the font database, which needs a QGuiApplication.
void ensureGuiApp() {
    static int argc = 1;
    static char name[] = "test_engine";
    static char* argv[] = { name, nullptr };
    if (!QGuiApplication::instance()) static QGuiApplication app(argc, argv);
}

// A stack with every kind and non-default values, for round trips.
LayerStack everyKind() {
    ensureGuiApp();
    LayerStack s;
    auto bg = std::make_unique<ImageLayer>(vst::test::photoLike(64, 48));
    bg->name = "Background";
    s.add(std::move(bg));
    auto oneWide = std::make_unique<ImageLayer>(vst::test::noise(1, 40, PixelFormat::Rgb24, 5));
    oneWide->x = 3;
    s.add(std::move(oneWide));
    Bitmap maskBits = vst::test::noise(20, 10, PixelFormat::Gray8, 2);
    auto mask = std::make_unique<ImageLayer>(maskBits);
    mask->isMask = true;
    mask->groupIndex = 2;
    s.layer(1).groupIndex = 2;
    s.add(std::move(mask));
    auto shape = std::make_unique<ShapeLayer>();
    shape->shape = ShapeKind::Star5;
    shape->softShadow.enabled = true;
    shape->softShadow.color = { 1, 2, 3 };
    s.add(std::move(shape));
    auto line = std::make_unique<LineLayer>();
    line->labelText = "ruler";
    line->endShape = LineEnd::Arrow;
    s.add(std::move(line));
    auto path = std::make_unique<PolylineLayer>();
    path->points = { { 0, 0 }, { 0.5, 1 }, { 1, 0.25 } };
    path->isPath = true;
    s.add(std::move(path));
    auto text = std::make_unique<TextLayer>();
    text->text = QString::fromUtf8("Grüße ✓");
    text->font.style = kFontBold;
    s.add(std::move(text));
    auto angle = std::make_unique<AngleLayer>();
    angle->labelText = "%s°";
    s.add(std::move(angle));
    // Stored without its pixel; hidden, so the thumbnail does not show the pixel it loses.
    auto tiny = std::make_unique<ImageLayer>(vst::test::noise(1, 1, PixelFormat::Rgb24, 3));
    tiny->visible = false;
    s.add(std::move(tiny));
    return s;
}

} // namespace

TEST(LayerStream, IndependentFixtureLoadsFieldByField) {
    LayerStreamHeader header;
    const LayerStack s = readStream(fixtureStream(), &header);
    EXPECT_EQ(header.description.left(20), "VersionName=Fixture;");
    EXPECT_TRUE(header.thumbnailJpeg.empty());
    ASSERT_EQ(s.count(), 7);
    const auto& bg = as<ImageLayer>(s, 0);
    EXPECT_EQ(bg.name, "Background");
    EXPECT_EQ(bg.hint, "hint");
    EXPECT_EQ(bg.userData, (std::vector<std::uint8_t> { 7, 8, 9 }));
    EXPECT_EQ(bg.blendOperation, BlendOperation::Screen);
    EXPECT_EQ(bg.softShadow.color, (Rgb { 30, 20, 10 }));
    EXPECT_DOUBLE_EQ(bg.modifiedDate, 45000.5);
    EXPECT_EQ(bg.resampleFilter, ResampleFilter::Lanczos3);
    EXPECT_TRUE(bg.magnification.enabled);
    ASSERT_EQ(bg.bitmap.width(), 3);
    EXPECT_EQ(bg.bitmap.pixel(2, 1), (Rgba { 20, 20, 200, 0 }));
    EXPECT_EQ(bg.bitmap.pixel(1, 0).a, 128);
    EXPECT_EQ(as<ShapeLayer>(s, 1).shape, ShapeKind(30));
    EXPECT_EQ(as<ShapeLayer>(s, 1).y, -6);
    const auto& line = as<LineLayer>(s, 2);
    EXPECT_EQ(line.labelFont.name, "Serif");
    EXPECT_EQ(line.labelFont.height, -20);
    EXPECT_EQ(line.endShape, LineEnd::Dot);
    EXPECT_DOUBLE_EQ(line.endY, 0.8);
    EXPECT_EQ(line.offsetRect, (EdgeRect { 1, 2, 3, 4 }));
    const auto& path = as<PolylineLayer>(s, 3);
    ASSERT_EQ(path.points.size(), 3u);
    EXPECT_EQ(path.points[2], (PointF { 0.25, 1 }));
    EXPECT_TRUE(path.isPath);
    EXPECT_EQ(path.lineStyle, LineStyle::WideDash);
    const auto& text = as<TextLayer>(s, 4);
    EXPECT_EQ(text.richText, "<b>Hello</b>");
    EXPECT_EQ(text.layout, TextLayout::Bottom);
    EXPECT_DOUBLE_EQ(text.textOffsetY, 7);
    const auto& angle = as<AngleLayer>(s, 5);
    EXPECT_EQ(angle.points[2], (PointI { 10, 10 }));
    EXPECT_DOUBLE_EQ(angle.sweepAngle, 90);
    EXPECT_TRUE(s.layer(6).isMask);
    EXPECT_EQ(s.layer(6).groupIndex, 1);
}

// Our writer reproduces the independent writer's bytes exactly from what our reader read.
TEST(LayerStream, FixtureWrittenAgainIsByteIdentical) {
    const auto fixture = fixtureStream();
    LayerStreamHeader header;
    const LayerStack s = readStream(fixture, &header);
    EXPECT_EQ(writeStream(s, header.description), fixture);
}

TEST(LayerStream, OldStreamsHaveNoDescription) {
    Fixture f;
    f.streamVersion = 6999;
    LayerStreamHeader header;
    const LayerStack s = readStream(fixtureStream(f), &header);
    EXPECT_TRUE(header.description.isEmpty());
    ASSERT_EQ(s.count(), 7);
    EXPECT_EQ(s.layer(6).name, "Mask");
}

TEST(LayerStream, ImageRecordTrailingBytesAreSkipped) {
    Fixture f;
    f.imageTrailing = 11;
    const LayerStack s = readStream(fixtureStream(f));
    ASSERT_EQ(s.count(), 7);
    EXPECT_EQ(s.layer(1).name, "Shape");
    EXPECT_EQ(as<ImageLayer>(s, 0).bitmap.pixel(0, 1), (Rgba { 0, 20, 200, 255 }));
}

TEST(LayerStream, NewerLayerVersionsAreRefused) {
    for (int version : { 12201, 50000, 50001, 0x7FFFFFFF }) {
        Fixture f;
        f.shapeVersion = version;
        try {
            readStream(fixtureStream(f));
            ADD_FAILURE() << "version " << version << " was accepted";
        } catch (const Error& e) {
            EXPECT_STREQ(
                e.what(), "Unsupported IEN file version. Update software to newer version");
        }
    }
}

TEST(LayerStream, EveryKindRoundTripsByteIdentical) {
    const LayerStack s = everyKind();
    const auto first = writeStream(s, "VersionName=A;");
    LayerStreamHeader header;
    const LayerStack back = readStream(first, &header);
    EXPECT_EQ(writeStream(back, header.description), first);
    ASSERT_EQ(back.count(), s.count());
    for (int i = 0; i < s.count(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(back.layer(i).kind(), s.layer(i).kind());
        EXPECT_TRUE(static_cast<const LayerProperties&>(back.layer(i))
            == static_cast<const LayerProperties&>(s.layer(i)));
    }
    // 1 x N layers keep their pixels; only the 1 x 1 layer is stored without them.
    EXPECT_TRUE(as<ImageLayer>(back, 1).bitmap.samePixels(as<ImageLayer>(s, 1).bitmap));
    EXPECT_TRUE(as<ImageLayer>(back, 2).bitmap.samePixels(as<ImageLayer>(s, 2).bitmap));
    EXPECT_TRUE(as<ImageLayer>(back, 0).bitmap.samePixels(as<ImageLayer>(s, 0).bitmap));
    EXPECT_EQ(as<ImageLayer>(back, 8).bitmap.width(), 1);
    EXPECT_TRUE(static_cast<const ShapeProperties&>(as<ShapeLayer>(back, 3))
        == static_cast<const ShapeProperties&>(as<ShapeLayer>(s, 3)));
    EXPECT_TRUE(static_cast<const LineProperties&>(as<LineLayer>(back, 4))
        == static_cast<const LineProperties&>(as<LineLayer>(s, 4)));
    EXPECT_TRUE(static_cast<const PolylineProperties&>(as<PolylineLayer>(back, 5))
        == static_cast<const PolylineProperties&>(as<PolylineLayer>(s, 5)));
    EXPECT_TRUE(static_cast<const TextProperties&>(as<TextLayer>(back, 6))
        == static_cast<const TextProperties&>(as<TextLayer>(s, 6)));
    EXPECT_TRUE(static_cast<const AngleProperties&>(as<AngleLayer>(back, 7))
        == static_cast<const AngleProperties&>(as<AngleLayer>(s, 7)));
    // A 64 x 48 canvas carries a thumbnail.
    EXPECT_FALSE(header.thumbnailJpeg.empty());
}

TEST(LayerStream, PixelCompressionRequests) {
    const struct {
        int requested;
        bool transparent;
        int stored;
    } cases[] = {
        { -1, false, -1 }, { -2, true, -2 }, { 1, false, -1 }, { 10001, true, -1 },
        { 9998, false, 3 }, { 10008, false, 3 }, { 10008, true, 8 }, { 9998, true, -2 },
        { 3, true, 3 }, { 8, false, 8 }, { 0, false, -1 }, { 10002, true, -1 }, // no codec: zlib
    };
    for (const auto& c : cases)
        EXPECT_EQ(storedPixelCompression(c.requested, c.transparent), c.stored)
            << c.requested << (c.transparent ? " transparent" : " opaque");
}

// Layers kept as PNG come back exactly, as JPEG closely; both end at their record's end.
TEST(LayerStream, CodecEncodedLayersRoundTrip) {
    LayerStack s;
    s.add(std::make_unique<ImageLayer>(vst::test::photoLike(64, 48)));
    auto png = std::make_unique<ImageLayer>(vst::test::noise(20, 10, PixelFormat::Rgb24, 6));
    png->pixelCompression = kFormatPng;
    s.add(std::move(png));
    auto jpeg = std::make_unique<ImageLayer>(vst::test::photoLike(40, 30));
    jpeg->pixelCompression = kFormatJpeg;
    s.add(std::move(jpeg));
    const LayerStack back = readStream(writeStream(s, ""));
    ASSERT_EQ(back.count(), 3);
    EXPECT_TRUE(as<ImageLayer>(back, 1).bitmap.samePixels(as<ImageLayer>(s, 1).bitmap));
    EXPECT_GT(vst::test::psnr(as<ImageLayer>(back, 2).bitmap, as<ImageLayer>(s, 2).bitmap), 30);
    EXPECT_EQ(as<ImageLayer>(back, 2).pixelCompression, kFormatJpeg);
}

TEST(LayerStream, ThumbnailSizeAndMinimum) {
    const struct {
        int w, h, tw, th;
    } cases[] = {
        { 1000, 2000, 250, 500 }, // portrait: the width is limited
        { 2000, 1000, 500, 250 }, // landscape: the height is limited
        { 200, 300, 167, 250 }, // portrait, narrow enough: the height is limited
        { 240, 100, 240, 100 }, // small: unchanged
    };
    for (const auto& c : cases)
        EXPECT_EQ(thumbnailSize(c.w, c.h), std::make_pair(c.tw, c.th)) << c.w << "x" << c.h;
    LayerStack narrow;
    narrow.add(std::make_unique<ImageLayer>(vst::test::photoLike(3, 400)));
    const auto bytes = writeStream(narrow, "");
    // magic 13, five int32, empty description 4, has background, then has thumbnail = 0.
    EXPECT_EQ(bytes[13 + 20 + 4 + 1], 0);
}

// Cut at every record boundary and at random points, and bytes flipped at random: always a
// clean ie::Error (or, for flips in harmless places, a load), never a crash, a hang or a huge
// allocation (the budget is 64 MB).
TEST(LayerStream, TruncatedAndCorruptStreamsFailCleanly) {
    const auto full = writeStream(everyKind(), "VersionName=A;");
    auto i32At = [&](std::size_t p) {
        std::int32_t v;
        std::memcpy(&v, full.data() + p, 4);
        return v;
    };
    // Record boundaries (and the bytes either side), walking the header and record lengths.
    std::vector<std::size_t> cuts;
    std::size_t p = 13 + 20 + 4 + 2 * std::size_t(i32At(33)) + 1;
    if (full[p++]) p += std::size_t(i32At(p));
    for (int i = 0; i < i32At(21); ++i) {
        cuts.insert(cuts.end(), { p - 1, p, p + 1, p + 4 });
        p += std::size_t(i32At(p));
    }
    ASSERT_EQ(p, full.size());
    std::mt19937 rng(11);
    for (int i = 0; i < 150; ++i)
        cuts.push_back(rng() % full.size());
    for (std::size_t n = 0; n < 64; ++n)
        cuts.push_back(n);
    for (std::size_t cut : cuts) {
        const std::vector<std::uint8_t> part(full.begin(), full.begin() + std::ptrdiff_t(cut));
        EXPECT_THROW(readStream(part), Error) << "cut at " << cut;
    }
    for (int i = 0; i < 300; ++i) {
        auto bad = full;
        bad[rng() % bad.size()] ^= std::uint8_t(1 + rng() % 255);
        try {
            readStream(bad);
        } catch (const Error&) { }
    }
}
