#include "../../imaging/BitmapOps.h"
#include "../../imaging/Error.h"
#include "Codecs.h"
#include "GifFrames.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace ie::io {

namespace {

struct GifCloser {
    void operator()(GifFileType* g) const {
        int error = 0;
        DGifCloseFile(g, &error);
    }
};
using GifPtr = std::unique_ptr<GifFileType, GifCloser>;

std::string gifErrorText(int code) {
    const char* s = GifErrorString(code);
    return s ? s : "unknown error";
}

[[noreturn]] void fail(const GifFileType* g, const std::string& what) {
    throw Error(what + " (" + gifErrorText(g->Error) + ")");
}

[[noreturn]] void failDamaged(const GifFileType* g) {
    fail(g, "the GIF file is damaged or truncated");
}

GifPtr openGif(const std::string& path) {
    int error = 0;
    GifFileType* g = DGifOpenFileName(path.c_str(), &error);
    // giflib leaves the code at 0 when the header or the global colour table is cut short.
    if (!g && error == 0) throw Error("the GIF file is damaged or truncated");
    if (!g) throw Error("not a readable GIF file (" + gifErrorText(error) + ")");
    return GifPtr(g);
}

// What the graphic control extension before a frame says about it.
struct FrameControl {
    int disposal = DISPOSAL_UNSPECIFIED;
    int transparent = NO_TRANSPARENT_COLOR;
};

void readExtension(GifFileType* g, FrameControl& control) {
    int code = 0;
    GifByteType* block = nullptr;
    if (DGifGetExtension(g, &code, &block) == GIF_ERROR) failDamaged(g);
    if (code == GRAPHICS_EXT_FUNC_CODE && block && block[0] >= 4) {
        GraphicsControlBlock gcb {};
        if (DGifExtensionToGCB(block[0], block + 1, &gcb) == GIF_OK) {
            control.disposal = gcb.DisposalMode;
            control.transparent = gcb.TransparentColor;
        }
    }
    while (block)
        if (DGifGetExtensionNext(g, &block) == GIF_ERROR) failDamaged(g);
}

// Reads records up to the next image descriptor (then in g->Image). False at the trailer.
bool nextFrame(GifFileType* g, FrameControl& control) {
    control = {};
    for (;;) {
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(g, &type) == GIF_ERROR) failDamaged(g);
        switch (type) {
        case IMAGE_DESC_RECORD_TYPE:
            if (DGifGetImageDesc(g) == GIF_ERROR) failDamaged(g);
            return true;
        case EXTENSION_RECORD_TYPE:
            readExtension(g, control);
            break;
        case TERMINATE_RECORD_TYPE:
            return false;
        default:
            break;
        }
    }
}

// Steps over the compressed pixels of the current frame without decoding them.
void skipFrame(GifFileType* g) {
    int codeSize = 0;
    GifByteType* block = nullptr;
    if (DGifGetCode(g, &codeSize, &block) == GIF_ERROR) failDamaged(g);
    while (block)
        if (DGifGetCodeNext(g, &block) == GIF_ERROR) failDamaged(g);
}

// File order of rows: interlaced frames store every 8th row, then the 4th, 2nd and the rest.
std::vector<int> rowOrder(int height, bool interlaced) {
    std::vector<int> order;
    order.reserve(std::size_t(height));
    if (!interlaced) {
        for (int y = 0; y < height; ++y)
            order.push_back(y);
        return order;
    }
    const int start[] = { 0, 4, 2, 1 }, step[] = { 8, 8, 4, 2 };
    for (int pass = 0; pass < 4; ++pass)
        for (int y = start[pass]; y < height; y += step[pass])
            order.push_back(y);
    return order;
}

Rect frameRect(const GifFileType* g) {
    return { g->Image.Left, g->Image.Top, g->Image.Width, g->Image.Height };
}

// Decodes the current frame's indices, keeping the part inside `clip` (screen coordinates).
std::vector<std::uint8_t> decodeIndices(GifFileType* g, const Rect& clip) {
    const GifImageDesc& d = g->Image;
    if (d.Width <= 0 || d.Height <= 0) {
        skipFrame(g);
        return {};
    }
    std::vector<std::uint8_t> out(std::size_t(clip.w) * std::max(0, clip.h));
    std::vector<GifPixelType> line(std::size_t(d.Width));
    for (int y : rowOrder(d.Height, d.Interlace)) {
        if (DGifGetLine(g, line.data(), d.Width) == GIF_ERROR) failDamaged(g);
        const int sy = d.Top + y;
        if (clip.isEmpty() || sy < clip.y || sy >= clip.bottom()) continue;
        std::memcpy(out.data() + std::size_t(sy - clip.y) * clip.w, line.data() + (clip.x - d.Left),
            std::size_t(clip.w));
    }
    return out;
}

std::vector<Rgb> paletteOf(const GifFileType* g) {
    const ColorMapObject* map = g->Image.ColorMap ? g->Image.ColorMap : g->SColorMap;
    std::vector<Rgb> pal;
    if (map && map->Colors)
        for (int i = 0; i < map->ColorCount; ++i)
            pal.push_back({ map->Colors[i].Red, map->Colors[i].Green, map->Colors[i].Blue });
    if (pal.empty()) // no colour table at all: the decoders' usual grey ramp
        for (int i = 0; i < 256; ++i)
            pal.push_back({ std::uint8_t(i), std::uint8_t(i), std::uint8_t(i) });
    return pal;
}

// A frame's pixels cut to the logical screen, with what is needed to draw them.
struct Frame {
    Rect clip;
    std::vector<std::uint8_t> indices;
    std::vector<Rgb> palette;
    int transparent = NO_TRANSPARENT_COLOR;

    bool usesTransparency() const {
        return transparent >= 0
            && std::find(indices.begin(), indices.end(), std::uint8_t(transparent))
            != indices.end();
    }
};

Bitmap transparentCanvas(int w, int h) {
    Bitmap canvas(w, h, PixelFormat::Rgb24);
    canvas.addAlphaPlane(0);
    canvas.fill({ 0, 0, 0, 0 });
    return canvas;
}

void drawFrame(Bitmap& canvas, const Frame& f) {
    for (int r = 0; r < f.clip.h; ++r) {
        const std::uint8_t* idx = f.indices.data() + std::size_t(r) * f.clip.w;
        std::uint8_t* rgb = canvas.mutableScanline(f.clip.y + r) + std::size_t(f.clip.x) * 3;
        std::uint8_t* alpha = canvas.mutableAlphaLine(f.clip.y + r) + f.clip.x;
        for (int x = 0; x < f.clip.w; ++x) {
            if (idx[x] == f.transparent) continue;
            const Rgb c = idx[x] < f.palette.size() ? f.palette[idx[x]] : Rgb {};
            rgb[x * 3] = c.r;
            rgb[x * 3 + 1] = c.g;
            rgb[x * 3 + 2] = c.b;
            alpha[x] = 255;
        }
    }
}

// A frame that covers the whole screen without transparency is the picture by itself: keep
// its palette so that saving it again loses nothing.
Bitmap paletted(const Frame& f) {
    Bitmap bmp(f.clip.w, f.clip.h, PixelFormat::Palette8);
    std::vector<Rgb> palette = f.palette;
    const std::uint8_t maxIndex = *std::max_element(f.indices.begin(), f.indices.end());
    if (maxIndex >= palette.size()) palette.resize(std::size_t(maxIndex) + 1);
    bmp.setPalette(std::move(palette));
    for (int y = 0; y < f.clip.h; ++y)
        std::memcpy(bmp.mutableScanline(y), f.indices.data() + std::size_t(y) * f.clip.w,
            std::size_t(f.clip.w));
    return bmp;
}

std::string framesWording(int n) {
    return std::to_string(n) + (n == 1 ? " frame" : " frames");
}

Bitmap readFrame(const std::string& path, int target) {
    GifPtr gif = openGif(path);
    GifFileType* g = gif.get();
    Plane::checkSize(g->SWidth, g->SHeight);
    const Rect screen { 0, 0, g->SWidth, g->SHeight };
    Bitmap canvas;
    FrameControl control;
    for (int i = 0;; ++i) {
        if (target < 0 || !nextFrame(g, control))
            throw Error("Frame " + std::to_string(target + 1) + " does not exist in " + path
                + " (it has " + framesWording(std::max(0, i)) + ")");
        Frame f;
        f.clip = frameRect(g).intersected(screen);
        f.palette = paletteOf(g);
        f.transparent = control.transparent;
        f.indices = decodeIndices(g, f.clip);
        if (i == target && f.clip == screen && !f.usesTransparency()) return paletted(f);
        if (canvas.isNull()) canvas = transparentCanvas(screen.w, screen.h);
        if (f.clip.isEmpty()) {
            if (i == target) return canvas;
            continue;
        }
        Bitmap saved; // what a "restore previous" frame covered
        if (i < target && control.disposal == DISPOSE_PREVIOUS) saved = crop(canvas, f.clip);
        drawFrame(canvas, f);
        if (i == target) return canvas;
        if (control.disposal == DISPOSE_BACKGROUND)
            canvas.fillRect(f.clip, { 0, 0, 0, 0 });
        else if (control.disposal == DISPOSE_PREVIOUS)
            copyRect(saved, saved.rect(), canvas, f.clip.x, f.clip.y);
    }
}

int countFrames(const std::string& path) {
    GifPtr gif = openGif(path);
    FrameControl control;
    int n = 0;
    while (nextFrame(gif.get(), control)) {
        skipFrame(gif.get());
        ++n;
    }
    return n;
}

class GifCodec final : public Codec {
public:
    std::string name() const override { return "GIF"; }
    std::vector<std::string> extensions() const override { return { ".gif" }; }

    bool matches(std::span<const std::uint8_t> head) const override {
        return head.size() >= 6
            && (std::memcmp(head.data(), "GIF87a", 6) == 0
                || std::memcmp(head.data(), "GIF89a", 6) == 0);
    }

    DecodedImage read(const std::string& path, const ReadOptions& options) const override {
        DecodedImage out;
        out.bitmap = readFrame(path, options.pageIndex);
        return out;
    }

    int pageCount(const std::string& path) const override { return countFrames(path); }

    void write(const std::string& path, const Bitmap& bitmap, const FormatParams& params,
        const Metadata&) const override {
        writeGifFrames(path, { bitmap }, params);
    }
};

} // namespace

std::shared_ptr<const Codec> makeGifCodec() {
    return std::make_shared<GifCodec>();
}

} // namespace ie::io
