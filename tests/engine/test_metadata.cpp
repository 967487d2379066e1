// EXIF summary and orientation reset, metadata read and written with exiv2, and EXIF carried
// through a JPEG load and save.
#include "imaging/Error.h"
#include "io/ImageIO.h"
#include "io/Metadata.h"
#include "support/TestImages.h"

#include <exiv2/exiv2.hpp>
#include <gtest/gtest.h>

using namespace ie;
using namespace ie::io;
using vst::test::scratchDir;
using vst::test::writeFile;

namespace {

/// An EXIF block as a camera writes it, in either byte order.
std::vector<std::uint8_t> cameraExif(Exiv2::ByteOrder order, int orientation, bool withOriginal) {
    Exiv2::ExifData d;
    d["Exif.Image.Make"] = std::string("Lumetra");
    d["Exif.Image.Model"] = std::string("LX-7");
    d["Exif.Image.Orientation"] = std::uint16_t(orientation);
    d["Exif.Image.Software"] = std::string("Firmware 1.2");
    d["Exif.Image.DateTime"] = std::string("2024:05:06 07:08:09");
    if (withOriginal) d["Exif.Photo.DateTimeOriginal"] = std::string("2024:01:02 03:04:05");
    d["Exif.Photo.ExposureTime"] = Exiv2::URational(1, 250);
    d["Exif.Photo.FNumber"] = Exiv2::URational(28, 10);
    d["Exif.Photo.FocalLength"] = Exiv2::URational(50, 1);
    d["Exif.Photo.ISOSpeedRatings"] = std::uint16_t(400);
    d["Exif.Photo.LensMake"] = std::string("Optika");
    d["Exif.Photo.LensModel"] = std::string("50mm F1.8");
    d["Exif.Photo.PixelXDimension"] = std::uint32_t(6000);
    d["Exif.Photo.PixelYDimension"] = std::uint32_t(4000);
    Exiv2::Blob blob;
    Exiv2::ExifParser::encode(blob, order, d);
    return { blob.begin(), blob.end() };
}

class ExifByteOrder : public ::testing::TestWithParam<Exiv2::ByteOrder> { };

TEST_P(ExifByteOrder, SummaryHasEveryField) {
    Metadata m;
    m.exif = cameraExif(GetParam(), 6, true);
    const ExifSummary s = readExifSummary(m);
    EXPECT_EQ(s.orientation, 6);
    EXPECT_EQ(s.make, "Lumetra");
    EXPECT_EQ(s.model, "LX-7");
    EXPECT_EQ(s.software, "Firmware 1.2");
    EXPECT_EQ(s.dateTime, "2024:01:02 03:04:05");
    EXPECT_EQ(s.lensMake, "Optika");
    EXPECT_EQ(s.lensModel, "50mm F1.8");
    EXPECT_DOUBLE_EQ(s.exposureTime, 1.0 / 250);
    EXPECT_DOUBLE_EQ(s.fNumber, 2.8);
    EXPECT_DOUBLE_EQ(s.focalLength, 50);
    EXPECT_EQ(s.isoSpeed, 400);
    EXPECT_EQ(s.width, 6000);
    EXPECT_EQ(s.height, 4000);
}

TEST_P(ExifByteOrder, OrientationResetKeepsTheRest) {
    Metadata m;
    m.exif = cameraExif(GetParam(), 8, false);
    resetExifOrientation(m);
    const ExifSummary s = readExifSummary(m);
    EXPECT_EQ(s.orientation, 1);
    EXPECT_EQ(s.make, "Lumetra");
    EXPECT_EQ(s.dateTime, "2024:05:06 07:08:09"); // no original date: the file date
    EXPECT_EQ(s.isoSpeed, 400);
}

INSTANTIATE_TEST_SUITE_P(Exif, ExifByteOrder,
    ::testing::Values(Exiv2::littleEndian, Exiv2::bigEndian),
    [](const auto& info) { return info.param == Exiv2::littleEndian ? "II" : "MM"; });

TEST(Exif, XmpOrientationIsResetToo) {
    Metadata m;
    m.xmp = R"(<x:xmpmeta xmlns:x="adobe:ns:meta/"><rdf:RDF )"
            R"(xmlns:rdf="http://www.w3.org/1999/02/22-rdf-syntax-ns#">)"
            R"(<rdf:Description rdf:about="" xmlns:tiff="http://ns.adobe.com/tiff/1.0/" )"
            R"(tiff:Orientation="6"/></rdf:RDF></x:xmpmeta>)";
    resetExifOrientation(m);
    EXPECT_EQ(m.xmp.find("Orientation=\"6\""), std::string::npos) << m.xmp;
    EXPECT_NE(m.xmp.find("Orientation=\"1\""), std::string::npos) << m.xmp;
}

TEST(Exif, DamagedBlocksNeverCrash) {
    const auto good = cameraExif(Exiv2::littleEndian, 6, true);
    const std::vector<std::vector<std::uint8_t>> garbage = {
        { 'I', 'I', 42, 0 },
        { 'M', 'M', 0, 42, 0xFF, 0xFF, 0xFF, 0xF0 },
        { 'I', 'I', 42, 0, 8, 0, 0, 0, 0xFF, 0xFF }, // 65535 entries that are not there
        std::vector<std::uint8_t>(300, 0xA5),
    };
    std::vector<std::vector<std::uint8_t>> all = garbage;
    for (std::size_t n : { 9, 20, 40, 100, 200 }) // cut blocks: whatever exiv2 still finds
        all.emplace_back(good.begin(), good.begin() + std::min(n, good.size()));
    for (std::size_t i = 0; i < all.size(); ++i) {
        Metadata m;
        m.exif = all[i];
        const ExifSummary s = readExifSummary(m);
        if (i < garbage.size()) {
            EXPECT_TRUE(s.make.empty()) << "case " << i;
        }
        EXPECT_GE(s.orientation, 1);
        EXPECT_LE(s.orientation, 8);
        resetExifOrientation(m); // must not throw or crash
        EXPECT_EQ(readExifSummary(m).orientation, 1) << "case " << i;
    }
}

TEST(MetadataFiles, WrittenIntoAPngAndReadBack) {
    const std::string dir = scratchDir("metafile");
    const std::string path = dir + "/a.png";
    saveImage(path, vst::test::photoLike(24, 16));
    Metadata m;
    m.exif = cameraExif(Exiv2::littleEndian, 1, true);
    m.xmp = R"(<x:xmpmeta xmlns:x="adobe:ns:meta/"><rdf:RDF )"
            R"(xmlns:rdf="http://www.w3.org/1999/02/22-rdf-syntax-ns#">)"
            R"(<rdf:Description rdf:about="" xmlns:dc="http://purl.org/dc/elements/1.1/" )"
            R"(dc:format="image/png"/></rdf:RDF></x:xmpmeta>)";
    ASSERT_TRUE(writeMetadataToFile(path, m));
    const Metadata back = readMetadataFromFile(path);
    EXPECT_EQ(readExifSummary(back).model, "LX-7");
    EXPECT_NE(back.xmp.find("image/png"), std::string::npos);
    EXPECT_EQ(loadImage(path).bitmap.width(), 24); // still a valid image
}

TEST(MetadataFiles, FormatsWithoutMetadataAreDeclined) {
    const std::string dir = scratchDir("metanone");
    writeFile(dir + "/a.txt", "just text");
    EXPECT_FALSE(writeMetadataToFile(dir + "/a.txt", {}));
    EXPECT_TRUE(readMetadataFromFile(dir + "/a.txt").isEmpty());
    EXPECT_TRUE(readMetadataFromFile(dir + "/missing.jpg").isEmpty());
    // exiv2 knows BMP but can't write metadata into it.
    std::string bmp = "BM";
    bmp.resize(64, '\0');
    writeFile(dir + "/a.bmp", bmp);
    EXPECT_FALSE(writeMetadataToFile(dir + "/a.bmp", {}));
}

TEST(MetadataFiles, ExifSurvivesJpegLoadAndSaveWithOrientationApplied) {
    const std::string dir = scratchDir("metajpeg");
    Metadata m;
    m.exif = cameraExif(Exiv2::bigEndian, 6, true);
    Bitmap b(40, 20, PixelFormat::Rgb24);
    b.fill({ 0, 0, 255, 255 });
    b.fillRect({ 0, 0, 8, 20 }, { 255, 0, 0, 255 }); // red on the left edge
    saveImage(dir + "/in.jpg", b, {}, m);

    const LoadedImage first = loadImage(dir + "/in.jpg");
    EXPECT_EQ(readExifSummary(first.metadata).orientation, 1);
    EXPECT_EQ(readExifSummary(first.metadata).make, "Lumetra");
    saveImage(dir + "/out.jpg", first.bitmap, {}, first.metadata);
    const LoadedImage second = loadImage(dir + "/out.jpg");
    EXPECT_EQ(readExifSummary(second.metadata).model, "LX-7");
    EXPECT_EQ(readExifSummary(second.metadata).orientation, 1);

    // Orientation 6: the stored left edge is the top of the upright picture.
    ASSERT_EQ(first.bitmap.width(), 20);
    ASSERT_EQ(first.bitmap.height(), 40);
    EXPECT_GT(first.bitmap.pixel(10, 2).r, 200);
    EXPECT_GT(first.bitmap.pixel(10, 30).b, 200);
}

} // namespace
