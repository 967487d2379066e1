// Little-endian writing of a project stream into a file or a memory buffer.
#pragma once

#include <QString>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace ie {

/// Where written bytes go. Writes are appended; patch() rewrites bytes already written.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    virtual void write(const void* data, std::size_t n) = 0;
    virtual void patch(std::int64_t offset, const void* data, std::size_t n) = 0;
    virtual std::int64_t position() const = 0;
    /// Pushes buffered bytes out; throws ie::Error when the system refuses them.
    virtual void flush() { }
};

/// A file opened for writing at a given offset: 0 creates it anew (truncating), a positive offset
/// keeps the bytes before it and writes from there. Buffered; errors throw ie::Error naming it.
class FileSink : public ByteSink {
public:
    FileSink(const std::string& path, std::int64_t offset);
    ~FileSink() override;
    FileSink(const FileSink&) = delete;
    FileSink& operator=(const FileSink&) = delete;

    void write(const void* data, std::size_t n) override;
    void patch(std::int64_t offset, const void* data, std::size_t n) override;
    std::int64_t position() const override { return m_pos + std::int64_t(m_buffer.size()); }
    void flush() override;
    /// Cuts the file at the current position (drops what an older, longer file held there).
    void truncateHere();

private:
    [[noreturn]] void failWrite(int err) const;

    std::string m_path;
    int m_fd = -1;
    std::int64_t m_pos = 0; // file offset of m_buffer[0]
    std::vector<std::uint8_t> m_buffer;
};

/// Bytes kept in memory.
class MemorySink : public ByteSink {
public:
    void write(const void* data, std::size_t n) override;
    void patch(std::int64_t offset, const void* data, std::size_t n) override;
    std::int64_t position() const override { return std::int64_t(m_bytes.size()); }
    const std::vector<std::uint8_t>& bytes() const { return m_bytes; }
    std::vector<std::uint8_t> take() { return std::move(m_bytes); }

private:
    std::vector<std::uint8_t> m_bytes;
};

/// Typed writes over a sink.
class StreamWriter {
public:
    explicit StreamWriter(ByteSink& sink)
        : m_sink(sink) { }

    std::int64_t position() const { return m_sink.position(); }
    void u8(std::uint8_t v) { m_sink.write(&v, 1); }
    void boolean(bool v) { u8(v ? 1 : 0); }
    void i32(std::int32_t v) { m_sink.write(&v, 4); }
    void f64(double v) { m_sink.write(&v, 8); }
    void bytes(const void* data, std::size_t n) { m_sink.write(data, n); }
    /// An int32 count of UTF-16 units, then the units.
    void wideString(const QString& s);
    /// An int32 byte count, then the bytes.
    void byteArray(const std::vector<std::uint8_t>& data);
    /// Rewrites an int32 written earlier (a length known only afterwards).
    void patchI32(std::int64_t offset, std::int32_t v) { m_sink.patch(offset, &v, 4); }

    ByteSink& sink() { return m_sink; }

private:
    ByteSink& m_sink;
};

} // namespace ie
