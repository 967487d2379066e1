// PDF pages rendered to images with poppler; images saved as one-page PDF documents.
#include "Codecs.h"
#include "PdfWriter.h"

#include "../../imaging/Error.h"
#include "../../imaging/Parallel.h"

#include <poppler-document.h>
#include <poppler-global.h>
#include <poppler-image.h>
#include <poppler-page-renderer.h>
#include <poppler-page.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <memory>
#include <mutex>

namespace ie::io {

namespace {

/// Pages are rendered at this resolution: sharp text and line art at a size that stays
/// manageable (an A4 page is 1240 x 1754 pixels).
constexpr double kRenderDpi = 150;

/// A file cut short lacks the end-of-file marker that every writer puts in its last bytes.
bool endsWithEofMarker(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) return false;
    const std::streamoff size = in.tellg();
    const std::streamoff tail = std::min<std::streamoff>(size, 1024);
    std::string buf(std::size_t(tail), '\0');
    in.seekg(size - tail);
    in.read(buf.data(), tail);
    return buf.find("%%EOF") != std::string::npos;
}

std::unique_ptr<poppler::document> openDocument(const std::string& path) {
    static std::once_flag once;
    // Poppler reports every syntax quirk on stderr; our errors come from the results instead.
    std::call_once(
        once, [] { poppler::set_debug_error_function([](const std::string&, void*) {}, nullptr); });
    if (!endsWithEofMarker(path)) throw Error("The PDF file is truncated or damaged");
    std::unique_ptr<poppler::document> doc(poppler::document::load_from_file(path));
    if (!doc) throw Error("The PDF file is damaged or is not a PDF document");
    if (doc->is_locked()) throw Error("The PDF document is protected by a password");
    if (doc->pages() <= 0) throw Error("The PDF document has no pages");
    return doc;
}

Bitmap toBitmap(const poppler::image& img) {
    const int w = img.width(), h = img.height();
    Bitmap bmp(w, h, PixelFormat::Rgb24);
    const char* data = img.const_data();
    const std::size_t stride = std::size_t(img.bytes_per_row());
    const bool rgb = img.format() == poppler::image::format_rgb24;
    parallelFor(0, h, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            const auto* src = reinterpret_cast<const std::uint8_t*>(data) + std::size_t(y) * stride;
            std::uint8_t* dst = bmp.mutableScanline(y);
            if (rgb) {
                std::memcpy(dst, src, std::size_t(w) * 3);
                continue;
            }
            // ARGB32 is stored as native-endian words: B, G, R, A bytes on little-endian.
            for (int x = 0; x < w; ++x, src += 4, dst += 3) {
                std::uint32_t v;
                std::memcpy(&v, src, 4);
                dst[0] = std::uint8_t(v >> 16);
                dst[1] = std::uint8_t(v >> 8);
                dst[2] = std::uint8_t(v);
            }
        }
    });
    return bmp;
}

DecodedImage renderPage(const std::string& path, int index) {
    const auto doc = openDocument(path);
    if (index < 0 || index >= doc->pages())
        throw Error("The PDF document has no page " + std::to_string(index + 1) + " (it has "
            + std::to_string(doc->pages()) + ")");
    const std::unique_ptr<poppler::page> page(doc->create_page(index));
    if (!page)
        throw Error("Cannot read page " + std::to_string(index + 1) + " of the PDF document");
    const poppler::rectf box = page->page_rect();
    double w = std::round(box.width() * kRenderDpi / 72),
           h = std::round(box.height() * kRenderDpi / 72);
    const auto turn = page->orientation();
    if (turn == poppler::page::landscape || turn == poppler::page::seascape) std::swap(w, h);
    if (!(w >= 1 && h >= 1 && w < 1e9 && h < 1e9)) throw Error("The PDF page has an invalid size");
    Plane::checkSize(std::int64_t(w), std::int64_t(h));
    poppler::page_renderer renderer;
    renderer.set_render_hint(poppler::page_renderer::antialiasing, true);
    renderer.set_render_hint(poppler::page_renderer::text_antialiasing, true);
    renderer.set_image_format(poppler::image::format_rgb24);
    const poppler::image img = renderer.render_page(page.get(), kRenderDpi, kRenderDpi);
    if (!img.is_valid() || img.width() <= 0 || img.height() <= 0)
        throw Error("Cannot render page " + std::to_string(index + 1) + " of the PDF document");
    DecodedImage out;
    out.bitmap = toBitmap(img);
    out.bitmap.setDpi(kRenderDpi, kRenderDpi);
    return out;
}

class PdfCodec final : public Codec {
public:
    std::string name() const override { return "PDF"; }
    std::vector<std::string> extensions() const override { return { ".pdf" }; }
    bool matches(std::span<const std::uint8_t> head) const override {
        return head.size() >= 5 && std::memcmp(head.data(), "%PDF-", 5) == 0;
    }
    DecodedImage read(const std::string& path, const ReadOptions& options) const override {
        return renderPage(path, options.pageIndex);
    }
    int pageCount(const std::string& path) const override { return openDocument(path)->pages(); }
    void write(const std::string& path, const Bitmap& bitmap, const FormatParams& params,
        const Metadata&) const override {
        const double dpiX = params.dpiX > 0 ? params.dpiX : bitmap.dpiX();
        const double dpiY = params.dpiY > 0 ? params.dpiY : bitmap.dpiY();
        writeImagePdf(path, bitmap,
            placeOnPage(bitmap.width(), bitmap.height(), dpiX, dpiY, params.pdfPaperSize));
    }
};

} // namespace

std::shared_ptr<const Codec> makePdfCodec() {
    return std::make_shared<PdfCodec>();
}

} // namespace ie::io
