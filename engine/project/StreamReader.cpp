#include "StreamReader.h"

#include "../imaging/Error.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace ie {

static_assert(std::endian::native == std::endian::little,
    "project streams are little-endian and read in place");

namespace {
constexpr std::size_t kWindow = 64 << 10;
} // namespace

StreamReader::StreamReader(const ByteSource& source, MemoryBudget& budget, std::int64_t offset)
    : m_source(source)
    , m_budget(budget) {
    seek(offset);
}

void StreamReader::fail(const std::string& problem) const {
    throw Error("The project file \"" + m_source.name() + "\" is damaged: " + problem + " (at byte "
        + std::to_string(m_pos) + ")");
}

void StreamReader::seek(std::int64_t pos) {
    if (pos < 0 || pos > m_source.size()) fail("a position lies outside the file");
    m_pos = pos;
}

void StreamReader::need(std::int64_t n, const char* what) const {
    if (n < 0 || n > remaining()) fail(std::string("the file ends inside ") + what);
}

void StreamReader::fill(std::size_t n) {
    if (m_buffer.empty()) m_buffer.resize(kWindow);
    m_bufferStart = m_pos;
    m_bufferFill = std::size_t(std::min<std::int64_t>(std::int64_t(kWindow), remaining()));
    if (m_bufferFill < n) fail("the file ends too early");
    m_source.readAt(m_pos, m_buffer.data(), m_bufferFill);
}

void StreamReader::bytes(void* dst, std::size_t n) {
    if (std::int64_t(n) > remaining()) fail("the file ends too early");
    if (n == 0) return;
    if (const std::uint8_t* mem = m_source.memory()) {
        std::memcpy(dst, mem + m_pos, n);
    } else if (n >= kWindow / 2) {
        m_source.readAt(m_pos, dst, n);
    } else {
        if (m_pos < m_bufferStart
            || m_pos + std::int64_t(n) > m_bufferStart + std::int64_t(m_bufferFill))
            fill(n);
        std::memcpy(dst, m_buffer.data() + (m_pos - m_bufferStart), n);
    }
    m_pos += std::int64_t(n);
}

std::uint8_t StreamReader::u8() {
    std::uint8_t v;
    bytes(&v, 1);
    return v;
}

std::int32_t StreamReader::i32() {
    std::int32_t v;
    bytes(&v, 4);
    return v;
}

double StreamReader::f64() {
    double v;
    bytes(&v, 8);
    return v;
}

std::int32_t StreamReader::count(std::int64_t elementBytes, const char* what) {
    const std::int32_t n = i32();
    if (n < 0) fail(std::string("negative length of ") + what);
    if (std::int64_t(n) * elementBytes > remaining())
        fail(std::string("the length of ") + what + " passes the end of the file");
    m_budget.take(std::int64_t(n) * elementBytes, what);
    return n;
}

std::vector<std::uint8_t> StreamReader::byteArray(const char* what) {
    std::vector<std::uint8_t> out(std::size_t(count(1, what)));
    bytes(out.data(), out.size());
    return out;
}

QString StreamReader::wideString(const char* what) {
    const std::int32_t n = count(2, what);
    QString s(n, Qt::Uninitialized);
    bytes(s.data(), std::size_t(n) * 2);
    return s;
}

} // namespace ie
