// Atomic replacement of a file: write a temporary file beside it, then rename it over the target.
#pragma once

#include <string>

namespace ie::io {

/// A temporary path in the target's folder that keeps the target's extension (encoders that
/// choose their format by extension still work). Removed by the destructor unless committed.
class AtomicFile {
public:
    explicit AtomicFile(const std::string& target);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    const std::string& tempPath() const { return m_temp; }
    /// Flushes the temporary file to disk and renames it over the target. Throws ie::Error.
    void commit();

private:
    std::string m_target;
    std::string m_temp;
    bool m_committed = false;
};

} // namespace ie::io
