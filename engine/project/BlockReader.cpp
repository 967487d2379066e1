#include "BlockReader.h"

#include "../imaging/Error.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>
#include <zlib.h>

namespace ie {

namespace {

[[noreturn]] void damaged(const ByteSource& source, const char* problem) {
    throw Error("The project file \"" + source.name() + "\" is damaged: " + problem);
}

class StoredBlock : public BlockReader {
public:
    StoredBlock(const ByteSource& source, std::int64_t offset, std::int64_t length)
        : m_source(source)
        , m_pos(offset)
        , m_end(offset + length) { }

    void read(void* dst, std::size_t n) override {
        if (std::int64_t(n) > m_end - m_pos) damaged(m_source, "the pixel data ends too early");
        m_source.readAt(m_pos, dst, n);
        m_pos += std::int64_t(n);
    }
    void skip(std::size_t n) override {
        if (std::int64_t(n) > m_end - m_pos) damaged(m_source, "the pixel data ends too early");
        m_pos += std::int64_t(n);
    }
    std::int64_t maxBytes() const override { return m_end - m_pos; }

private:
    const ByteSource& m_source;
    std::int64_t m_pos;
    std::int64_t m_end;
};

// Deflate can't expand data more than about 1032 times; a bitmap claiming more than this from a
// block of a given size is refused before any allocation.
constexpr std::int64_t kMaxInflateRatio = 1100;
constexpr std::size_t kInputChunk = 256 << 10;

class ZlibBlock : public BlockReader {
public:
    ZlibBlock(const ByteSource& source, std::int64_t offset, std::int64_t length)
        : m_source(source)
        , m_pos(offset)
        , m_end(offset + length) {
        std::memset(&m_z, 0, sizeof m_z);
        if (inflateInit(&m_z) != Z_OK) throw Error("Not enough memory to read the pixel data");
        if (const std::uint8_t* mem = source.memory()) {
            // In memory: inflate straight from the source, no input copies.
            m_direct = mem + offset;
        } else {
            m_input.resize(std::size_t(std::min<std::int64_t>(length, kInputChunk)));
        }
        m_maxBytes = length > std::numeric_limits<std::int64_t>::max() / kMaxInflateRatio
            ? std::numeric_limits<std::int64_t>::max()
            : length * kMaxInflateRatio + 4096;
    }
    ~ZlibBlock() override { inflateEnd(&m_z); }

    void read(void* dst, std::size_t n) override {
        auto* out = static_cast<std::uint8_t*>(dst);
        while (n > 0) {
            const auto step = static_cast<uInt>(std::min<std::size_t>(n, 1u << 30));
            if (inflateInto(out, step) != step) damaged(m_source, "the pixel data ends too early");
            out += step;
            n -= step;
        }
    }

    void finish() override {
        // Reaching the end checks the stream's Adler-32. Trailing output beyond a small
        // allowance is not inflated only to be dropped.
        std::uint8_t scratch[4096];
        for (int i = 0; i < 256 && !m_ended; ++i)
            if (inflateInto(scratch, sizeof scratch) == 0 && !m_ended)
                damaged(m_source, "the pixel data ends too early");
    }

    std::int64_t maxBytes() const override { return m_maxBytes; }

private:
    // Inflates up to n bytes; returns how many came (fewer only at the end of the stream).
    std::size_t inflateInto(std::uint8_t* out, uInt n) {
        m_z.next_out = out;
        m_z.avail_out = n;
        while (m_z.avail_out > 0 && !m_ended) {
            if (m_z.avail_in == 0 && !refill()) break;
            const int rc = inflate(&m_z, Z_NO_FLUSH);
            if (rc == Z_STREAM_END) {
                m_ended = true;
            } else if (rc == Z_DATA_ERROR || rc == Z_NEED_DICT) {
                damaged(m_source, "the pixel data is corrupt");
            } else if (rc == Z_MEM_ERROR) {
                throw Error("Not enough memory to read the pixel data");
            } else if (rc != Z_OK) { // no progress with input and room left: never loop on it
                damaged(m_source, "the pixel data is corrupt");
            }
        }
        return n - m_z.avail_out;
    }

    bool refill() {
        const std::int64_t left = m_end - m_pos;
        if (left <= 0) return false;
        if (m_direct) {
            const auto n = static_cast<uInt>(std::min<std::int64_t>(left, 1 << 30));
            m_z.next_in = const_cast<Bytef*>(m_direct);
            m_z.avail_in = n;
            m_direct += n;
            m_pos += n;
            return true;
        }
        const auto n = std::size_t(std::min<std::int64_t>(left, std::int64_t(m_input.size())));
        m_source.readAt(m_pos, m_input.data(), n);
        m_z.next_in = m_input.data();
        m_z.avail_in = static_cast<uInt>(n);
        m_pos += std::int64_t(n);
        return true;
    }

    const ByteSource& m_source;
    std::int64_t m_pos;
    std::int64_t m_end;
    std::int64_t m_maxBytes = 0;
    z_stream m_z;
    const std::uint8_t* m_direct = nullptr;
    std::vector<std::uint8_t> m_input;
    bool m_ended = false;
};

} // namespace

void BlockReader::skip(std::size_t n) {
    std::uint8_t scratch[4096];
    while (n > 0) {
        const std::size_t step = std::min(n, sizeof scratch);
        read(scratch, step);
        n -= step;
    }
}

std::unique_ptr<BlockReader> BlockReader::open(
    const ByteSource& source, std::int64_t offset, std::int64_t length, bool compressed) {
    if (offset < 0 || length < 0 || offset + length > source.size())
        damaged(source, "a block of pixel data passes the end of the file");
    if (compressed) return std::make_unique<ZlibBlock>(source, offset, length);
    return std::make_unique<StoredBlock>(source, offset, length);
}

} // namespace ie
