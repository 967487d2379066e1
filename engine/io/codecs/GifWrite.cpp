#include "../../imaging/Convert.h"
#include "../../imaging/Error.h"
#include "GifFrames.h"

#include <gif_lib.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

namespace ie::io {

namespace {

// A frame as GIF stores it: indices, their colours and the transparent index if any.
struct IndexedFrame {
    Bitmap indices; ///< Palette8
    std::vector<Rgb> palette; ///< at most 256 entries
    int transparent = NO_TRANSPARENT_COLOR;
};

std::uint8_t alphaAt(const Bitmap& bmp, int x, int y) {
    if (bmp.pixelFormat() == PixelFormat::Rgba32) return bmp.scanline(y)[x * 4 + 3];
    return bmp.hasAlphaPlane() ? bmp.alphaLine(y)[x] : 255;
}

bool hasTransparentPixels(const Bitmap& bmp, int threshold) {
    if (!bmp.hasAlpha()) return false;
    for (int y = 0; y < bmp.height(); ++y)
        for (int x = 0; x < bmp.width(); ++x)
            if (alphaAt(bmp, x, y) < threshold) return true;
    return false;
}

std::vector<Rgb> greyRamp() {
    std::vector<Rgb> pal(256);
    for (int i = 0; i < 256; ++i)
        pal[i] = { std::uint8_t(i), std::uint8_t(i), std::uint8_t(i) };
    return pal;
}

// The bitmap as palette indices, with one entry left free when a transparent index is needed.
Bitmap toIndices(const Bitmap& src, bool needsFreeEntry, bool dither) {
    const bool paletted = src.pixelFormat() == PixelFormat::Palette8;
    if (paletted && (!needsFreeEntry || src.palette().size() < 256)) return src;
    const Bitmap rgb = paletted ? convertTo(src, PixelFormat::Rgb24) : src;
    ConvertOptions options;
    options.paletteColors = needsFreeEntry ? 255 : 256;
    options.dither = dither;
    return convertTo(rgb, PixelFormat::Palette8, options);
}

IndexedFrame indexFrame(const Bitmap& src, const FormatParams& params) {
    const int threshold = std::clamp(params.gifTransparentThreshold, 0, 256);
    const bool transparent = hasTransparentPixels(src, threshold);
    IndexedFrame f;
    f.indices = toIndices(src, transparent, params.gifDither);
    f.palette = f.indices.palette();
    if (f.palette.empty()) f.palette = greyRamp();
    f.palette.resize(std::min<std::size_t>(f.palette.size(), 256));
    if (!transparent) return f;
    f.transparent = int(f.palette.size());
    f.palette.push_back({ 0, 0, 0 });
    for (int y = 0; y < src.height(); ++y) {
        std::uint8_t* row = f.indices.mutableScanline(y);
        for (int x = 0; x < src.width(); ++x)
            if (alphaAt(src, x, y) < threshold) row[x] = std::uint8_t(f.transparent);
    }
    return f;
}

struct MapDeleter {
    void operator()(ColorMapObject* m) const { GifFreeMapObject(m); }
};
using MapPtr = std::unique_ptr<ColorMapObject, MapDeleter>;

// GIF colour tables hold a power of two entries.
MapPtr makeColorMap(const std::vector<Rgb>& palette) {
    int size = 2;
    while (size < int(palette.size()))
        size *= 2;
    std::vector<GifColorType> colors(std::size_t(size), GifColorType { 0, 0, 0 });
    for (std::size_t i = 0; i < palette.size(); ++i)
        colors[i] = { palette[i].r, palette[i].g, palette[i].b };
    MapPtr map(GifMakeMapObject(size, colors.data()));
    if (!map) throw Error("not enough memory for a GIF colour table");
    return map;
}

// An encoder that closes on every path and reports giflib's reason for failures.
class GifWriter {
public:
    explicit GifWriter(const std::string& path) {
        int error = 0;
        m_gif = EGifOpenFileName(path.c_str(), false, &error);
        if (!m_gif) throw Error("cannot create the file (" + errorText(error) + ")");
        EGifSetGifVersion(m_gif, true);
    }
    ~GifWriter() {
        if (m_gif) EGifCloseFile(m_gif, nullptr);
    }
    GifWriter(const GifWriter&) = delete;
    GifWriter& operator=(const GifWriter&) = delete;

    GifFileType* get() const { return m_gif; }

    void check(int result) const {
        if (result == GIF_ERROR)
            throw Error("writing the GIF failed (" + errorText(m_gif->Error) + ")");
    }

    void close() {
        int error = 0;
        GifFileType* g = m_gif;
        m_gif = nullptr;
        if (EGifCloseFile(g, &error) == GIF_ERROR)
            throw Error("writing the GIF failed (" + errorText(error) + ")");
    }

private:
    static std::string errorText(int code) {
        const char* s = GifErrorString(code);
        return s ? s : "unknown error";
    }
    GifFileType* m_gif = nullptr;
};

void putLoopForever(const GifWriter& w) {
    static const GifByteType app[] = { 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0' };
    static const GifByteType loop[] = { 1, 0, 0 }; // sub-block 1: repeat count 0 = forever
    w.check(EGifPutExtensionLeader(w.get(), APPLICATION_EXT_FUNC_CODE));
    w.check(EGifPutExtensionBlock(w.get(), sizeof app, app));
    w.check(EGifPutExtensionBlock(w.get(), sizeof loop, loop));
    w.check(EGifPutExtensionTrailer(w.get()));
}

void putFrame(const GifWriter& w, const IndexedFrame& f, const ColorMapObject* localMap,
    bool animated, int delayMs) {
    if (animated || f.transparent >= 0) {
        GraphicsControlBlock gcb {};
        // Each frame is a whole picture: clear it before the next one is drawn.
        gcb.DisposalMode = animated ? DISPOSE_BACKGROUND : DISPOSAL_UNSPECIFIED;
        gcb.UserInputFlag = false;
        gcb.DelayTime = animated ? std::clamp(int(std::lround(delayMs / 10.0)), 0, 65535) : 0;
        gcb.TransparentColor = f.transparent;
        GifByteType ext[4];
        const auto len = EGifGCBToExtension(&gcb, ext);
        w.check(EGifPutExtension(w.get(), GRAPHICS_EXT_FUNC_CODE, int(len), ext));
    }
    const Bitmap& bmp = f.indices;
    // giflib drops (without freeing) the previous frame's local table when this one has none.
    if (!localMap && w.get()->Image.ColorMap) {
        GifFreeMapObject(w.get()->Image.ColorMap);
        w.get()->Image.ColorMap = nullptr;
    }
    w.check(EGifPutImageDesc(w.get(), 0, 0, bmp.width(), bmp.height(), false, localMap));
    std::vector<GifPixelType> line(std::size_t(bmp.width()));
    for (int y = 0; y < bmp.height(); ++y) {
        // giflib masks the line in place, so it gets a copy.
        std::memcpy(line.data(), bmp.scanline(y), line.size());
        w.check(EGifPutLine(w.get(), line.data(), bmp.width()));
    }
}

} // namespace

void writeGifFrames(
    const std::string& path, const std::vector<Bitmap>& frames, const FormatParams& params) {
    if (frames.empty()) throw Error("Cannot save " + path + ": there are no frames to write");
    int width = 0, height = 0;
    for (const Bitmap& f : frames) {
        if (f.isNull()) throw Error("Cannot save " + path + ": a frame is empty");
        if (f.width() > 65535 || f.height() > 65535)
            throw Error("GIF images are limited to 65535 x 65535 pixels");
        width = std::max(width, f.width());
        height = std::max(height, f.height());
    }
    std::vector<IndexedFrame> indexed;
    indexed.reserve(frames.size());
    for (const Bitmap& f : frames)
        indexed.push_back(indexFrame(f, params));
    GifWriter w(path);
    const MapPtr global = makeColorMap(indexed[0].palette);
    w.check(EGifPutScreenDesc(w.get(), width, height, 8, 0, global.get()));
    const bool animated = frames.size() > 1;
    if (animated) putLoopForever(w);
    for (const IndexedFrame& f : indexed) {
        MapPtr local;
        if (f.palette != indexed[0].palette) local = makeColorMap(f.palette);
        putFrame(w, f, local.get(), animated, params.gifFrameDelayMs);
    }
    w.close();
}

} // namespace ie::io
