// Tests of hidden data and pixel encryption: round trips, capacity, absence, wrong passwords.
#include "imaging/Error.h"
#include "proc/hidden/Encryption.h"
#include "proc/hidden/HiddenData.h"
#include "proc/hidden/SampleBits.h"
#include "support/TestImages.h"

#include <gtest/gtest.h>

using namespace ie;

namespace {

std::vector<std::uint8_t> bytesOf(const std::string& s) {
    return { s.begin(), s.end() };
}

} // namespace

TEST(HiddenData, RoundTripsInEveryFormatAndChangesOnlyLowBits) {
    for (PixelFormat f : { PixelFormat::Rgb24, PixelFormat::Gray8, PixelFormat::Rgba32,
             PixelFormat::Rgb48, PixelFormat::Cmyk32 }) {
        SCOPED_TRACE(int(f));
        Bitmap b = vst::test::noise(40, 30, f);
        const Bitmap before = b;
        const auto text = bytesOf("a\r\nb\r\n");
        proc::writeHiddenData(b, text);
        EXPECT_EQ(proc::readHiddenData(b), text);
        // one unit per sample; CMYK shown as RGB may move by two
        EXPECT_LE(vst::test::maxRgbaDiff(b, before), f == PixelFormat::Cmyk32 ? 2 : 1);
    }
    Bitmap b = vst::test::noise(40, 30, PixelFormat::Rgb24);
    proc::writeHiddenData(b, bytesOf("first, longer text"));
    proc::writeHiddenData(b, bytesOf("second"));
    EXPECT_EQ(proc::readHiddenData(b), bytesOf("second"));
    proc::writeHiddenData(b, {});
    EXPECT_EQ(proc::readHiddenData(b), std::vector<std::uint8_t> {});
}

TEST(HiddenData, CapacityLimitsAndAbsenceIsReported) {
    Bitmap b = vst::test::noise(20, 20, PixelFormat::Rgb24);
    const std::int64_t capacity = proc::hiddenDataCapacity(b);
    EXPECT_EQ(capacity, (1200 - proc::SampleBits::kReservedBits) / 8 - 12);
    EXPECT_NO_THROW(proc::writeHiddenData(b, std::vector<std::uint8_t>(std::size_t(capacity), 7)));
    EXPECT_THROW(
        proc::writeHiddenData(b, std::vector<std::uint8_t>(std::size_t(capacity) + 1)), Error);
    EXPECT_FALSE(proc::readHiddenData(vst::test::noise(50, 40, PixelFormat::Rgb24)).has_value());
    Bitmap white(50, 40, PixelFormat::Gray8);
    white.fill({ 255, 255, 255, 255 });
    EXPECT_FALSE(proc::readHiddenData(white).has_value());
    // a damaged payload fails its checksum instead of returning junk
    Bitmap d = vst::test::noise(40, 30, PixelFormat::Rgb24);
    proc::writeHiddenData(d, bytesOf("secret"));
    d.mutableScanline(0)[40] ^= 1; // a bit of the data, past the 96 header bits
    EXPECT_FALSE(proc::readHiddenData(d).has_value());
    Bitmap pal(10, 10, PixelFormat::Palette8);
    EXPECT_EQ(proc::hiddenDataCapacity(pal), 0);
    EXPECT_THROW(proc::writeHiddenData(pal, bytesOf("x")), Error);
    EXPECT_EQ(proc::hiddenDataCapacity(Bitmap(1, 3, PixelFormat::Gray8)), 0);
}

TEST(Encryption, RoundTripScramblesAndKeepsHiddenData) {
    using proc::PixelCipher;
    for (auto [cipher, f] : { std::pair { PixelCipher::ChaCha20, PixelFormat::Rgb24 },
             std::pair { PixelCipher::Aes256Ctr, PixelFormat::Rgb24 },
             std::pair { PixelCipher::ChaCha20, PixelFormat::Rgba32 },
             std::pair { PixelCipher::Aes256Ctr, PixelFormat::Rgb48 } }) {
        {
            SCOPED_TRACE(int(f) * 10 + int(cipher));
            Bitmap b = vst::test::photoLike(37, 23, f);
            if (f == PixelFormat::Rgb24) proc::writeHiddenData(b, bytesOf("kept"));
            const Bitmap original = b;
            proc::encryptPixels(b, "pässword ", cipher);
            EXPECT_TRUE(proc::isEncrypted(b));
            EXPECT_LT(vst::test::psnr(b, original), 12); // noise, not a picture
            if (f == PixelFormat::Rgba32) {
                EXPECT_EQ(b.pixel(5, 5).a, original.pixel(5, 5).a);
            }
            proc::decryptPixels(b, "pässword ");
            EXPECT_FALSE(proc::isEncrypted(b));
            EXPECT_LE(vst::test::maxRgbaDiff(b, original), 1); // record bits cleared
            EXPECT_GT(vst::test::psnr(b, original), 50);
            if (f == PixelFormat::Rgb24) {
                EXPECT_EQ(proc::readHiddenData(b), bytesOf("kept"));
            }
        }
    }
}

TEST(Encryption, WrongPasswordsAndBadCasesAreRefused) {
    Bitmap b = vst::test::photoLike(30, 20);
    proc::encryptPixels(b, "right");
    const Bitmap encrypted = b;
    EXPECT_THROW(proc::decryptPixels(b, "wrong"), Error);
    EXPECT_THROW(proc::decryptPixels(b, "right "), Error); // a trailing blank counts
    EXPECT_TRUE(b.samePixels(encrypted)); // a refused decryption changes nothing
    EXPECT_THROW(proc::encryptPixels(b, "again"), Error); // already encrypted
    Bitmap plain = vst::test::photoLike(30, 20);
    EXPECT_THROW(proc::decryptPixels(plain, "right"), Error);
    EXPECT_THROW(proc::encryptPixels(plain, "   "), Error);
    EXPECT_THROW(proc::encryptPixels(plain, ""), Error);
    Bitmap tiny(4, 4, PixelFormat::Rgb24);
    EXPECT_THROW(proc::encryptPixels(tiny, "pw"), Error);
    try {
        proc::decryptPixels(b, "wrong");
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "The password is wrong: the image was not decrypted.");
    }
}
