#include "imaging/Bitmap.h"
#include "imaging/BufferPool.h"
#include "imaging/Error.h"

#include <gtest/gtest.h>

using namespace ie;

TEST(Bitmap, CopiesShareStripsUntilWritten) {
    // Tall enough for several strips.
    Bitmap a(3000, 2000, PixelFormat::Rgb24);
    a.fill({ 10, 20, 30, 255 });
    ASSERT_GT(a.colorPlane().stripCount(), 2);
    Bitmap b = a;
    for (int s = 0; s < a.colorPlane().stripCount(); ++s)
        EXPECT_TRUE(b.colorPlane().sharesStripWith(a.colorPlane(), s));

    b.setPixel(5, 1999, { 1, 2, 3, 255 });
    const int last = a.colorPlane().stripCount() - 1;
    EXPECT_FALSE(b.colorPlane().sharesStripWith(a.colorPlane(), last));
    EXPECT_TRUE(b.colorPlane().sharesStripWith(a.colorPlane(), 0));
    EXPECT_EQ(a.pixel(5, 1999), (Rgba { 10, 20, 30, 255 }));
    EXPECT_EQ(b.pixel(5, 1999), (Rgba { 1, 2, 3, 255 }));
}

TEST(Bitmap, PixelRoundTripInEveryFormat) {
    const Rgba grey { 200, 200, 200, 255 };
    for (auto f : { PixelFormat::Gray8, PixelFormat::Gray16, PixelFormat::Rgb24,
             PixelFormat::Rgba32, PixelFormat::Rgb48, PixelFormat::Cmyk32 }) {
        Bitmap b(7, 3, f);
        b.fill({ 0, 0, 0, 255 });
        b.setPixel(6, 2, grey);
        EXPECT_EQ(b.pixel(6, 2), grey) << pixelFormatName(f);
        EXPECT_EQ(b.pixel(0, 0), (Rgba { 0, 0, 0, 255 })) << pixelFormatName(f);
    }
    Bitmap bw(9, 1, PixelFormat::Bw1);
    bw.fill({ 0, 0, 0, 255 });
    bw.setPixel(8, 0, { 255, 255, 255, 255 });
    EXPECT_EQ(bw.pixel(8, 0).r, 255);
    EXPECT_EQ(bw.pixel(7, 0).r, 0);
}

TEST(Bitmap, CmykKeepsSaturatedColours) {
    Bitmap b(1, 1, PixelFormat::Cmyk32);
    for (Rgba c :
        { Rgba { 255, 0, 0, 255 }, Rgba { 0, 128, 255, 255 }, Rgba { 17, 99, 201, 255 } }) {
        b.setPixel(0, 0, c);
        const Rgba back = b.pixel(0, 0);
        EXPECT_NEAR(back.r, c.r, 1);
        EXPECT_NEAR(back.g, c.g, 1);
        EXPECT_NEAR(back.b, c.b, 1);
    }
}

TEST(Bitmap, AlphaPlaneAndFillRect) {
    Bitmap b(10, 10, PixelFormat::Rgb24);
    EXPECT_FALSE(b.hasAlpha());
    b.addAlphaPlane(0);
    EXPECT_TRUE(b.hasAlpha());
    EXPECT_FALSE(b.alphaIsOpaque());
    b.fillRect({ -5, -5, 8, 8 }, { 9, 9, 9, 128 });
    EXPECT_EQ(b.pixel(2, 2), (Rgba { 9, 9, 9, 128 }));
    EXPECT_EQ(b.pixel(3, 3).a, 0);
    Bitmap r(2, 2, PixelFormat::Rgba32);
    EXPECT_THROW(r.addAlphaPlane(), Error);
}

TEST(Bitmap, RefusesAbsurdSizesBeforeAllocating) {
    EXPECT_THROW(Bitmap(0, 10, PixelFormat::Rgb24), Error);
    EXPECT_THROW(Bitmap(-1, 10, PixelFormat::Rgb24), Error);
    EXPECT_THROW(Bitmap(200000, 200000, PixelFormat::Rgb24), Error);
    EXPECT_THROW(Bitmap(1 << 20, 1, PixelFormat::Gray8), Error);
}

TEST(Bitmap, SamePixelsIgnoresPaddingBits) {
    Bitmap a(3, 2, PixelFormat::Bw1), b(3, 2, PixelFormat::Bw1);
    for (int y = 0; y < 2; ++y) {
        a.mutableScanline(y)[0] = 0xA0;
        b.mutableScanline(y)[0] = 0xBF; // same first 3 bits, different padding
    }
    EXPECT_TRUE(a.samePixels(b));
    b.setPixel(1, 1, { 255, 255, 255, 255 });
    EXPECT_FALSE(a.samePixels(b));
}

TEST(BufferPool, RecyclesReleasedBlocks) {
    auto& pool = BufferPool::instance();
    pool.trim();
    std::uint8_t* first;
    {
        auto buf = pool.acquire(3 << 20);
        first = buf->data();
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(first) % (2u << 20), 0u);
    }
    EXPECT_GE(pool.pooledBytes(), std::size_t(3) << 20);
    auto again = pool.acquire(3 << 20);
    EXPECT_EQ(again->data(), first);
}
