#include "imaging/Error.h"
#include "project/RawBitmap.h"
#include "support/TestImages.h"

#include <cstring>
#include <gtest/gtest.h>
#include <zlib.h>

using namespace ie;

namespace {

struct Written {
    std::vector<std::uint8_t> bytes; // int32 count + block
    RawBitmapBlock block() const {
        std::int32_t m;
        std::memcpy(&m, bytes.data(), 4);
        return { 4, m, compressed };
    }
    bool compressed;
};

Written write(const Bitmap& bmp, std::int32_t compression) {
    MemorySink sink;
    StreamWriter out(sink);
    writeRawBitmap(out, bmp, compression);
    return { sink.take(), compression == kRawZlib };
}

Bitmap read(const Written& w, MemoryBudget& budget) {
    MemorySource src(w.bytes);
    return decodeRawBitmap(src, w.block(), budget);
}

Bitmap read(const Written& w) {
    MemoryBudget budget;
    return read(w, budget);
}

struct FormatCase {
    PixelFormat format;
    int width, height;
    bool alphaPlane;
};

} // namespace

// Every pixel format, odd widths (1-bit rows ending mid-byte, rows needing padding), 1 x N and
// N x 1, and a height that spreads over several compression chunks.
TEST(RawBitmap, RoundTripsEveryFormatStoredAndCompressed) {
    const FormatCase cases[] = {
        { PixelFormat::Bw1, 13, 9, false },
        { PixelFormat::Palette8, 7, 5, true },
        { PixelFormat::Gray8, 1, 37, true },
        { PixelFormat::Gray16, 5, 3, false },
        { PixelFormat::Rgb24, 37, 1, true },
        { PixelFormat::Rgb24, 701, 1600, true },
        { PixelFormat::Rgba32, 9, 4, false },
        { PixelFormat::Rgb48, 3, 6, true },
        { PixelFormat::Cmyk32, 6, 2, false },
    };
    for (const auto& c : cases) {
        Bitmap bmp = vst::test::noise(c.width, c.height, c.format, 7);
        if (c.alphaPlane) {
            const Bitmap a = vst::test::noise(c.width, c.height, PixelFormat::Gray8, 9);
            bmp.addAlphaPlane();
            for (int y = 0; y < c.height; ++y)
                std::memcpy(bmp.mutableAlphaLine(y), a.scanline(y), std::size_t(c.width));
        }
        for (std::int32_t compression : { kRawZlib, kRawStored }) {
            SCOPED_TRACE(std::string(pixelFormatName(c.format)) + " " + std::to_string(c.width)
                + "x" + std::to_string(c.height) + " compression " + std::to_string(compression));
            const Bitmap back = read(write(bmp, compression));
            if (c.format == PixelFormat::Bw1) { // compare the pixels, not the unused bits
                ASSERT_EQ(back.width(), bmp.width());
                for (int y = 0; y < c.height; ++y)
                    for (int x = 0; x < c.width; ++x)
                        ASSERT_EQ(back.pixel(x, y), bmp.pixel(x, y));
            } else {
                EXPECT_TRUE(back.samePixels(bmp));
            }
        }
    }
}

// The parallel compressor must produce one ordinary zlib stream: plain uncompress() gives the
// stored bytes back and accepts the combined checksum.
TEST(RawBitmap, CompressedBlockIsOneZlibStreamOfTheStoredBytes) {
    Bitmap bmp = vst::test::photoLike(1500, 900);
    bmp.addAlphaPlane(200);
    const Written stored = write(bmp, kRawStored);
    const Written packed = write(bmp, kRawZlib);
    std::vector<std::uint8_t> inflated(stored.bytes.size());
    uLongf n = uLongf(inflated.size());
    ASSERT_EQ(
        uncompress(inflated.data(), &n, packed.bytes.data() + 4, uLong(packed.bytes.size() - 4)),
        Z_OK);
    inflated.resize(n);
    EXPECT_EQ(inflated, std::vector<std::uint8_t>(stored.bytes.begin() + 4, stored.bytes.end()));
    // The layout's fixed points: signature, version 0, width, height, format, 32-bit rows.
    const std::uint8_t* h = inflated.data();
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(h), 12), "TIEBITMAPRAW");
    std::int32_t v[3];
    std::memcpy(v, h + 12, 12);
    EXPECT_EQ(v[0], 0);
    EXPECT_EQ(v[1], 0); // no palette
    EXPECT_EQ(v[2], 1500);
    EXPECT_EQ(h[28], std::uint8_t(PixelFormat::Rgb24));
    std::int32_t align;
    std::memcpy(&align, h + 71, 4);
    EXPECT_EQ(align, 32);
    // A 75-byte header, then 900 rows of 4500 bytes, then the has-alpha byte.
    EXPECT_EQ(inflated[75 + 4500 * 900], 1);
    EXPECT_EQ(inflated.back(), 0); // alpha full: 200 is not opaque
}

TEST(RawBitmap, DamagedBlocksGiveErrors) {
    const Bitmap bmp = vst::test::noise(40, 30, PixelFormat::Rgb24, 3);
    for (std::int32_t compression : { kRawZlib, kRawStored }) {
        const Written w = write(bmp, compression);
        // Cut short anywhere.
        for (std::size_t cut :
            { std::size_t(5), std::size_t(30), w.bytes.size() / 2, w.bytes.size() - 1 }) {
            Written t = w;
            t.bytes.resize(cut);
            std::int32_t m = std::int32_t(cut - 4);
            std::memcpy(t.bytes.data(), &m, 4);
            EXPECT_THROW(read(t), Error) << "cut at " << cut;
        }
        // A flipped byte in the pixels: the zlib checksum catches it.
        if (compression == kRawZlib) {
            Written t = w;
            t.bytes[t.bytes.size() / 2] ^= 0x55;
            EXPECT_THROW(read(t), Error);
        }
    }
}

// A tiny block claiming a 900-megapixel bitmap is refused before anything is allocated, and so
// is a bitmap over the budget.
TEST(RawBitmap, HugeClaimsAreRefusedBeforeAllocating) {
    Written w = write(vst::test::noise(8, 8, PixelFormat::Rgb24, 1), kRawStored);
    const std::int32_t huge[2] = { 30000, 30000 };
    std::memcpy(w.bytes.data() + 4 + 20, huge, 8);
    EXPECT_THROW(read(w), Error);

    const Written fine = write(vst::test::noise(64, 64, PixelFormat::Rgb24, 1), kRawZlib);
    MemoryBudget small(1000);
    EXPECT_THROW(read(fine, small), Error);
}
