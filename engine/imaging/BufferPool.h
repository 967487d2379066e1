// Recycled, huge-page friendly pixel buffers: fresh memory is slow to touch, reused memory is not.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace ie {

/// One block of pixel memory. Returned to the pool when the last owner lets go.
class PixelBuffer {
public:
    PixelBuffer(std::uint8_t* data, std::size_t capacity)
        : m_data(data)
        , m_capacity(capacity) { }
    ~PixelBuffer();
    PixelBuffer(const PixelBuffer&) = delete;
    PixelBuffer& operator=(const PixelBuffer&) = delete;

    std::uint8_t* data() const { return m_data; }
    std::size_t capacity() const { return m_capacity; }

private:
    std::uint8_t* m_data;
    std::size_t m_capacity;
};

using PixelBufferPtr = std::shared_ptr<PixelBuffer>;

/// Process-wide pool of pixel buffers. Large blocks are 2 MB aligned and advised as huge pages.
/// Thread-safe.
class BufferPool {
public:
    static BufferPool& instance();

    /// A buffer of at least `bytes` bytes, uninitialised (recycled memory keeps old content).
    PixelBufferPtr acquire(std::size_t bytes);

    /// Bytes currently held free in the pool.
    std::size_t pooledBytes() const;

    /// Frees every pooled block (tests, memory pressure).
    void trim();

    /// Upper bound of free bytes the pool keeps; beyond it released blocks go back to the system.
    void setMaxPooledBytes(std::size_t bytes);

private:
    friend class PixelBuffer;
    BufferPool();
    void release(std::uint8_t* data, std::size_t capacity);
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace ie
