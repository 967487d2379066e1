// An owned C stream for the codec libraries that read and write through a FILE*.
#pragma once

#include "../../imaging/Error.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

namespace ie::io {

/// Opens `path` (fopen mode) with a large buffer; throws ie::Error naming the file when it can't.
/// Closed by the destructor; close() reports a failed flush of a written file.
class StdioFile {
public:
    StdioFile(const std::string& path, const char* mode)
        : m_path(path)
        , m_file(std::fopen(path.c_str(), mode)) {
        if (!m_file) fail(mode[0] == 'r' ? "Cannot open file \"" : "Cannot create file \"", errno);
        std::setvbuf(m_file, nullptr, _IOFBF, 1 << 18);
    }
    ~StdioFile() {
        if (m_file) std::fclose(m_file);
    }
    StdioFile(const StdioFile&) = delete;
    StdioFile& operator=(const StdioFile&) = delete;

    std::FILE* get() const { return m_file; }

    /// Flushes and closes; throws when buffered data could not be written (disk full).
    void close() {
        std::FILE* f = m_file;
        m_file = nullptr;
        const bool failed = std::ferror(f) != 0;
        if (std::fclose(f) != 0 || failed) fail("Cannot write file \"", errno);
    }

private:
    [[noreturn]] void fail(const char* what, int err) const {
        throw Error(what + m_path + "\". " + std::strerror(err));
    }

    std::string m_path;
    std::FILE* m_file;
};

} // namespace ie::io
