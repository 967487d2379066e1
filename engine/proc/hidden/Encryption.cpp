#include "proc/hidden/Encryption.h"

#include "imaging/Error.h"
#include "imaging/Parallel.h"
#include "proc/hidden/SampleBits.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/rand.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

namespace ie::proc {

namespace {

constexpr std::array<std::uint8_t, 4> kMagic { 'V', 'S', 'T', 'E' };
constexpr std::uint8_t kVersion = 1;
constexpr std::uint32_t kIterations = 100000;

// The record in the reserved bits: magic, version, cipher, iterations, salt, check.
struct Record {
    PixelCipher cipher = PixelCipher::ChaCha20;
    std::uint32_t iterations = kIterations;
    std::array<std::uint8_t, 16> salt {};
    std::array<std::uint8_t, 16> check {};
};
constexpr std::size_t kRecordBytes = 4 + 1 + 1 + 4 + 16 + 16;
static_assert(kRecordBytes * 8 == SampleBits::kReservedBits);

struct Keys {
    std::array<std::uint8_t, 32> key {};
    std::array<std::uint8_t, 16> check {};
    ~Keys() { OPENSSL_cleanse(key.data(), key.size()); }
};

Keys deriveKeys(const std::string& password, const Record& r) {
    std::array<std::uint8_t, 48> out {};
    if (PKCS5_PBKDF2_HMAC(password.data(), int(password.size()), r.salt.data(), int(r.salt.size()),
            int(r.iterations), EVP_sha256(), int(out.size()), out.data())
        != 1)
        throw Error("The encryption key could not be derived from the password.");
    Keys k;
    std::memcpy(k.key.data(), out.data(), 32);
    std::memcpy(k.check.data(), out.data() + 32, 16);
    OPENSSL_cleanse(out.data(), out.size());
    return k;
}

std::int64_t recordStart(const SampleBits& bits) {
    return bits.count() - SampleBits::kReservedBits;
}

std::optional<Record> readRecord(const Bitmap& image, const SampleBits& bits) {
    if (recordStart(bits) < 0) return std::nullopt;
    std::uint8_t raw[kRecordBytes];
    bits.read(image, recordStart(bits), raw, kRecordBytes);
    if (std::memcmp(raw, kMagic.data(), 4) != 0 || raw[4] != kVersion) return std::nullopt;
    Record r;
    r.cipher = PixelCipher(raw[5]);
    if (r.cipher != PixelCipher::ChaCha20 && r.cipher != PixelCipher::Aes256Ctr)
        return std::nullopt;
    r.iterations = std::uint32_t(raw[6]) | std::uint32_t(raw[7]) << 8 | std::uint32_t(raw[8]) << 16
        | std::uint32_t(raw[9]) << 24;
    if (r.iterations == 0 || r.iterations > 10'000'000) return std::nullopt;
    std::memcpy(r.salt.data(), raw + 10, 16);
    std::memcpy(r.check.data(), raw + 26, 16);
    return r;
}

void writeRecord(Bitmap& image, const SampleBits& bits, const Record& r) {
    std::uint8_t raw[kRecordBytes];
    std::memcpy(raw, kMagic.data(), 4);
    raw[4] = kVersion;
    raw[5] = std::uint8_t(r.cipher);
    for (int i = 0; i < 4; ++i)
        raw[6 + i] = std::uint8_t(r.iterations >> (8 * i));
    std::memcpy(raw + 10, r.salt.data(), 16);
    std::memcpy(raw + 26, r.check.data(), 16);
    bits.write(image, recordStart(bits), raw, kRecordBytes);
}

using CipherContext = std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)>;

// Positions the key stream at byte `offset`: the cipher's counter block plus the bytes to skip.
void seek(EVP_CIPHER_CTX* ctx, PixelCipher cipher, const Keys& keys, std::uint64_t offset) {
    std::array<std::uint8_t, 16> iv {};
    std::uint64_t skip;
    if (cipher == PixelCipher::ChaCha20) { // 32-bit little-endian block counter, zero nonce
        const std::uint64_t block = offset / 64;
        for (int i = 0; i < 4; ++i)
            iv[std::size_t(i)] = std::uint8_t(block >> (8 * i));
        skip = offset % 64;
    } else { // 128-bit big-endian counter
        const std::uint64_t block = offset / 16;
        for (int i = 0; i < 8; ++i)
            iv[std::size_t(15 - i)] = std::uint8_t(block >> (8 * i));
        skip = offset % 16;
    }
    const EVP_CIPHER* type = cipher == PixelCipher::ChaCha20 ? EVP_chacha20() : EVP_aes_256_ctr();
    if (EVP_EncryptInit_ex(ctx, type, nullptr, keys.key.data(), iv.data()) != 1)
        throw Error("The cipher could not be started.");
    std::uint8_t dummy[64] = {};
    int n = 0;
    if (skip && EVP_EncryptUpdate(ctx, dummy, &n, dummy, int(skip)) != 1)
        throw Error("The cipher failed.");
}

// XORs the key stream over every colour byte (alpha bytes of RGBA keep their value). The stream
// is addressed by byte position, so rows are independent and spread over the cores.
void applyStream(Bitmap& image, PixelCipher cipher, const Keys& keys) {
    image.detach();
    const std::size_t rowBytes = image.rowBytes();
    const bool rgba = image.pixelFormat() == PixelFormat::Rgba32;
    parallelFor(0, image.height(), [&](int y0, int y1) {
        CipherContext ctx(EVP_CIPHER_CTX_new(), &EVP_CIPHER_CTX_free);
        if (!ctx) throw Error("The cipher could not be started.");
        std::vector<std::uint8_t> stream(rgba ? rowBytes : 0);
        for (int y = y0; y < y1; ++y) {
            seek(ctx.get(), cipher, keys, std::uint64_t(y) * rowBytes);
            std::uint8_t* row = image.mutableScanline(y);
            int n = 0;
            if (!rgba) {
                if (EVP_EncryptUpdate(ctx.get(), row, &n, row, int(rowBytes)) != 1)
                    throw Error("The cipher failed.");
                continue;
            }
            std::fill(stream.begin(), stream.end(), 0);
            if (EVP_EncryptUpdate(ctx.get(), stream.data(), &n, stream.data(), int(rowBytes)) != 1)
                throw Error("The cipher failed.");
            for (std::size_t i = 0; i < rowBytes; ++i)
                if (i % 4 != 3) row[i] ^= stream[i];
        }
    });
}

void checkPassword(const std::string& password) {
    if (std::all_of(password.begin(), password.end(), [](unsigned char c) { return c == ' '; }))
        throw Error("Please specify a password!");
}

} // namespace

void encryptPixels(Bitmap& image, const std::string& password, PixelCipher cipher) {
    checkPassword(password);
    const SampleBits bits(image);
    if (bits.count() < SampleBits::kReservedBits * 2)
        throw Error("The image is too small to be encrypted.");
    if (readRecord(image, bits)) throw Error("The image is already encrypted.");
    Record r;
    r.cipher = cipher;
    if (RAND_bytes(r.salt.data(), int(r.salt.size())) != 1)
        throw Error("No random numbers are available for the encryption.");
    const Keys keys = deriveKeys(password, r);
    r.check = keys.check;
    applyStream(image, cipher, keys);
    writeRecord(image, bits, r);
}

void decryptPixels(Bitmap& image, const std::string& password) {
    checkPassword(password);
    const SampleBits bits(image);
    const std::optional<Record> r = readRecord(image, bits);
    if (!r)
        throw Error("This image is not encrypted, or it was saved in a format that changed its "
                    "pixels.");
    const Keys keys = deriveKeys(password, *r);
    if (CRYPTO_memcmp(keys.check.data(), r->check.data(), keys.check.size()) != 0)
        throw Error("The password is wrong: the image was not decrypted.");
    applyStream(image, r->cipher, keys);
    for (std::int64_t i = recordStart(bits); i < bits.count(); ++i)
        bits.set(image, i, false);
}

bool isEncrypted(const Bitmap& image) {
    if (!holdsSampleBits(image.pixelFormat())) return false;
    const SampleBits bits(image);
    return readRecord(image, bits).has_value();
}

} // namespace ie::proc
