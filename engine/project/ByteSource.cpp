#include "ByteSource.h"

#include "../imaging/Error.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ie {

namespace {
[[noreturn]] void truncated(const std::string& name) {
    throw Error("The project file \"" + name + "\" is truncated or damaged");
}
} // namespace

FileSource::FileSource(const std::string& path)
    : m_path(path) {
    m_fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (m_fd < 0) throw Error("Cannot open file \"" + path + "\". " + std::strerror(errno));
    struct stat st { };
    const bool statted = ::fstat(m_fd, &st) == 0;
    if (!statted || !S_ISREG(st.st_mode)) {
        const std::string why = statted ? "It is not a regular file" : std::strerror(errno);
        ::close(m_fd);
        throw Error("Cannot open file \"" + path + "\". " + why);
    }
    m_size = st.st_size;
}

FileSource::~FileSource() {
    ::close(m_fd);
}

void FileSource::readAt(std::int64_t offset, void* dst, std::size_t n) const {
    if (offset < 0 || std::uint64_t(offset) + n > std::uint64_t(m_size)) truncated(m_path);
    auto* out = static_cast<char*>(dst);
    while (n > 0) {
        const ssize_t got = ::pread(m_fd, out, n, offset);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) throw Error("Cannot read file \"" + m_path + "\". " + std::strerror(errno));
        if (got == 0) truncated(m_path); // the file shrank while we read it
        out += got;
        offset += got;
        n -= std::size_t(got);
    }
}

void MemorySource::readAt(std::int64_t offset, void* dst, std::size_t n) const {
    if (offset < 0 || std::uint64_t(offset) + n > m_bytes.size()) truncated(m_name);
    if (n > 0) std::memcpy(dst, m_bytes.data() + offset, n);
}

} // namespace ie
