#include "imaging/Parallel.h"

#include <atomic>
#include <gtest/gtest.h>
#include <stdexcept>
#include <vector>

TEST(Parallel, CoversEveryIndexOnceAndRethrows) {
    std::vector<std::atomic<int>> hits(10007);
    ie::parallelFor(
        0, int(hits.size()),
        [&](int b, int e) {
            for (int i = b; i < e; ++i)
                hits[i]++;
        },
        1);
    for (auto& h : hits)
        ASSERT_EQ(h.load(), 1);

    EXPECT_THROW(ie::parallelFor(
                     0, 1000,
                     [](int b, int) {
                         if (b > 500) throw std::runtime_error("x");
                     },
                     1),
        std::runtime_error);

    // Nested calls run inline instead of deadlocking.
    std::atomic<int> total { 0 };
    ie::parallelFor(
        0, 100,
        [&](int b, int e) {
            ie::parallelFor(
                b, e, [&](int b2, int e2) { total += e2 - b2; }, 1);
        },
        1);
    EXPECT_EQ(total.load(), 100);
}
