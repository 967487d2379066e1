#include "ParallelDeflate.h"

#include "../imaging/Error.h"
#include "../imaging/Parallel.h"

#include <algorithm>
#include <cstring>
#include <vector>
#include <zlib.h>

namespace ie {

namespace {

// A raw deflater per thread, reset for every chunk instead of being built anew.
class Deflater {
public:
    Deflater() {
        std::memset(&m_z, 0, sizeof m_z);
        m_ok = deflateInit2(
                   &m_z, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY)
            == Z_OK;
    }
    ~Deflater() {
        if (m_ok) deflateEnd(&m_z);
    }
    Deflater(const Deflater&) = delete;
    Deflater& operator=(const Deflater&) = delete;

    z_stream& stream() {
        if (!m_ok || deflateReset(&m_z) != Z_OK) throw Error("Not enough memory to compress");
        return m_z;
    }

private:
    z_stream m_z;
    bool m_ok = false;
};

// The compressed bytes of one chunk. Buffers are kept from batch to batch: fresh memory is
// slow to touch.
struct ChunkOutput {
    std::vector<std::uint8_t> bytes;
    std::size_t used = 0;
    std::size_t inputBytes = 0;
    uLong adler = 1;

    void makeRoom(z_stream& z) {
        if (bytes.size() - used < 64 << 10)
            bytes.resize(std::max<std::size_t>(bytes.size() * 2, 1 << 20));
        z.next_out = bytes.data() + used;
        z.avail_out = static_cast<uInt>(std::min<std::size_t>(bytes.size() - used, 1u << 30));
    }
    // Runs deflate with `flush` until it has consumed its input (and finished, for Z_FINISH).
    void pump(z_stream& z, int flush) {
        for (;;) {
            makeRoom(z);
            const uInt room = z.avail_out;
            const int rc = deflate(&z, flush);
            used += room - z.avail_out;
            if (rc == Z_STREAM_ERROR) throw Error("Compression failed");
            if (flush == Z_FINISH ? rc == Z_STREAM_END : (z.avail_in == 0 && z.avail_out > 0))
                return;
        }
    }
};

void compressChunk(int index, bool last, const ChunkFeeder& feed, ChunkOutput& out) {
    thread_local Deflater deflater;
    z_stream& z = deflater.stream();
    out.used = 0;
    out.inputBytes = 0;
    out.adler = adler32(0, nullptr, 0);
    feed(index, [&](const std::uint8_t* data, std::size_t n) {
        while (n > 0) {
            const auto step = static_cast<uInt>(std::min<std::size_t>(n, 1u << 30));
            out.adler = adler32(out.adler, data, step);
            out.inputBytes += step;
            z.next_in = const_cast<Bytef*>(data);
            z.avail_in = step;
            out.pump(z, Z_NO_FLUSH);
            data += step;
            n -= step;
        }
    });
    z.next_in = nullptr;
    z.avail_in = 0;
    out.pump(z, last ? Z_FINISH : Z_SYNC_FLUSH);
}

} // namespace

std::int64_t writeZlibStream(StreamWriter& out, int chunkCount, const ChunkFeeder& feed) {
    const std::int64_t start = out.position();
    static const std::uint8_t header[2] = { 0x78, 0x9C }; // deflate, 32 KiB window, default level
    out.bytes(header, 2);
    uLong adler = adler32(0, nullptr, 0);
    if (chunkCount <= 0) { // still a complete stream: one empty final block
        std::vector<ChunkOutput> none(1);
        compressChunk(
            0, true, [](int, const auto&) {}, none[0]);
        out.bytes(none[0].bytes.data(), none[0].used);
    }
    // A few chunks per core at a time bounds the memory held for compressed output.
    const int batch = std::max(1, threadCount() * 4);
    std::vector<ChunkOutput> outputs(std::size_t(std::min(batch, std::max(chunkCount, 1))));
    for (int first = 0; first < chunkCount; first += batch) {
        const int n = std::min(batch, chunkCount - first);
        parallelFor(
            0, n,
            [&](int b, int e) {
                for (int i = b; i < e; ++i)
                    compressChunk(first + i, first + i == chunkCount - 1, feed, outputs[i]);
            },
            1);
        for (int i = 0; i < n; ++i) {
            out.bytes(outputs[i].bytes.data(), outputs[i].used);
            adler = adler32_combine(adler, outputs[i].adler, z_off_t(outputs[i].inputBytes));
        }
    }
    const std::uint8_t trailer[4] = { std::uint8_t(adler >> 24), std::uint8_t(adler >> 16),
        std::uint8_t(adler >> 8), std::uint8_t(adler) };
    out.bytes(trailer, 4);
    return out.position() - start;
}

} // namespace ie
