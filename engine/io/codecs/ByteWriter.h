// Byte output for the hand-written encoders: values into a growing buffer, buffers into a file.
#pragma once

#include "../../imaging/Error.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <span>
#include <string>
#include <vector>

namespace ie::io {

/// Appends little- and big-endian values to a byte vector (headers, compressed rows).
class ByteWriter {
public:
    std::size_t size() const { return m_data.size(); }
    const std::vector<std::uint8_t>& data() const { return m_data; }
    std::vector<std::uint8_t>& data() { return m_data; }
    void clear() { m_data.clear(); }

    void u8(unsigned v) { m_data.push_back(std::uint8_t(v)); }
    void u16le(unsigned v) {
        u8(v & 0xFF);
        u8(v >> 8 & 0xFF);
    }
    void u32le(std::uint32_t v) {
        u16le(v & 0xFFFF);
        u16le(v >> 16);
    }
    void u16be(unsigned v) {
        u8(v >> 8 & 0xFF);
        u8(v & 0xFF);
    }
    void u32be(std::uint32_t v) {
        u16be(v >> 16);
        u16be(v & 0xFFFF);
    }
    void u64be(std::uint64_t v) {
        u32be(std::uint32_t(v >> 32));
        u32be(std::uint32_t(v));
    }
    void bytes(const void* p, std::size_t n) {
        const auto* b = static_cast<const std::uint8_t*>(p);
        m_data.insert(m_data.end(), b, b + n);
    }
    void text(const char* s) { bytes(s, std::strlen(s)); }
    void fill(std::size_t n, std::uint8_t v) { m_data.insert(m_data.end(), n, v); }

    /// Overwrites a 32-bit value written earlier (sizes known only after the data).
    void patchU32le(std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            m_data[at + i] = std::uint8_t(v >> (8 * i));
    }
    void patchU32be(std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            m_data[at + i] = std::uint8_t(v >> (24 - 8 * i));
    }

private:
    std::vector<std::uint8_t> m_data;
};

/// A file written front to back through a large buffer. Throws ie::Error naming the file when
/// it can't be created or the disk refuses a write; close() reports a failed flush.
class FileSink {
public:
    explicit FileSink(const std::string& path)
        : m_path(path)
        , m_file(std::fopen(path.c_str(), "wb")) {
        if (!m_file) fail("Cannot create file");
        std::setvbuf(m_file, nullptr, _IOFBF, 1 << 20);
    }
    ~FileSink() {
        if (m_file) std::fclose(m_file);
    }
    FileSink(const FileSink&) = delete;
    FileSink& operator=(const FileSink&) = delete;

    void write(const void* p, std::size_t n) {
        if (n && std::fwrite(p, 1, n, m_file) != n) fail("Cannot write file");
        m_written += n;
    }
    void write(std::span<const std::uint8_t> bytes) { write(bytes.data(), bytes.size()); }
    void write(const ByteWriter& w) { write(w.data().data(), w.size()); }

    /// Bytes written so far (the offset of the next byte).
    std::uint64_t written() const { return m_written; }

    void close() {
        std::FILE* f = m_file;
        m_file = nullptr;
        if (std::fclose(f) != 0) fail("Cannot write file");
    }

private:
    [[noreturn]] void fail(const char* what) const {
        throw Error(std::string(what) + " \"" + m_path + "\". " + std::strerror(errno));
    }

    std::string m_path;
    std::FILE* m_file;
    std::uint64_t m_written = 0;
};

} // namespace ie::io
