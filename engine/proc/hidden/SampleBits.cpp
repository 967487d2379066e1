#include "proc/hidden/SampleBits.h"

#include "imaging/Error.h"

#include <bit>

namespace ie::proc {

bool holdsSampleBits(PixelFormat format) {
    switch (format) {
    case PixelFormat::Gray8:
    case PixelFormat::Rgb24:
    case PixelFormat::Rgba32:
    case PixelFormat::Cmyk32:
    case PixelFormat::Gray16:
    case PixelFormat::Rgb48:
        return true;
    default:
        return false;
    }
}

static_assert(std::endian::native == std::endian::little, "16-bit samples are read low byte first");

SampleBits::SampleBits(const Bitmap& image) {
    const PixelFormat f = image.pixelFormat();
    switch (f) {
    case PixelFormat::Gray8:
    case PixelFormat::Rgb24:
    case PixelFormat::Cmyk32:
    case PixelFormat::Gray16:
    case PixelFormat::Rgb48:
        m_colorSamples = m_pixelSamples = channelCount(f);
        break;
    case PixelFormat::Rgba32:
        m_colorSamples = 3;
        m_pixelSamples = 4;
        break;
    default:
        throw Error("Hidden data and encryption need a grey or full-colour image, not "
            + std::string(pixelFormatDescription(f)) + ".");
    }
    m_sampleBytes = bitsPerSample(f) / 8;
    m_samplesPerRow = image.width() * m_colorSamples;
    m_count = std::int64_t(m_samplesPerRow) * image.height();
}

const std::uint8_t* SampleBits::locate(const Bitmap& image, std::int64_t i) const {
    const int y = int(i / m_samplesPerRow);
    const int s = int(i % m_samplesPerRow);
    const int x = s / m_colorSamples, c = s % m_colorSamples;
    return image.scanline(y) + (std::size_t(x) * m_pixelSamples + c) * m_sampleBytes;
}

std::uint8_t* SampleBits::locate(Bitmap& image, std::int64_t i) const {
    const int y = int(i / m_samplesPerRow);
    const int s = int(i % m_samplesPerRow);
    const int x = s / m_colorSamples, c = s % m_colorSamples;
    return image.mutableScanline(y) + (std::size_t(x) * m_pixelSamples + c) * m_sampleBytes;
}

bool SampleBits::get(const Bitmap& image, std::int64_t i) const {
    return *locate(image, i) & 1;
}

void SampleBits::set(Bitmap& image, std::int64_t i, bool value) const {
    std::uint8_t* p = locate(image, i);
    *p = std::uint8_t((*p & ~1) | int(value));
}

void SampleBits::read(
    const Bitmap& image, std::int64_t first, std::uint8_t* out, std::size_t n) const {
    if (first < 0 || first + std::int64_t(n) * 8 > m_count) throw Error("Read past the image.");
    for (std::size_t k = 0; k < n; ++k) {
        std::uint8_t v = 0;
        for (int b = 0; b < 8; ++b)
            v = std::uint8_t(v | int(get(image, first + std::int64_t(k) * 8 + b)) << b);
        out[k] = v;
    }
}

void SampleBits::write(
    Bitmap& image, std::int64_t first, const std::uint8_t* in, std::size_t n) const {
    if (first < 0 || first + std::int64_t(n) * 8 > m_count) throw Error("Write past the image.");
    for (std::size_t k = 0; k < n; ++k)
        for (int b = 0; b < 8; ++b)
            set(image, first + std::int64_t(k) * 8 + b, (in[k] >> b) & 1);
}

} // namespace ie::proc
