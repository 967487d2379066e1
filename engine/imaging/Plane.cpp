#include "Plane.h"

#include "Error.h"

#include <algorithm>
#include <cstring>

namespace ie {

namespace {
// About 2 MB a strip: one huge page, and small enough that a brush stroke copies little.
constexpr std::size_t kStripTarget = 2u << 20;
} // namespace

void Plane::checkSize(std::int64_t width, std::int64_t height) {
    if (width <= 0 || height <= 0)
        throw Error("Invalid image size " + std::to_string(width) + " x " + std::to_string(height));
    if (width > kMaxSide || height > kMaxSide || width * height > kMaxPixels)
        throw Error("Image too large: " + std::to_string(width) + " x " + std::to_string(height)
            + " pixels (the limit is " + std::to_string(kMaxPixels / 1'000'000) + " megapixels)");
}

Plane::Plane(int width, int height, int bitsPerPixel) {
    checkSize(width, height);
    m_width = width;
    m_height = height;
    m_bpp = bitsPerPixel;
    m_rowBytes = (std::size_t(width) * bitsPerPixel + 7) / 8;
    m_stride = (m_rowBytes + 31) / 32 * 32;
    m_stripRows = static_cast<int>(std::clamp<std::size_t>(kStripTarget / m_stride, 1, height));
    const int strips = (height + m_stripRows - 1) / m_stripRows;
    m_strips.reserve(strips);
    for (int s = 0; s < strips; ++s) {
        const int rows = std::min(m_stripRows, height - s * m_stripRows);
        m_strips.push_back(BufferPool::instance().acquire(m_stride * rows));
    }
}

void Plane::detachStrip(int s) {
    const int rows = std::min(m_stripRows, m_height - s * m_stripRows);
    const std::size_t bytes = m_stride * rows;
    auto copy = BufferPool::instance().acquire(bytes);
    std::memcpy(copy->data(), m_strips[s]->data(), bytes);
    m_strips[s] = std::move(copy);
}

void Plane::detach() {
    for (int s = 0; s < stripCount(); ++s)
        if (m_strips[s].use_count() > 1) detachStrip(s);
}

void Plane::detachRows(int y0, int y1) {
    if (isNull() || y1 <= y0) return;
    const int last = std::min(y1 - 1, m_height - 1) / m_stripRows;
    for (int s = std::max(y0, 0) / m_stripRows; s <= last; ++s)
        if (m_strips[s].use_count() > 1) detachStrip(s);
}

bool Plane::sharesStripWith(const Plane& other, int s) const {
    return s < stripCount() && s < other.stripCount() && m_strips[s] == other.m_strips[s];
}

void Plane::fillBytes(std::uint8_t value) {
    for (int s = 0; s < stripCount(); ++s) {
        if (m_strips[s].use_count() > 1) // no need to copy what is about to be overwritten
            m_strips[s] = BufferPool::instance().acquire(m_strips[s]->capacity());
        const int rows = std::min(m_stripRows, m_height - s * m_stripRows);
        std::memset(m_strips[s]->data(), value, m_stride * rows);
    }
}

std::size_t Plane::memoryBytes() const {
    std::size_t total = 0;
    for (const auto& s : m_strips)
        total += s->capacity();
    return total;
}

} // namespace ie
