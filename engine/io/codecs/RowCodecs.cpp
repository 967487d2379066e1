#include "RowCodecs.h"

#include "../../imaging/Parallel.h"

#include <algorithm>
#include <cstring>

namespace ie::io {

std::vector<Rgb> greyPalette() {
    std::vector<Rgb> pal(256);
    for (int i = 0; i < 256; ++i)
        pal[i] = { std::uint8_t(i), std::uint8_t(i), std::uint8_t(i) };
    return pal;
}

IndexedTarget indexedTarget(const std::vector<Rgb>& palette) {
    const Rgb black { 0, 0, 0 }, white { 255, 255, 255 };
    if (palette.size() == 2 && palette[0] == black && palette[1] == white)
        return { PixelFormat::Bw1, false };
    if (palette.size() == 2 && palette[0] == white && palette[1] == black)
        return { PixelFormat::Bw1, true };
    if (palette == greyPalette()) return { PixelFormat::Gray8, false };
    return { PixelFormat::Palette8, false };
}

Bitmap makeIndexedBitmap(
    int width, int height, const IndexedTarget& target, const std::vector<Rgb>& palette) {
    Bitmap bmp(width, height, target.format);
    if (target.format == PixelFormat::Palette8) bmp.setPalette(palette);
    return bmp;
}

void unpackIndices(const std::uint8_t* src, int bits, int width, std::uint8_t* dst) {
    if (bits == 8) {
        std::memcpy(dst, src, std::size_t(width));
        return;
    }
    const int perByte = 8 / bits;
    const unsigned mask = (1u << bits) - 1;
    for (int x = 0; x < width; ++x) {
        const int shift = 8 - bits * (x % perByte + 1);
        dst[x] = std::uint8_t(src[x / perByte] >> shift & mask);
    }
}

void storeIndexRow(
    const std::uint8_t* indices, int width, const IndexedTarget& target, std::uint8_t* dst) {
    if (target.format != PixelFormat::Bw1) {
        std::memcpy(dst, indices, std::size_t(width));
        return;
    }
    std::memset(dst, 0, std::size_t(width + 7) / 8);
    for (int x = 0; x < width; ++x)
        if ((indices[x] != 0) != target.invert) dst[x >> 3] |= std::uint8_t(0x80 >> (x & 7));
}

void bgrToRgb(const std::uint8_t* src, int width, int step, std::uint8_t* dst) {
    for (int x = 0; x < width; ++x, src += step, dst += 3) {
        dst[0] = src[2];
        dst[1] = src[1];
        dst[2] = src[0];
    }
}

bool bgraToRgbAlpha(const std::uint8_t* src, int width, std::uint8_t* rgb, std::uint8_t* alpha) {
    unsigned any = 0;
    for (int x = 0; x < width; ++x, src += 4, rgb += 3) {
        rgb[0] = src[2];
        rgb[1] = src[1];
        rgb[2] = src[0];
        alpha[x] = src[3];
        any |= src[3];
    }
    return any != 0;
}

void rowToBgr(const Bitmap& bitmap, int y, std::uint8_t* dst) {
    const std::uint8_t* src = bitmap.scanline(y);
    const int step = bitmap.pixelFormat() == PixelFormat::Rgba32 ? 4 : 3;
    // R,G,B and B,G,R are the same swap.
    bgrToRgb(src, bitmap.width(), step, dst);
}

void rowToBgra(const Bitmap& bitmap, int y, std::uint8_t* dst) {
    const std::uint8_t* src = bitmap.scanline(y);
    const int w = bitmap.width();
    if (bitmap.pixelFormat() == PixelFormat::Rgba32) {
        for (int x = 0; x < w; ++x, src += 4, dst += 4) {
            dst[0] = src[2];
            dst[1] = src[1];
            dst[2] = src[0];
            dst[3] = src[3];
        }
        return;
    }
    const std::uint8_t* a = bitmap.hasAlphaPlane() ? bitmap.alphaLine(y) : nullptr;
    for (int x = 0; x < w; ++x, src += 3, dst += 4) {
        dst[0] = src[2];
        dst[1] = src[1];
        dst[2] = src[0];
        dst[3] = a ? a[x] : 255;
    }
}

const std::uint8_t* rgbRow(const Bitmap& bitmap, int y, std::vector<std::uint8_t>& scratch) {
    if (bitmap.pixelFormat() != PixelFormat::Rgba32) return bitmap.scanline(y);
    const int w = bitmap.width();
    scratch.resize(std::size_t(w) * 3);
    const std::uint8_t* src = bitmap.scanline(y);
    for (int x = 0; x < w; ++x)
        std::memcpy(&scratch[std::size_t(x) * 3], src + x * 4, 3);
    return scratch.data();
}

void writeRows(FileSink& out, int rows, std::size_t rowBytes,
    const std::function<void(int, std::uint8_t*)>& fill) {
    if (rows <= 0 || rowBytes == 0) return;
    // About 4 MB a block: large enough to share between cores, small enough to stay in cache.
    const int blockRows = int(std::clamp<std::size_t>((4u << 20) / rowBytes, 1, std::size_t(rows)));
    std::vector<std::uint8_t> block(std::size_t(blockRows) * rowBytes);
    for (int r0 = 0; r0 < rows; r0 += blockRows) {
        const int n = std::min(blockRows, rows - r0);
        parallelFor(0, n, [&](int i0, int i1) {
            for (int i = i0; i < i1; ++i)
                fill(r0 + i, block.data() + std::size_t(i) * rowBytes);
        });
        out.write(block.data(), std::size_t(n) * rowBytes);
    }
}

void writeEncodedRows(
    FileSink& sink, int rows, const std::function<void(int, ByteWriter&)>& encode) {
    constexpr int kBlockRows = 256;
    std::vector<ByteWriter> block(std::size_t(std::min(rows, kBlockRows)));
    for (int r0 = 0; r0 < rows; r0 += kBlockRows) {
        const int n = std::min(kBlockRows, rows - r0);
        parallelFor(
            0, n,
            [&](int i0, int i1) {
                for (int i = i0; i < i1; ++i) {
                    block[std::size_t(i)].clear();
                    encode(r0 + i, block[std::size_t(i)]);
                }
            },
            8);
        for (int i = 0; i < n; ++i)
            sink.write(block[std::size_t(i)]);
    }
}

void dropOpaqueAlpha(Bitmap& bitmap) {
    if (bitmap.hasAlphaPlane() && bitmap.alphaIsOpaque()) bitmap.removeAlphaPlane();
}

} // namespace ie::io
