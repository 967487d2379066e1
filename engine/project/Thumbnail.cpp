#include "Thumbnail.h"

#include "../imaging/Convert.h"
#include "../imaging/Error.h"
#include "../imaging/Resample.h"
#include "../layers/Compositor.h"

#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>

namespace ie {

namespace {

constexpr int kThumbnailQuality = 85;

struct JpegError {
    jpeg_error_mgr mgr;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX] = {};
};

void onJpegError(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<JpegError*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

int scaled(int side, int otherSide, int target) {
    return std::max(1, int(std::nearbyint(double(side) * target / otherSide)));
}

} // namespace

std::pair<int, int> thumbnailSize(int width, int height) {
    const int s = kThumbnailSize;
    if (width < height && width > s) return { s, scaled(height, width, s) };
    if (height > s) return { scaled(width, height, s), s };
    return { width, height };
}

std::vector<std::uint8_t> encodeJpegInMemory(const Bitmap& bitmap, int quality) {
    const bool grey = bitmap.pixelFormat() == PixelFormat::Gray8;
    const Bitmap src = grey || bitmap.pixelFormat() == PixelFormat::Rgb24
        ? bitmap
        : convertTo(bitmap, PixelFormat::Rgb24);
    jpeg_compress_struct cinfo {};
    JpegError err;
    cinfo.err = jpeg_std_error(&err.mgr);
    err.mgr.error_exit = onJpegError;
    unsigned char* out = nullptr;
    unsigned long outSize = 0;
    // Nothing with a destructor lives between setjmp and the calls that may jump.
    if (setjmp(err.jump)) {
        jpeg_destroy_compress(&cinfo);
        std::free(out);
        throw Error(std::string("Cannot encode the thumbnail: ") + err.message);
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, &out, &outSize);
    cinfo.image_width = JDIMENSION(src.width());
    cinfo.image_height = JDIMENSION(src.height());
    cinfo.input_components = grey ? 1 : 3;
    cinfo.in_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(src.scanline(int(cinfo.next_scanline)));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::vector<std::uint8_t> bytes(out, out + outSize);
    std::free(out);
    return bytes;
}

std::vector<std::uint8_t> thumbnailJpeg(const LayerStack& stack) {
    const int cw = stack.canvasWidth(), ch = stack.canvasHeight();
    if (cw < kThumbnailMinSide || ch < kThumbnailMinSide) return {};
    const auto [w, h] = thumbnailSize(cw, ch);
    // Composited straight at thumbnail size: the full-size merge would cost far more.
    CompositeOptions options;
    options.withAlpha = false;
    options.filter = ResampleFilter::Triangle;
    return encodeJpegInMemory(composite(stack, 0, 0, cw, ch, w, h, options), kThumbnailQuality);
}

} // namespace ie
