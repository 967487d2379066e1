// The library-backed codecs: JPEG 2000, HEIF/AVIF, PDF, camera RAW, the ImageMagick fallback,
// and the QImage exchange.
#include "imaging/Error.h"
#include "imaging/QtImage.h"
#include "io/CodecRegistry.h"
#include "io/ImageIO.h"
#include "io/codecs/PdfWriter.h"
#include "io/codecs/RawExif.h"
#include "io/codecs/RawOptions.h"
#include "support/TestImages.h"

#include <gtest/gtest.h>
#include <libheif/heif.h>
#include <openjpeg.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>
#include <random>

using namespace ie;
using namespace ie::io;
using vst::test::maxRgbaDiff;
using vst::test::noise;
using vst::test::photoLike;
using vst::test::psnr;
using vst::test::readFile;
using vst::test::scratchDir;
using vst::test::withAlpha;
using vst::test::writeFile;

// x265, which makes the HEIC fixture, keeps a few buffers for the life of the process.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libx265\n";
}

namespace {

Bitmap roundTrip(const Bitmap& bmp, const std::string& path, const FormatParams& params = {}) {
    saveImage(path, bmp, params);
    return loadImage(path).bitmap;
}

std::string errorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const Error& e) {
        return e.what();
    }
    return "(no error)";
}

} // namespace

// ---------------------------------------------------------------------------------------------
// JPEG 2000

struct J2kCase {
    const char* name;
    std::function<Bitmap()> make;
};

class Jpeg2000Lossless : public ::testing::TestWithParam<J2kCase> { };

TEST_P(Jpeg2000Lossless, RoundTripsExactlyAsJp2AndCodestream) {
    const Bitmap src = GetParam().make();
    const std::string dir = scratchDir(std::string("j2k-") + GetParam().name);
    for (const char* ext : { ".jp2", ".j2k" }) {
        const Bitmap back = roundTrip(src, dir + "/a" + ext);
        EXPECT_EQ(back.pixelFormat(), src.pixelFormat()) << ext;
        EXPECT_TRUE(back.samePixels(src)) << ext;
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, Jpeg2000Lossless,
    ::testing::Values(J2kCase { "rgb", [] { return noise(37, 23, PixelFormat::Rgb24); } },
        J2kCase { "grey", [] { return noise(5, 41, PixelFormat::Gray8); } },
        J2kCase { "alpha", [] { return withAlpha(noise(33, 17, PixelFormat::Rgb24)); } },
        J2kCase { "rgb48", [] { return noise(19, 13, PixelFormat::Rgb48); } },
        J2kCase { "gray16", [] { return noise(21, 9, PixelFormat::Gray16); } },
        // Several tiles across and down, with partial ones at the edges.
        J2kCase { "tiled", [] { return noise(1030, 1027, PixelFormat::Gray8); } }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Jpeg2000, LossyRateGivesThatRatioAtSaneQuality) {
    const Bitmap src = photoLike(256, 192);
    const std::string path = scratchDir("j2k-lossy") + "/a.jp2";
    FormatParams params;
    params.j2kRate = 20;
    const Bitmap back = roundTrip(src, path, params);
    EXPECT_GT(psnr(src, back), 32);
    const auto raw = std::size_t(256 * 192 * 3);
    EXPECT_LT(std::filesystem::file_size(path), raw / 20 * 12 / 10);
    EXPECT_GT(std::filesystem::file_size(path), raw / 20 / 2);
}

namespace {

// A one-component codestream of any precision, written with OpenJPEG directly.
void writeGreyCodestream(const std::string& path, int prec, bool sgnd, const std::vector<int>& v) {
    const int w = int(v.size()), h = 1;
    opj_cparameters_t p;
    opj_set_default_encoder_parameters(&p);
    p.tcp_numlayers = 1;
    p.tcp_rates[0] = 0;
    p.cp_disto_alloc = 1;
    p.numresolution = 1;
    opj_image_cmptparm_t c;
    std::memset(&c, 0, sizeof c);
    c.dx = c.dy = 1;
    c.w = OPJ_UINT32(w);
    c.h = OPJ_UINT32(h);
    c.prec = OPJ_UINT32(prec);
    c.sgnd = sgnd;
    opj_image_t* img = opj_image_create(1, &c, OPJ_CLRSPC_GRAY);
    img->x1 = OPJ_UINT32(w);
    img->y1 = OPJ_UINT32(h);
    std::copy(v.begin(), v.end(), img->comps[0].data);
    opj_codec_t* codec = opj_create_compress(OPJ_CODEC_J2K);
    ASSERT_TRUE(opj_setup_encoder(codec, &p, img));
    opj_stream_t* s = opj_stream_create_default_file_stream(path.c_str(), OPJ_FALSE);
    ASSERT_TRUE(
        opj_start_compress(codec, img, s) && opj_encode(codec, s) && opj_end_compress(codec, s));
    opj_stream_destroy(s);
    opj_destroy_codec(codec);
    opj_image_destroy(img);
}

} // namespace

TEST(Jpeg2000, OddPrecisionsAreScaledToTheFullRange) {
    struct Case {
        int prec;
        bool sgnd;
        std::vector<int> in;
        PixelFormat format;
        std::vector<int> out;
    };
    const Case cases[] = {
        { 12, false, { 0, 4095, 2048, 1 }, PixelFormat::Gray16, { 0, 65535, 32776, 16 } },
        { 12, true, { -2048, 2047, 0 }, PixelFormat::Gray16, { 0, 65535, 32776 } },
        { 4, false, { 0, 15, 7, 1 }, PixelFormat::Gray8, { 0, 255, 119, 17 } },
    };
    const std::string dir = scratchDir("j2k-prec");
    for (const Case& c : cases) {
        const std::string path
            = dir + "/p" + std::to_string(c.prec) + (c.sgnd ? "s" : "u") + ".j2k";
        writeGreyCodestream(path, c.prec, c.sgnd, c.in);
        const Bitmap bmp = loadImage(path).bitmap;
        ASSERT_EQ(bmp.pixelFormat(), c.format) << path;
        for (std::size_t x = 0; x < c.out.size(); ++x) {
            const std::uint8_t* row = bmp.scanline(0);
            std::uint16_t v16;
            std::memcpy(&v16, row + 2 * x, 2);
            const int got = c.format == PixelFormat::Gray16 ? v16 : row[x];
            EXPECT_EQ(got, c.out[x]) << path << " sample " << x;
        }
    }
}

// ---------------------------------------------------------------------------------------------
// HEIF / AVIF

namespace {

// Encodes each bitmap as a top-level image with libheif; false when there is no encoder.
bool writeHeif(const std::string& path, heif_compression_format format,
    const std::vector<Bitmap>& images, const std::vector<std::uint8_t>& exif) {
    if (!heif_have_encoder_for_format(format)) return false;
    heif_context* ctx = heif_context_alloc();
    heif_encoder* enc = nullptr;
    if (heif_context_get_encoder_for_format(ctx, format, &enc).code != heif_error_Ok) {
        heif_context_free(ctx);
        return false;
    }
    heif_encoder_set_lossy_quality(enc, 95);
    for (const Bitmap& bmp : images) {
        const bool alpha = bmp.hasAlpha();
        heif_image* img = nullptr;
        heif_image_create(bmp.width(), bmp.height(), heif_colorspace_RGB,
            alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB, &img);
        heif_image_add_plane(img, heif_channel_interleaved, bmp.width(), bmp.height(), 8);
        int stride = 0;
        std::uint8_t* plane = heif_image_get_plane(img, heif_channel_interleaved, &stride);
        for (int y = 0; y < bmp.height(); ++y)
            for (int x = 0; x < bmp.width(); ++x) {
                const Rgba c = bmp.pixel(x, y);
                std::uint8_t* p = plane + y * stride + x * (alpha ? 4 : 3);
                p[0] = c.r;
                p[1] = c.g;
                p[2] = c.b;
                if (alpha) p[3] = c.a;
            }
        heif_image_handle* handle = nullptr;
        EXPECT_EQ(heif_context_encode_image(ctx, img, enc, nullptr, &handle).code, heif_error_Ok);
        if (!exif.empty())
            heif_context_add_exif_metadata(ctx, handle, exif.data(), int(exif.size()));
        heif_image_handle_release(handle);
        heif_image_release(img);
    }
    heif_encoder_release(enc);
    const bool ok = heif_context_write_to_file(ctx, path.c_str()).code == heif_error_Ok;
    heif_context_free(ctx);
    return ok;
}

} // namespace

TEST(Heif, PagesPixelsAlphaAndExifOfAvifAndHeic) {
    const struct {
        heif_compression_format format;
        const char* ext;
    } cases[] = { { heif_compression_AV1, ".avif" }, { heif_compression_HEVC, ".heic" } };
    RawShotInfo shot;
    shot.make = "TestCam";
    shot.orientation = 6; // the container's own rotation rules; the tag must not turn it again
    const Bitmap first = photoLike(64, 48);
    Bitmap second = photoLike(32, 40);
    second.addAlphaPlane();
    second.fillRect({ 0, 0, 16, 40 }, { 10, 20, 30, 0 });
    const std::string dir = scratchDir("heif");
    int written = 0;
    for (const auto& c : cases) {
        const std::string path = dir + "/a" + c.ext;
        if (!writeHeif(path, c.format, { first, second }, makeRawExif(shot))) continue;
        ++written;
        EXPECT_EQ(imagePageCount(path), 2) << c.ext;
        const LoadedImage one = loadImage(path);
        ASSERT_EQ(one.bitmap.pixelFormat(), PixelFormat::Rgb24) << c.ext;
        EXPECT_EQ(one.bitmap.width(), 64);
        EXPECT_EQ(one.bitmap.height(), 48);
        EXPECT_GT(psnr(first, one.bitmap), 30) << c.ext;
        EXPECT_EQ(readExifSummary(one.metadata).make, "TestCam") << c.ext;
        EXPECT_EQ(readExifSummary(one.metadata).orientation, 1) << c.ext;

        LoadOptions page2;
        page2.pageIndex = 1;
        const Bitmap two = loadImage(path, page2).bitmap;
        ASSERT_TRUE(two.hasAlphaPlane()) << c.ext;
        EXPECT_EQ(two.width(), 32);
        EXPECT_LT(two.alphaLine(20)[3], 8) << c.ext;
        EXPECT_GT(two.alphaLine(20)[28], 247) << c.ext;

        page2.pageIndex = 2;
        EXPECT_THROW(loadImage(path, page2), Error);
        const std::string bytes = readFile(path);
        writeFile(dir + "/cut" + c.ext, bytes.substr(0, bytes.size() * 2 / 3));
        EXPECT_THROW(loadImage(dir + "/cut" + c.ext), Error) << c.ext;
    }
    if (written == 0) GTEST_SKIP() << "libheif has neither an AV1 nor an HEVC encoder here";
}

TEST(Heif, IsReadOnly) {
    EXPECT_NE(errorOf([] { saveImage(scratchDir("heif-ro") + "/a.heic", photoLike(8, 8)); }),
        "(no error)");
}

// ---------------------------------------------------------------------------------------------
// PDF

TEST(Pdf, ImagePagePlacementAndPaperFitting) {
    struct Case {
        int w, h;
        double dpi;
        PdfPaperSize paper;
        PdfPlacement want;
    };
    const Case cases[] = {
        // The page is the image's printed size.
        { 300, 150, 150, PdfPaperSize::Image, { 144, 72, 0, 0, 144, 72 } },
        // Small images keep their size, centred on the paper.
        { 100, 200, 72, PdfPaperSize::Letter, { 612, 792, 256, 296, 100, 200 } },
        // Large ones shrink into the margins, proportions kept; wide images turn the paper.
        { 4000, 1000, 72, PdfPaperSize::A4, { 841.89, 595.276, 36, 201.40175, 769.89, 192.4725 } },
        { 1000, 4000, 72, PdfPaperSize::A3, { 841.89, 1190.551, 281.126, 36, 279.638, 1118.551 } },
    };
    for (const Case& c : cases) {
        const PdfPlacement p = placeOnPage(c.w, c.h, c.dpi, c.dpi, c.paper);
        const double got[] = { p.pageWidth, p.pageHeight, p.x, p.y, p.width, p.height };
        const double want[] = { c.want.pageWidth, c.want.pageHeight, c.want.x, c.want.y,
            c.want.width, c.want.height };
        for (int i = 0; i < 6; ++i)
            EXPECT_NEAR(got[i], want[i], 0.01) << c.w << "x" << c.h << " field " << i;
    }
}

struct PdfCase {
    const char* name;
    std::function<Bitmap()> make;
    double minPsnr = 35;
};

class PdfFormats : public ::testing::TestWithParam<PdfCase> { };

// The renderer smooths a little even at one to one, so the images are smooth too; a swapped
// channel or byte order would still wreck the PSNR.
TEST_P(PdfFormats, SavedPageRendersBackAtTheImageSize) {
    Bitmap src = GetParam().make();
    src.setDpi(150, 150); // the rendering resolution, so pixels map one to one
    const std::string path = scratchDir(std::string("pdf-") + GetParam().name) + "/a.pdf";
    saveImage(path, src);
    const LoadedImage back = loadImage(path);
    EXPECT_EQ(back.pageCount, 1);
    ASSERT_EQ(back.bitmap.width(), 200);
    ASSERT_EQ(back.bitmap.height(), 100);
    EXPECT_GT(psnr(src, back.bitmap), GetParam().minPsnr);
}

INSTANTIATE_TEST_SUITE_P(Formats, PdfFormats,
    ::testing::Values(PdfCase { "rgb24", [] { return photoLike(200, 100); } },
        PdfCase { "gray8", [] { return photoLike(200, 100, PixelFormat::Gray8); } },
        PdfCase { "gray16", [] { return photoLike(200, 100, PixelFormat::Gray16); } },
        PdfCase { "rgb48", [] { return photoLike(200, 100, PixelFormat::Rgb48); } },
        PdfCase { "palette8",
            [] {
                Bitmap bmp(200, 100, PixelFormat::Palette8);
                std::vector<Rgb> ramp(256);
                for (int i = 0; i < 256; ++i)
                    ramp[std::size_t(i)]
                        = { std::uint8_t(i), std::uint8_t(255 - i), std::uint8_t(i / 2) };
                bmp.setPalette(ramp);
                for (int y = 0; y < 100; ++y)
                    for (int x = 0; x < 200; ++x)
                        bmp.mutableScanline(y)[x] = std::uint8_t(x + y / 2);
                return bmp;
            } },
        PdfCase { "bw1",
            [] {
                Bitmap bmp(200, 100, PixelFormat::Bw1);
                bmp.fill({ 0, 0, 0, 255 });
                for (int y = 0; y < 100; y += 50)
                    for (int x = (y / 50) * 50; x < 200; x += 100)
                        bmp.fillRect({ x, y, 50, 50 }, { 255, 255, 255, 255 });
                return bmp;
            },
            18 }), // block edges are smoothed, each a full 255 off
    [](const auto& info) { return std::string(info.param.name); });

TEST(Pdf, AlphaBecomesASoftMaskOverWhitePaper) {
    Bitmap src(40, 20, PixelFormat::Rgb24);
    src.fill({ 200, 0, 0, 255 });
    src.addAlphaPlane(255);
    src.fillRect({ 0, 0, 20, 20 }, { 200, 0, 0, 0 });
    src.setDpi(150, 150);
    const Bitmap back = roundTrip(src, scratchDir("pdf-alpha") + "/a.pdf");
    EXPECT_EQ(back.pixel(5, 10), (Rgba { 255, 255, 255, 255 }));
    EXPECT_EQ(back.pixel(35, 10), (Rgba { 200, 0, 0, 255 }));
}

namespace {

// A hand-made PDF with the given page sizes (points); the second page is filled red.
std::string multiPagePdf(const std::vector<std::pair<int, int>>& pages) {
    std::vector<std::string> objects;
    std::string kids;
    objects.push_back("<< /Type /Catalog /Pages 2 0 R >>");
    objects.push_back(""); // the page tree, once the kids are known
    for (std::size_t i = 0; i < pages.size(); ++i) {
        const int page = int(3 + 2 * i), content = page + 1;
        kids += std::to_string(page) + " 0 R ";
        objects.push_back("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 "
            + std::to_string(pages[i].first) + " " + std::to_string(pages[i].second)
            + "] /Contents " + std::to_string(content) + " 0 R >>");
        const std::string draw = i == 1 ? "1 0 0 rg 0 0 1000 1000 re f\n" : "";
        objects.push_back(
            "<< /Length " + std::to_string(draw.size()) + " >>\nstream\n" + draw + "\nendstream");
    }
    objects[1]
        = "<< /Type /Pages /Kids [" + kids + "] /Count " + std::to_string(pages.size()) + " >>";
    std::string pdf = "%PDF-1.4\n";
    std::vector<std::size_t> offsets;
    for (std::size_t i = 0; i < objects.size(); ++i) {
        offsets.push_back(pdf.size());
        pdf += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const std::size_t xref = pdf.size();
    pdf += "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (std::size_t off : offsets) {
        char line[24];
        std::snprintf(line, sizeof line, "%010zu 00000 n \n", off);
        pdf += line;
    }
    return pdf + "trailer\n<< /Size " + std::to_string(objects.size() + 1)
        + " /Root 1 0 R >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
}

} // namespace

TEST(Pdf, EveryPageOfAMultiPageDocumentIsReachable) {
    const std::string path = scratchDir("pdf-pages") + "/three.pdf";
    writeFile(path, multiPagePdf({ { 72, 72 }, { 144, 72 }, { 72, 144 } }));
    EXPECT_EQ(imagePageCount(path), 3);
    LoadOptions opt;
    opt.pageIndex = 1;
    const LoadedImage page = loadImage(path, opt);
    EXPECT_EQ(page.pageCount, 3);
    EXPECT_EQ(page.bitmap.width(), 300); // 144 pt at 150 dpi
    EXPECT_EQ(page.bitmap.height(), 150);
    EXPECT_DOUBLE_EQ(page.bitmap.dpiX(), 150);
    EXPECT_EQ(page.bitmap.pixel(150, 75), (Rgba { 255, 0, 0, 255 }));
    opt.pageIndex = 2;
    EXPECT_EQ(loadImage(path, opt).bitmap.height(), 300);
    opt.pageIndex = 3;
    EXPECT_THROW(loadImage(path, opt), Error);
}

// ---------------------------------------------------------------------------------------------
// Camera RAW

TEST(Raw, ImportOptionsMapOntoLibRawParameters) {
    libraw_output_params_t out {};
    applyRawParams(RawParams {}, out);
    EXPECT_EQ(out.half_size, 0);
    EXPECT_EQ(out.four_color_rgb, 0);
    EXPECT_EQ(out.user_qual, 0); // linear
    EXPECT_EQ(out.use_auto_wb, 1);
    EXPECT_EQ(out.use_camera_wb, 1);
    EXPECT_NEAR(out.gamm[0], 1 / 2.222, 1e-9);
    EXPECT_DOUBLE_EQ(out.gamm[1], 4.5);
    EXPECT_EQ(out.no_auto_bright, 1);
    EXPECT_FLOAT_EQ(out.bright, 1.0f);
    EXPECT_EQ(out.output_color, 1); // sRGB
    EXPECT_EQ(out.highlight, 0);
    EXPECT_EQ(out.output_bps, 8);

    RawParams p;
    p.size = RawSize::Half;
    p.fourColorRGB = true;
    p.interpolation = RawInterpolation::DCB;
    p.autoWB = false;
    p.cameraWB = false;
    p.gamma = 2.0;
    p.gammaSlope = 0;
    p.autoBrightness = true;
    p.brightness = 1.7;
    p.colorSpace = RawColorSpace::ProPhoto;
    p.highlight = 12;
    p.outputBits16 = true;
    applyRawParams(p, out);
    EXPECT_EQ(out.half_size, 1);
    EXPECT_EQ(out.four_color_rgb, 1);
    EXPECT_EQ(out.user_qual, 4);
    EXPECT_EQ(out.use_auto_wb, 0);
    EXPECT_EQ(out.use_camera_wb, 0);
    EXPECT_DOUBLE_EQ(out.gamm[0], 0.5);
    EXPECT_DOUBLE_EQ(out.gamm[1], 0);
    EXPECT_EQ(out.no_auto_bright, 0);
    EXPECT_FLOAT_EQ(out.bright, 1.7f);
    EXPECT_EQ(out.output_color, 4);
    EXPECT_EQ(out.highlight, 9); // Rebuild7 is the last
    EXPECT_EQ(out.output_bps, 16);

    p.quickInterpolate = true; // wins over the chosen interpolation
    applyRawParams(p, out);
    EXPECT_EQ(out.user_qual, 0);
}

TEST(Raw, UndecodableFileGivesTheLoadMessage) {
    const std::string path = scratchDir("raw-bad") + "/shot.nef";
    std::string garbage = std::string("II*\0", 4);
    std::mt19937 rng(3);
    for (int i = 0; i < 3000; ++i)
        garbage += char(rng());
    writeFile(path, garbage);
    const auto codec = CodecRegistry::instance().forReading(path);
    EXPECT_EQ(codec->name(), "Camera RAW"); // by extension, although TIFF shares the signature
    EXPECT_EQ(errorOf([&] { codec->read(path, {}); }), "This image could not be loaded.");
    EXPECT_NE(errorOf([&] { loadImage(path); }).find(path), std::string::npos);
}

TEST(Raw, OrdinaryTiffsStayWithTheTiffCodec) {
    const std::string dir = scratchDir("raw-tiff");
    const Bitmap src = noise(9, 7, PixelFormat::Rgb24);
    saveImage(dir + "/plain.tif", src);
    EXPECT_NE(CodecRegistry::instance().forReading(dir + "/plain.tif")->name(), "Camera RAW");
    // Misnamed, and named as a RAW file that LibRaw refuses: the general loader still reads it.
    for (const char* name : { "/plain.dat", "/plain.dng" }) {
        std::filesystem::copy_file(dir + "/plain.tif", dir + name);
        EXPECT_TRUE(loadImage(dir + name).bitmap.samePixels(src)) << name;
    }
}

TEST(Raw, ShotDetailsReachTheExifReaders) {
    RawShotInfo info;
    info.make = "Maker";
    info.model = "Model X";
    info.lensMake = "LensCo";
    info.lensModel = "50mm F1.8";
    info.timestamp = 1'600'000'000;
    info.fNumber = 5.6;
    info.exposureTime = 1.0 / 250;
    info.focalLength = 35.4;
    info.isoSpeed = 400;
    info.width = 6000;
    info.height = 4000;
    Metadata meta;
    meta.exif = makeRawExif(info);
    const ExifSummary s = readExifSummary(meta);
    EXPECT_EQ(s.make, "Maker");
    EXPECT_EQ(s.model, "Model X");
    EXPECT_EQ(s.lensMake, "LensCo");
    EXPECT_EQ(s.lensModel, "50mm F1.8");
    EXPECT_FALSE(s.dateTime.empty());
    EXPECT_NEAR(s.fNumber, 5.6, 1e-6);
    EXPECT_NEAR(s.exposureTime, 0.004, 1e-9);
    EXPECT_NEAR(s.focalLength, 35.4, 1e-6);
    EXPECT_EQ(s.isoSpeed, 400);
    EXPECT_EQ(s.orientation, 1);
}

TEST(Raw, AutoAdjustColorsStretchesEachChannel) {
    Bitmap bmp(100, 10, PixelFormat::Rgb24);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 100; ++x)
            bmp.setPixel(x, y, { std::uint8_t(100 + x / 2), std::uint8_t(20 + x), 128, 255 });
    autoAdjustColors(bmp);
    EXPECT_EQ(bmp.pixel(0, 0), (Rgba { 0, 0, 128, 255 })); // a flat channel stays
    EXPECT_EQ(bmp.pixel(99, 0), (Rgba { 255, 255, 128, 255 }));
    EXPECT_NEAR(bmp.pixel(50, 0).g, 129, 1);
}

// ---------------------------------------------------------------------------------------------
// ImageMagick fallback

struct MagickCase {
    const char* ext;
    PixelFormat format;
    double minPsnr; ///< infinity for formats that must round-trip exactly
};

class MagickRoundTrip : public ::testing::TestWithParam<MagickCase> { };

TEST_P(MagickRoundTrip, SavesAndLoadsBack) {
    const MagickCase c = GetParam();
    const Bitmap src = c.minPsnr > 100 ? noise(23, 17, c.format) : photoLike(64, 48, c.format);
    const std::string path = scratchDir(std::string("magick") + c.ext) + "/a" + c.ext;
    const Bitmap back = roundTrip(src, path);
    ASSERT_EQ(back.width(), src.width());
    ASSERT_EQ(back.height(), src.height());
    if (c.minPsnr > 100)
        EXPECT_EQ(maxRgbaDiff(src, back), 0);
    else
        EXPECT_GT(psnr(src, back), c.minPsnr);
}

INSTANTIATE_TEST_SUITE_P(Formats, MagickRoundTrip,
    ::testing::Values(MagickCase { ".dpx", PixelFormat::Rgb24, INFINITY },
        MagickCase { ".dpx", PixelFormat::Rgb48, 45 },
        MagickCase { ".dcx", PixelFormat::Rgb24, INFINITY },
        MagickCase { ".pict", PixelFormat::Rgb24, INFINITY },
        MagickCase { ".cin", PixelFormat::Rgb24, 45 },
        MagickCase { ".jng", PixelFormat::Rgb24, 30 }),
    [](const auto& info) {
        return std::string(info.param.ext + 1) + "_"
            + std::string(pixelFormatName(info.param.format));
    });

TEST(Magick, SixteenBitDpxKeepsItsDepth) {
    const Bitmap src = noise(11, 7, PixelFormat::Rgb48);
    const Bitmap back = roundTrip(src, scratchDir("magick-dpx16") + "/a.dpx");
    EXPECT_EQ(back.pixelFormat(), PixelFormat::Rgb48);
    EXPECT_TRUE(back.samePixels(src));
}

TEST(Magick, UnsupportedFormatsSaySo) {
    const std::string dir = scratchDir("magick-unsupported");
    const std::string hdp = errorOf([&] { saveImage(dir + "/a.hdp", photoLike(8, 8)); });
    if (hdp.find("not supported") == std::string::npos)
        GTEST_SKIP() << "this ImageMagick can handle HD Photo";
    EXPECT_NE(
        hdp.find("HD Photo (.hdp) files are not supported on this system"), std::string::npos);
    writeFile(dir + "/b.hdp", "II\xBC\x01 some bytes");
    EXPECT_NE(errorOf([&] {
        loadImage(dir + "/b.hdp");
    }).find("HD Photo (.hdp) files are not supported on this system"),
        std::string::npos);
    EXPECT_NE(errorOf([&] {
        saveImage(dir + "/c.dicom", photoLike(8, 8));
    }).find("Writing DICOM files is not supported"),
        std::string::npos);
}

TEST(Magick, TruncatedDpxFailsCleanly) {
    const std::string dir = scratchDir("magick-trunc");
    saveImage(dir + "/a.dpx", photoLike(40, 30));
    const std::string bytes = readFile(dir + "/a.dpx");
    for (const std::size_t n : { std::size_t(4), std::size_t(900), bytes.size() / 2 }) {
        writeFile(dir + "/cut.dpx", bytes.substr(0, n));
        EXPECT_THROW(loadImage(dir + "/cut.dpx"), Error) << n;
    }
}

// ---------------------------------------------------------------------------------------------
// QImage exchange

TEST(QtImage, EveryFormatCrossesWithoutLoss) {
    const PixelFormat direct[] = { PixelFormat::Rgb24, PixelFormat::Rgba32, PixelFormat::Gray8,
        PixelFormat::Gray16, PixelFormat::Palette8, PixelFormat::Bw1, PixelFormat::Rgb48 };
    for (const PixelFormat f : direct) {
        Bitmap src = noise(13, 5, f);
        src.setDpi(300, 150);
        const Bitmap back = fromQImage(toQImage(src));
        EXPECT_EQ(back.pixelFormat(), f) << pixelFormatName(f);
        EXPECT_TRUE(back.samePixels(src)) << pixelFormatName(f);
        EXPECT_DOUBLE_EQ(back.dpiX(), 300);
        EXPECT_DOUBLE_EQ(back.dpiY(), 150);
    }
    // An alpha plane travels as non-premultiplied RGBA.
    const Bitmap alpha = withAlpha(noise(13, 5, PixelFormat::Rgb24));
    const QImage q = toQImage(alpha);
    EXPECT_EQ(q.format(), QImage::Format_RGBA8888);
    EXPECT_EQ(maxRgbaDiff(fromQImage(q), alpha), 0);
    // Qt's other formats arrive converted.
    QImage argb(3, 2, QImage::Format_ARGB32);
    argb.fill(qRgba(10, 20, 30, 255));
    EXPECT_EQ(fromQImage(argb).pixel(2, 1), (Rgba { 10, 20, 30, 255 }));
}
