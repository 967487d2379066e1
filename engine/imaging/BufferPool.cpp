#include "BufferPool.h"

#include "Error.h"

#include <cstdlib>
#include <map>
#include <mutex>
#include <new>
#include <sys/mman.h>
#include <vector>

namespace ie {

namespace {
constexpr std::size_t kHugePage = 2u << 20;
constexpr std::size_t kSmallAlign = 64;
constexpr std::size_t kLargeThreshold = 1u << 20;

std::size_t roundedCapacity(std::size_t bytes) {
    if (bytes >= kLargeThreshold) return (bytes + kHugePage - 1) / kHugePage * kHugePage;
    // Small blocks in 4 KiB steps so that similar sizes share pool slots.
    return (bytes + 4095) / 4096 * 4096;
}

std::uint8_t* allocateBlock(std::size_t capacity) {
    const std::size_t align = capacity >= kLargeThreshold ? kHugePage : kSmallAlign;
    void* p = std::aligned_alloc(align, capacity);
    if (!p) throw Error("Out of memory: cannot allocate " + std::to_string(capacity >> 20) + " MB");
#ifdef MADV_HUGEPAGE
    if (capacity >= kLargeThreshold) madvise(p, capacity, MADV_HUGEPAGE);
#endif
    return static_cast<std::uint8_t*>(p);
}
} // namespace

struct BufferPool::Impl {
    mutable std::mutex mutex;
    std::multimap<std::size_t, std::uint8_t*> free;
    std::size_t pooled = 0;
    std::size_t maxPooled = std::size_t(768) << 20;
};

PixelBuffer::~PixelBuffer() {
    BufferPool::instance().release(m_data, m_capacity);
}

BufferPool::BufferPool()
    : m_impl(std::make_unique<Impl>()) { }

BufferPool& BufferPool::instance() {
    // Never destroyed: buffers may be released during static destruction.
    static BufferPool* pool = new BufferPool;
    return *pool;
}

PixelBufferPtr BufferPool::acquire(std::size_t bytes) {
    const std::size_t capacity = roundedCapacity(bytes ? bytes : 1);
    {
        std::lock_guard lock(m_impl->mutex);
        auto it = m_impl->free.find(capacity);
        if (it != m_impl->free.end()) {
            std::uint8_t* data = it->second;
            m_impl->free.erase(it);
            m_impl->pooled -= capacity;
            return std::make_shared<PixelBuffer>(data, capacity);
        }
    }
    return std::make_shared<PixelBuffer>(allocateBlock(capacity), capacity);
}

void BufferPool::release(std::uint8_t* data, std::size_t capacity) {
    {
        std::lock_guard lock(m_impl->mutex);
        if (m_impl->pooled + capacity <= m_impl->maxPooled) {
            m_impl->free.emplace(capacity, data);
            m_impl->pooled += capacity;
            return;
        }
    }
    std::free(data);
}

std::size_t BufferPool::pooledBytes() const {
    std::lock_guard lock(m_impl->mutex);
    return m_impl->pooled;
}

void BufferPool::trim() {
    std::vector<std::uint8_t*> blocks;
    {
        std::lock_guard lock(m_impl->mutex);
        for (auto& [size, p] : m_impl->free)
            blocks.push_back(p);
        m_impl->free.clear();
        m_impl->pooled = 0;
    }
    for (auto* p : blocks)
        std::free(p);
}

void BufferPool::setMaxPooledBytes(std::size_t bytes) {
    std::lock_guard lock(m_impl->mutex);
    m_impl->maxPooled = bytes;
}

} // namespace ie
