// zlib streams compressed on every core: independent blocks joined into one valid stream.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace ie::io {

/// Produces rows [y0, y1) of raw data into `out` (already sized to (y1 - y0) * rowBytes).
using RowProducer = std::function<void(int y0, int y1, std::uint8_t* out)>;

/// One zlib stream (RFC 1950) of `rows` rows of `rowBytes` bytes each. Bands of rows are
/// produced and deflated in parallel and joined at byte-aligned flush points, so the result
/// inflates like any single stream.
std::vector<std::uint8_t> deflateRows(
    int rows, std::size_t rowBytes, const RowProducer& produce, int level = 6);

} // namespace ie::io
