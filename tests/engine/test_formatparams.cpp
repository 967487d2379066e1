#include "imaging/Error.h"
#include "io/FormatParams.h"
#include "support/TestImages.h"

#include <gtest/gtest.h>

using ie::io::FormatParams;

TEST(FormatParams, TextRoundTripsAndIsStable) {
    FormatParams p;
    p.jpegQuality = 77;
    p.jpegProgressive = true;
    p.jpegSubsampling = ie::io::ChromaSubsampling::S444;
    p.tiffCompression = ie::io::TiffCompression::Deflate;
    p.webpLossless = true;
    p.j2kRate = 12.5;
    p.pdfPaperSize = ie::io::PdfPaperSize::A4;
    const std::string text = p.toText();
    EXPECT_EQ(FormatParams::fromText(text), p);
    EXPECT_EQ(FormatParams::fromText(text).toText(), text);
    EXPECT_NE(text.find("jpeg.quality=77\n"), std::string::npos);
    EXPECT_NE(text.find("j2k.rate=12.5\n"), std::string::npos);
}

TEST(FormatParams, ReadingRules) {
    // Unknown keys are skipped, missing keys keep defaults, out-of-range values are clamped.
    const auto p = FormatParams::fromText(
        "future.key=3\njpeg.quality=500\r\n\n# c\n png.compression = 2 \n");
    EXPECT_EQ(p.jpegQuality, 100);
    EXPECT_EQ(p.pngCompression, 2);
    EXPECT_EQ(p.webpQuality, FormatParams {}.webpQuality);
    EXPECT_THROW(FormatParams::fromText("jpeg.quality=abc\n"), ie::Error);
    EXPECT_THROW(FormatParams::fromText("no equals sign\n"), ie::Error);
}

TEST(FormatParams, FileRoundTrip) {
    const std::string dir = vst::test::scratchDir("formatparams");
    FormatParams p;
    p.pngInterlace = true;
    p.saveToFile(dir + "/formatparams.dt");
    EXPECT_EQ(FormatParams::loadFromFile(dir + "/formatparams.dt"), p);
    EXPECT_THROW(FormatParams::loadFromFile(dir + "/missing.dt"), ie::Error);
}
