// The memory one load may allocate for what a file claims, so a hostile file can't exhaust RAM.
#pragma once

#include "../imaging/Error.h"

#include <atomic>
#include <cstdint>
#include <string>

namespace ie {

/// A byte allowance shared by everything one load allocates (strings, pixels). Thread-safe:
/// pixel decoders on several threads draw from the same budget.
class MemoryBudget {
public:
    /// The default allows a few full-size layers of the largest bitmap the engine accepts.
    static constexpr std::int64_t kDefaultBytes = std::int64_t(16) << 30;

    explicit MemoryBudget(std::int64_t bytes = kDefaultBytes)
        : m_left(bytes) { }

    /// Takes `bytes` from the allowance; throws ie::Error naming `what` when it is exhausted.
    void take(std::int64_t bytes, const char* what) {
        if (bytes < 0 || m_left.fetch_sub(bytes) < bytes) {
            m_left.fetch_add(bytes < 0 ? 0 : bytes);
            throw Error(
                std::string("The project file needs more memory than allowed (") + what + ")");
        }
    }
    std::int64_t left() const { return m_left.load(); }

private:
    std::atomic<std::int64_t> m_left;
};

} // namespace ie
