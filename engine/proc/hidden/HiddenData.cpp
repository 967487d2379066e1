#include "proc/hidden/HiddenData.h"

#include "imaging/Error.h"
#include "proc/hidden/SampleBits.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <string>

namespace ie::proc {

namespace {

constexpr std::array<std::uint8_t, 4> kMagic { 'V', 'S', 'T', 'H' };
constexpr std::size_t kHeaderBytes = 12; // magic, length, CRC-32 of the data

std::uint32_t crcOf(const std::vector<std::uint8_t>& data) {
    return std::uint32_t(crc32(crc32(0, nullptr, 0), data.data(), uInt(data.size())));
}

void putU32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = std::uint8_t(v >> (8 * i));
}

std::uint32_t getU32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16
        | std::uint32_t(p[3]) << 24;
}

bool canHold(const Bitmap& image) {
    return holdsSampleBits(image.pixelFormat()) && !image.isNull();
}

} // namespace

std::int64_t hiddenDataCapacity(const Bitmap& image) {
    if (!canHold(image)) return 0;
    const SampleBits bits(image);
    const std::int64_t bytes = (bits.count() - SampleBits::kReservedBits) / 8;
    return std::max<std::int64_t>(0, std::min<std::int64_t>(bytes - kHeaderBytes, UINT32_MAX));
}

void writeHiddenData(Bitmap& image, const std::vector<std::uint8_t>& data) {
    const SampleBits bits(image); // throws for formats without room
    const std::int64_t capacity = hiddenDataCapacity(image);
    if (std::int64_t(data.size()) > capacity)
        throw Error("The hidden data needs " + std::to_string(data.size())
            + " bytes but the image holds only " + std::to_string(capacity) + ".");
    std::uint8_t header[kHeaderBytes];
    std::memcpy(header, kMagic.data(), 4);
    putU32(header + 4, std::uint32_t(data.size()));
    putU32(header + 8, crcOf(data));
    bits.write(image, 0, header, kHeaderBytes);
    bits.write(image, kHeaderBytes * 8, data.data(), data.size());
}

std::optional<std::vector<std::uint8_t>> readHiddenData(const Bitmap& image) {
    if (hiddenDataCapacity(image) <= 0) return std::nullopt;
    const SampleBits bits(image);
    std::uint8_t header[kHeaderBytes];
    bits.read(image, 0, header, kHeaderBytes);
    if (std::memcmp(header, kMagic.data(), 4) != 0) return std::nullopt;
    const std::uint32_t length = getU32(header + 4);
    if (std::int64_t(length) > hiddenDataCapacity(image)) return std::nullopt;
    std::vector<std::uint8_t> data(length);
    bits.read(image, kHeaderBytes * 8, data.data(), data.size());
    if (crcOf(data) != getU32(header + 8)) return std::nullopt;
    return data;
}

} // namespace ie::proc
