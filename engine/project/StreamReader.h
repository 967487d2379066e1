// Bounds-checked little-endian reading of a project stream, front to back from any offset.
#pragma once

#include "ByteSource.h"
#include "MemoryBudget.h"

#include <QString>
#include <cstdint>
#include <vector>

namespace ie {

/// A cursor over a ByteSource. Every read past the end throws ie::Error, and every count or
/// length taken from the file is checked against the bytes remaining and the memory budget
/// before anything is allocated for it.
class StreamReader {
public:
    StreamReader(const ByteSource& source, MemoryBudget& budget, std::int64_t offset = 0);

    std::int64_t position() const { return m_pos; }
    std::int64_t size() const { return m_source.size(); }
    std::int64_t remaining() const { return m_source.size() - m_pos; }
    /// Moves to `pos` (0 to size); throws outside.
    void seek(std::int64_t pos);
    void skip(std::int64_t n) { seek(m_pos + n); }

    std::uint8_t u8();
    bool boolean() { return u8() != 0; }
    std::int32_t i32();
    double f64();
    void bytes(void* dst, std::size_t n);

    /// Throws, naming `what`, unless `n` more bytes are there.
    void need(std::int64_t n, const char* what) const;
    /// Reads an int32 count of elements of `elementBytes` each and checks it: not negative, the
    /// elements fit in the rest of the stream and in the budget.
    std::int32_t count(std::int64_t elementBytes, const char* what);
    /// An int32 byte count (checked as by count()), then the bytes.
    std::vector<std::uint8_t> byteArray(const char* what);
    /// An int32 count of UTF-16 units, then the units.
    QString wideString(const char* what);

    [[noreturn]] void fail(const std::string& problem) const;

    const ByteSource& source() const { return m_source; }
    MemoryBudget& budget() const { return m_budget; }

private:
    void fill(std::size_t n);

    const ByteSource& m_source;
    MemoryBudget& m_budget;
    std::int64_t m_pos = 0;
    // Small reads from a file go through this window; memory sources are read in place.
    std::vector<std::uint8_t> m_buffer;
    std::int64_t m_bufferStart = 0;
    std::size_t m_bufferFill = 0;
};

} // namespace ie
