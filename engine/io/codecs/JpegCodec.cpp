// JPEG through libjpeg(-turbo): rows go straight between the bitmap's strips and the library,
// and EXIF, XMP, IPTC and ICC travel in the APP segments written here.
#include "../../imaging/Convert.h"
#include "../../imaging/Error.h"
#include "Codecs.h"
#include "MetadataBlocks.h"
#include "StdioFile.h"

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
// jpeglib.h needs FILE and size_t declared first.
#include <jerror.h>
#include <jpeglib.h>

namespace ie::io {

namespace {

using blocks::Bytes;
using blocks::ByteView;

constexpr unsigned kMaxMarkerPayload = 65533;

/// libjpeg reports failures through these callbacks; they must not return (error_exit) nor call
/// exit(), so they jump back to the last guarded call, which throws.
struct JpegError {
    jpeg_error_mgr mgr; // first: libjpeg sees only this part
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void onJpegError(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<JpegError*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

void onJpegMessage(j_common_ptr cinfo, int level) {
    // libjpeg pads a truncated file with grey and calls it a warning; here it is a failure.
    if (level < 0 && cinfo->err->msg_code == JWRN_JPEG_EOF) onJpegError(cinfo);
}

/// Hostile progressive files can hold thousands of tiny scans that take minutes to decode;
/// real ones have about ten.
constexpr int kMaxScans = 500;

void limitScans(j_common_ptr cinfo) {
    const auto* ci = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (ci->input_scan_number > kMaxScans) {
        std::snprintf(reinterpret_cast<JpegError*>(cinfo->err)->message, JMSG_LENGTH_MAX,
            "more than %d scans", kMaxScans);
        std::longjmp(reinterpret_cast<JpegError*>(cinfo->err)->jump, 1);
    }
}

/// One libjpeg object (decompress or compress) with its error handler.
template <class Info> class JpegSession {
public:
    JpegSession(const char* failure, void (*destroy)(Info*))
        : m_failure(failure)
        , m_destroy(destroy) {
        m_info.err = jpeg_std_error(&m_err.mgr);
        m_err.mgr.error_exit = onJpegError;
        m_err.mgr.emit_message = onJpegMessage;
    }
    ~JpegSession() {
        if (m_created) m_destroy(&m_info);
    }
    JpegSession(const JpegSession&) = delete;
    JpegSession& operator=(const JpegSession&) = delete;

    Info* info() { return &m_info; }
    void markCreated() { m_created = true; }

    /// Runs `f`, which calls libjpeg and nothing that owns resources (a failure jumps out of it),
    /// and turns a libjpeg failure into ie::Error.
    template <class F> void run(F&& f) {
        if (setjmp(m_err.jump)) throw Error(std::string(m_failure) + " (" + m_err.message + ")");
        f();
    }

private:
    Info m_info {};
    JpegError m_err {};
    const char* m_failure;
    void (*m_destroy)(Info*);
    bool m_created = false;
};

void destroyDecompress(jpeg_decompress_struct* c) {
    jpeg_destroy_decompress(c);
}
void destroyCompress(jpeg_compress_struct* c) {
    jpeg_destroy_compress(c);
}

// ---- reading ------------------------------------------------------------------------------

/// Picks the bitmap format for the file's colour space and tells libjpeg what to deliver.
PixelFormat chooseOutput(jpeg_decompress_struct* ci) {
    switch (ci->jpeg_color_space) {
    case JCS_GRAYSCALE:
        ci->out_color_space = JCS_GRAYSCALE;
        return PixelFormat::Gray8;
    case JCS_CMYK:
    case JCS_YCCK:
        // Kept as ink values: the program converts CMYK with its own profile handling.
        ci->out_color_space = JCS_CMYK;
        return PixelFormat::Cmyk32;
    default:
        ci->out_color_space = JCS_RGB;
        return PixelFormat::Rgb24;
    }
}

/// EXIF, XMP and IPTC from the saved APP1 and APP13 segments (ICC is read by libjpeg).
Metadata metadataFromMarkers(const jpeg_decompress_struct* ci) {
    Metadata meta;
    Bytes photoshop;
    for (auto* m = ci->marker_list; m; m = m->next) {
        const ByteView data(m->data, m->data_length);
        if (m->marker == JPEG_APP0 + 1 && meta.exif.empty()
            && blocks::startsWith(data, blocks::kExifHeader)) {
            const auto exif = data.subspan(blocks::kExifHeader.size());
            meta.exif.assign(exif.begin(), exif.end());
        } else if (m->marker == JPEG_APP0 + 1 && meta.xmp.empty()
            && blocks::startsWith(data, blocks::kXmpHeader)) {
            const auto xmp = data.subspan(blocks::kXmpHeader.size());
            meta.xmp.assign(xmp.begin(), xmp.end());
        } else if (m->marker == JPEG_APP0 + 13
            && blocks::startsWith(data, blocks::kPhotoshopHeader)) {
            // Large resource blocks continue in the next APP13 segment.
            const auto res = data.subspan(blocks::kPhotoshopHeader.size());
            photoshop.insert(photoshop.end(), res.begin(), res.end());
        }
    }
    meta.iptc = blocks::iptcFromPhotoshopResources(photoshop);
    return meta;
}

void setDpiFromJfif(const jpeg_decompress_struct* ci, Bitmap& bmp) {
    if (!ci->saw_JFIF_marker || ci->X_density == 0 || ci->Y_density == 0) return;
    if (ci->density_unit == 1)
        bmp.setDpi(ci->X_density, ci->Y_density);
    else if (ci->density_unit == 2)
        bmp.setDpi(ci->X_density * 2.54, ci->Y_density * 2.54);
}

/// Adobe writes CMYK JPEGs with inverted samples (0 = full ink); the engine's 0 is no ink.
void invertRows(Bitmap& bmp, int y0, int y1) {
    for (int y = y0; y < y1; ++y) {
        std::uint8_t* p = bmp.mutableScanline(y);
        for (std::size_t i = 0; i < bmp.rowBytes(); ++i)
            p[i] = std::uint8_t(255 - p[i]);
    }
}

/// Decodes every row strip by strip, straight into the strips' memory.
void decodeRows(JpegSession<jpeg_decompress_struct>& dec, Bitmap& bmp) {
    auto* ci = dec.info();
    const int h = bmp.height();
    const int stripRows = bmp.colorPlane().stripRows();
    const bool invert = bmp.pixelFormat() == PixelFormat::Cmyk32 && ci->saw_Adobe_marker;
    std::vector<JSAMPROW> rows(static_cast<std::size_t>(stripRows), nullptr);
    bool stalled = false;
    for (int y0 = 0; y0 < h; y0 += stripRows) {
        const int y1 = std::min(h, y0 + stripRows);
        for (int y = y0; y < y1; ++y)
            rows[y - y0] = bmp.mutableScanline(y);
        dec.run([&] {
            while (!stalled && ci->output_scanline < JDIMENSION(y1)) {
                const JDIMENSION done = ci->output_scanline;
                stalled = jpeg_read_scanlines(ci, rows.data() + (done - y0), y1 - done) == 0;
            }
        });
        if (stalled) throw Error("Corrupt or truncated JPEG file (no more image data)");
        if (invert) invertRows(bmp, y0, y1);
    }
}

class JpegCodec final : public Codec {
public:
    std::string name() const override { return "JPEG"; }
    std::vector<std::string> extensions() const override {
        return { ".jpg", ".jpeg", ".jpe", ".jif", ".jfif" };
    }
    bool matches(std::span<const std::uint8_t> head) const override {
        return head.size() >= 3 && head[0] == 0xFF && head[1] == 0xD8 && head[2] == 0xFF;
    }
    bool embedsMetadata() const override { return true; }

    DecodedImage read(const std::string& path, const ReadOptions&) const override;
    void write(const std::string& path, const Bitmap& bitmap, const FormatParams& params,
        const Metadata& metadata) const override;
};

DecodedImage JpegCodec::read(const std::string& path, const ReadOptions&) const {
    StdioFile file(path, "rb");
    JpegSession<jpeg_decompress_struct> dec("Corrupt or truncated JPEG file", destroyDecompress);
    auto* ci = dec.info();
    dec.run([&] { jpeg_create_decompress(ci); });
    dec.markCreated();
    jpeg_progress_mgr progress {};
    progress.progress_monitor = limitScans;
    ci->progress = &progress;
    dec.run([&] {
        jpeg_stdio_src(ci, file.get());
        for (int app : { 1, 2, 13 })
            jpeg_save_markers(ci, JPEG_APP0 + app, 0xFFFF);
        jpeg_read_header(ci, TRUE);
    });
    Plane::checkSize(ci->image_width, ci->image_height);

    DecodedImage out;
    out.metadata = metadataFromMarkers(ci);
    JOCTET* icc = nullptr;
    unsigned iccSize = 0;
    dec.run([&] { jpeg_read_icc_profile(ci, &icc, &iccSize); });
    if (icc) {
        out.metadata.iccProfile.assign(icc, icc + iccSize);
        std::free(icc);
    }

    const PixelFormat format = chooseOutput(ci);
    ci->dct_method = JDCT_ISLOW;
    out.bitmap = Bitmap(int(ci->image_width), int(ci->image_height), format);
    setDpiFromJfif(ci, out.bitmap);
    dec.run([&] { jpeg_start_decompress(ci); });
    if (ci->output_components != channelCount(format))
        throw Error("Unsupported JPEG colour layout");
    decodeRows(dec, out.bitmap);
    dec.run([&] { jpeg_finish_decompress(ci); });
    return out;
}

// ---- writing ------------------------------------------------------------------------------

bool paletteIsGrey(const std::vector<Rgb>& pal) {
    return std::all_of(pal.begin(), pal.end(), [](Rgb c) { return c.r == c.g && c.g == c.b; });
}

/// The bitmap in a format libjpeg takes without a conversion pass of ours: grey, RGB, or RGBA
/// (read as RGBX, alpha skipped).
Bitmap jpegInput(const Bitmap& bmp) {
    switch (bmp.pixelFormat()) {
    case PixelFormat::Gray8:
    case PixelFormat::Rgb24:
    case PixelFormat::Rgba32:
        return bmp;
    case PixelFormat::Bw1:
    case PixelFormat::Gray16:
        return convertTo(bmp, PixelFormat::Gray8);
    case PixelFormat::Palette8:
        return convertTo(
            bmp, paletteIsGrey(bmp.palette()) ? PixelFormat::Gray8 : PixelFormat::Rgb24);
    default:
        return convertTo(bmp, PixelFormat::Rgb24);
    }
}

void setInputLayout(jpeg_compress_struct* ci, PixelFormat f) {
    switch (f) {
    case PixelFormat::Gray8:
        ci->input_components = 1;
        ci->in_color_space = JCS_GRAYSCALE;
        break;
    case PixelFormat::Rgba32:
        ci->input_components = 4;
        ci->in_color_space = JCS_EXT_RGBX;
        break;
    default:
        ci->input_components = 3;
        ci->in_color_space = JCS_RGB;
        break;
    }
}

/// Compression settings; called after jpeg_set_defaults.
void applyParams(jpeg_compress_struct* ci, const FormatParams& p, double dpiX, double dpiY) {
    jpeg_set_quality(ci, std::clamp(p.jpegQuality, 1, 100), TRUE);
    if (ci->num_components == 3) {
        const int h = p.jpegSubsampling == ChromaSubsampling::S444 ? 1 : 2;
        const int v = p.jpegSubsampling == ChromaSubsampling::S420 ? 2 : 1;
        ci->comp_info[0].h_samp_factor = h;
        ci->comp_info[0].v_samp_factor = v;
    }
    if (p.jpegProgressive) jpeg_simple_progression(ci);
    ci->optimize_coding = p.jpegOptimizeCoding ? TRUE : FALSE;
    ci->dct_method = JDCT_ISLOW;
    ci->write_JFIF_header = TRUE;
    ci->density_unit = 1;
    ci->X_density = UINT16(std::clamp<long>(std::lround(dpiX), 1, 65535));
    ci->Y_density = UINT16(std::clamp<long>(std::lround(dpiY), 1, 65535));
}

/// The payload of one APP segment: its identifier then the data; empty when there is no data
/// or it does not fit one segment.
Bytes segment(std::string_view header, ByteView data) {
    if (data.empty() || header.size() + data.size() > kMaxMarkerPayload) return {};
    Bytes out(header.begin(), header.end());
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

struct MetadataSegments {
    Bytes exif, xmp, iptc;
};

MetadataSegments segmentsFor(const Metadata& meta) {
    MetadataSegments s;
    s.exif = segment(blocks::kExifHeader, blocks::withoutExifHeader(meta.exif));
    s.xmp = segment(blocks::kXmpHeader,
        ByteView(reinterpret_cast<const std::uint8_t*>(meta.xmp.data()), meta.xmp.size()));
    if (!meta.iptc.empty())
        s.iptc = segment(blocks::kPhotoshopHeader, blocks::photoshopResourcesForIptc(meta.iptc));
    return s;
}

void writeSegment(jpeg_compress_struct* ci, int marker, const Bytes& payload) {
    if (!payload.empty()) jpeg_write_marker(ci, marker, payload.data(), unsigned(payload.size()));
}

void encodeRows(JpegSession<jpeg_compress_struct>& enc, const Bitmap& bmp) {
    auto* ci = enc.info();
    const int h = bmp.height();
    const int stripRows = bmp.colorPlane().stripRows();
    std::vector<JSAMPROW> rows(static_cast<std::size_t>(stripRows), nullptr);
    for (int y0 = 0; y0 < h; y0 += stripRows) {
        const int y1 = std::min(h, y0 + stripRows);
        for (int y = y0; y < y1; ++y) // libjpeg reads input rows only
            rows[y - y0] = const_cast<JSAMPROW>(bmp.scanline(y));
        enc.run([&] {
            while (ci->next_scanline < JDIMENSION(y1)) {
                const JDIMENSION done = ci->next_scanline;
                jpeg_write_scanlines(ci, rows.data() + (done - y0), y1 - done);
            }
        });
    }
}

void JpegCodec::write(const std::string& path, const Bitmap& bitmap, const FormatParams& params,
    const Metadata& metadata) const {
    const Bitmap src = jpegInput(bitmap);
    const MetadataSegments segments = segmentsFor(metadata);
    const double dpiX = params.dpiX > 0 ? params.dpiX : bitmap.dpiX();
    const double dpiY = params.dpiY > 0 ? params.dpiY : bitmap.dpiY();
    StdioFile file(path, "wb");
    JpegSession<jpeg_compress_struct> enc("JPEG encoding failed", destroyCompress);
    auto* ci = enc.info();
    enc.run([&] { jpeg_create_compress(ci); });
    enc.markCreated();
    enc.run([&] {
        jpeg_stdio_dest(ci, file.get());
        ci->image_width = JDIMENSION(src.width());
        ci->image_height = JDIMENSION(src.height());
        setInputLayout(ci, src.pixelFormat());
        jpeg_set_defaults(ci);
        applyParams(ci, params, dpiX, dpiY);
        jpeg_start_compress(ci, TRUE);
        writeSegment(ci, JPEG_APP0 + 1, segments.exif);
        writeSegment(ci, JPEG_APP0 + 1, segments.xmp);
        if (!metadata.iccProfile.empty())
            jpeg_write_icc_profile(
                ci, metadata.iccProfile.data(), unsigned(metadata.iccProfile.size()));
        writeSegment(ci, JPEG_APP0 + 13, segments.iptc);
    });
    encodeRows(enc, src);
    enc.run([&] { jpeg_finish_compress(ci); });
    file.close();
}

} // namespace

std::shared_ptr<const Codec> makeJpegCodec() {
    return std::make_shared<JpegCodec>();
}

} // namespace ie::io
