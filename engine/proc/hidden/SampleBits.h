// The lowest bits of an image's colour samples as one addressable bit sequence, with the tail kept
// for the encryption record: the store of hidden data and of the encryption check.
#pragma once

#include "imaging/Bitmap.h"

#include <cstdint>

namespace ie::proc {

/// True for the formats whose samples can carry bits: 8- and 16-bit grey, RGB, RGBA and CMYK.
bool holdsSampleBits(PixelFormat format);

/// Bit 0 of every colour sample (alpha excluded), in row order. Works on grey, RGB, RGBA, 48-bit
/// RGB, 16-bit grey and CMYK images; other formats throw ie::Error.
class SampleBits {
public:
    /// Bits at the end of the sequence reserved for the encryption record.
    static constexpr std::int64_t kReservedBits = 42 * 8;

    explicit SampleBits(const Bitmap& image);

    /// Every sample's bit (the reserved tail included).
    std::int64_t count() const { return m_count; }
    bool get(const Bitmap& image, std::int64_t i) const;
    void set(Bitmap& image, std::int64_t i, bool bit) const;

    /// Bytes starting at bit `first`, least significant bit first.
    void read(const Bitmap& image, std::int64_t first, std::uint8_t* out, std::size_t n) const;
    void write(Bitmap& image, std::int64_t first, const std::uint8_t* in, std::size_t n) const;

private:
    // the byte holding sample i's lowest bit (bit 0: 16-bit samples are stored low byte first)
    std::uint8_t* locate(Bitmap& image, std::int64_t i) const;
    const std::uint8_t* locate(const Bitmap& image, std::int64_t i) const;

    int m_samplesPerRow = 0; // colour samples of one row
    int m_sampleBytes = 1;
    int m_pixelSamples = 1; // samples stored per pixel (alpha of RGBA counted)
    int m_colorSamples = 1; // of which colour
    std::int64_t m_count = 0;
};

} // namespace ie::proc
