#include "ParallelDeflate.h"

#include "../../imaging/Error.h"
#include "../../imaging/Parallel.h"

#include <zlib.h>

#include <algorithm>

namespace ie::io {

namespace {

// Large enough that the lost dictionary at each join costs nothing measurable.
constexpr std::size_t kBandBytes = 4u << 20;

struct Band {
    std::vector<std::uint8_t> deflated;
    uLong adler = 1;
    uLong length = 0;
};

/// Raw deflate of one band, ending on a byte boundary (sync flush) or with the final block.
void deflateBand(const std::vector<std::uint8_t>& raw, bool last, int level, Band& band) {
    z_stream z {};
    if (deflateInit2(&z, level, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        throw Error("Cannot start the compressor");
    band.deflated.resize(deflateBound(&z, uLong(raw.size())) + 16);
    z.next_in = const_cast<Bytef*>(raw.data());
    z.avail_in = uInt(raw.size());
    z.next_out = band.deflated.data();
    z.avail_out = uInt(band.deflated.size());
    const int rc = deflate(&z, last ? Z_FINISH : Z_SYNC_FLUSH);
    const std::size_t produced = band.deflated.size() - z.avail_out;
    deflateEnd(&z);
    if (rc == Z_STREAM_ERROR || z.avail_in != 0 || (last && rc != Z_STREAM_END))
        throw Error("Compression failed");
    band.deflated.resize(produced);
    band.adler = adler32(1, raw.data(), uInt(raw.size()));
    band.length = uLong(raw.size());
}

} // namespace

std::vector<std::uint8_t> deflateRows(
    int rows, std::size_t rowBytes, const RowProducer& produce, int level) {
    const int bandRows = int(std::clamp<std::size_t>(
        kBandBytes / std::max<std::size_t>(rowBytes, 1), 1, std::size_t(std::max(rows, 1))));
    const int bandCount = std::max(1, (rows + bandRows - 1) / bandRows);
    std::vector<Band> bands(static_cast<std::size_t>(bandCount));
    parallelFor(
        0, bandCount,
        [&](int b0, int b1) {
            std::vector<std::uint8_t> raw;
            for (int b = b0; b < b1; ++b) {
                const int y0 = b * bandRows, y1 = std::min(rows, y0 + bandRows);
                raw.resize(std::size_t(std::max(0, y1 - y0)) * rowBytes);
                if (y1 > y0) produce(y0, y1, raw.data());
                deflateBand(raw, b == bandCount - 1, level, bands[std::size_t(b)]);
            }
        },
        1);
    std::size_t total = 6;
    for (const Band& b : bands)
        total += b.deflated.size();
    std::vector<std::uint8_t> out;
    out.reserve(total);
    out.push_back(0x78); // deflate, 32K window
    out.push_back(0x9C); // default level; header check bits make 0x789C divisible by 31
    uLong adler = 1;
    for (const Band& b : bands) {
        out.insert(out.end(), b.deflated.begin(), b.deflated.end());
        adler = adler32_combine(adler, b.adler, z_off_t(b.length));
    }
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(std::uint8_t(adler >> shift));
    return out;
}

} // namespace ie::io
