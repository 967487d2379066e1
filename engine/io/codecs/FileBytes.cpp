#include "FileBytes.h"

#include "../../imaging/Error.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <sys/stat.h>

namespace ie::io {

namespace {
struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
} // namespace

FileBytes::FileBytes(const std::string& path, std::size_t maxBytes) {
    const std::unique_ptr<std::FILE, FileCloser> f(std::fopen(path.c_str(), "rb"));
    if (!f) throw Error("Cannot open file \"" + path + "\". " + std::strerror(errno));
    struct stat st { };
    if (::fstat(::fileno(f.get()), &st) != 0 || !S_ISREG(st.st_mode))
        throw Error("Cannot read file \"" + path + "\"");
    if (std::uint64_t(st.st_size) > maxBytes) throw Error("File too large: " + path);
    m_size = std::size_t(st.st_size);
    m_buffer = BufferPool::instance().acquire(m_size ? m_size : 1);
    if (std::fread(m_buffer->data(), 1, m_size, f.get()) != m_size)
        throw Error("Cannot read file \"" + path + "\"");
}

} // namespace ie::io
