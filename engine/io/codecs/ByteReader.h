// Bounds-checked reading of a file held in memory, for the codecs that parse formats by hand.
#pragma once

#include "../../imaging/Error.h"

#include <cstdint>
#include <cstring>
#include <span>
#include <string>

namespace ie::io {

/// Reads little- and big-endian values front to back from a byte span. Every read that would
/// pass the end throws ie::Error ("<format> file is truncated"), so a hostile file can never make
/// a parser read outside its bytes.
class ByteReader {
public:
    ByteReader(std::span<const std::uint8_t> data, const char* format)
        : m_data(data)
        , m_format(format) { }

    std::size_t size() const { return m_data.size(); }
    std::size_t pos() const { return m_pos; }
    std::size_t remaining() const { return m_data.size() - m_pos; }
    bool atEnd() const { return m_pos >= m_data.size(); }
    const char* format() const { return m_format; }

    void seek(std::uint64_t pos) {
        if (pos > m_data.size()) truncated();
        m_pos = std::size_t(pos);
    }
    void skip(std::uint64_t n) { take(n); }

    /// The next `n` bytes, checked to be present; advances past them.
    const std::uint8_t* take(std::uint64_t n) {
        if (n > remaining()) truncated();
        const std::uint8_t* p = m_data.data() + m_pos;
        m_pos += std::size_t(n);
        return p;
    }

    /// A reader over `length` bytes at `offset` of the same data (checked).
    ByteReader sub(std::uint64_t offset, std::uint64_t length) const {
        if (offset > m_data.size() || length > m_data.size() - offset) truncated();
        return ByteReader(m_data.subspan(std::size_t(offset), std::size_t(length)), m_format);
    }
    /// The bytes from the current position to the end.
    std::span<const std::uint8_t> rest() const { return m_data.subspan(m_pos); }

    std::uint8_t u8() { return *take(1); }
    std::uint16_t u16le() {
        const std::uint8_t* p = take(2);
        return std::uint16_t(p[0] | p[1] << 8);
    }
    std::uint32_t u32le() {
        const std::uint8_t* p = take(4);
        return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16
            | std::uint32_t(p[3]) << 24;
    }
    std::int32_t i32le() { return std::int32_t(u32le()); }
    std::uint16_t u16be() {
        const std::uint8_t* p = take(2);
        return std::uint16_t(p[0] << 8 | p[1]);
    }
    std::int16_t i16be() { return std::int16_t(u16be()); }
    std::uint32_t u32be() {
        const std::uint8_t* p = take(4);
        return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8
            | std::uint32_t(p[3]);
    }
    std::uint64_t u64be() {
        const std::uint64_t hi = u32be();
        return hi << 32 | u32be();
    }

    /// Throws the format's truncation error.
    [[noreturn]] void truncated() const {
        throw Error(std::string(m_format) + " file is truncated");
    }
    /// Throws "<format> file is damaged: <what>".
    [[noreturn]] void damaged(const std::string& what) const {
        throw Error(std::string(m_format) + " file is damaged: " + what);
    }

private:
    std::span<const std::uint8_t> m_data;
    const char* m_format;
    std::size_t m_pos = 0;
};

} // namespace ie::io
