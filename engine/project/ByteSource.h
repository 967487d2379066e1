// Random-access bytes of a project file or buffer, safe to read from several threads at once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace ie {

/// Bytes addressed by offset. Reads never move a shared cursor, so pixel decoders on several
/// threads may read different regions of one source at the same time.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual std::int64_t size() const = 0;
    /// Copies `n` bytes at `offset` into `dst`; throws ie::Error when they are not all there.
    virtual void readAt(std::int64_t offset, void* dst, std::size_t n) const = 0;
    /// The bytes themselves when they are in memory (no copy needed), else null.
    virtual const std::uint8_t* memory() const { return nullptr; }
    /// Named in error messages.
    virtual std::string name() const = 0;
};

/// A file opened read-only (others may read it at the same time).
class FileSource : public ByteSource {
public:
    /// Throws ie::Error "Cannot open file ..." when it can't be opened.
    explicit FileSource(const std::string& path);
    ~FileSource() override;
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    std::int64_t size() const override { return m_size; }
    void readAt(std::int64_t offset, void* dst, std::size_t n) const override;
    std::string name() const override { return m_path; }

private:
    std::string m_path;
    int m_fd = -1;
    std::int64_t m_size = 0;
};

/// Bytes held by the caller, who keeps them alive while the source is used.
class MemorySource : public ByteSource {
public:
    explicit MemorySource(std::span<const std::uint8_t> bytes, std::string name = "buffer")
        : m_bytes(bytes)
        , m_name(std::move(name)) { }

    std::int64_t size() const override { return std::int64_t(m_bytes.size()); }
    void readAt(std::int64_t offset, void* dst, std::size_t n) const override;
    const std::uint8_t* memory() const override { return m_bytes.data(); }
    std::string name() const override { return m_name; }

private:
    std::span<const std::uint8_t> m_bytes;
    std::string m_name;
};

} // namespace ie
