// Spreads row loops over the machine's cores with one persistent worker pool.
#pragma once

#include <functional>

namespace ie {

/// Runs `body(begin, end)` over sub-ranges of [begin, end) on every core, the caller's thread
/// included, and returns when all are done. Ranges shorter than `minChunk` items are not split.
/// The first exception thrown by a body is rethrown here. Nested calls run inline.
void parallelFor(int begin, int end, const std::function<void(int, int)>& body, int minChunk = 16);

/// Number of threads parallelFor uses (hardware concurrency, at least 1).
int threadCount();

/// Limits the threads parallelFor uses (1 = serial); 0 restores the hardware count. For benchmarks.
void setThreadCount(int n);

} // namespace ie
