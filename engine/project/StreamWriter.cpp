#include "StreamWriter.h"

#include "../imaging/Error.h"

#include <bit>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <unistd.h>

namespace ie {

static_assert(std::endian::native == std::endian::little,
    "project streams are little-endian and written from memory as they are");

namespace {
constexpr std::size_t kBufferBytes = 1 << 20;

// 0 when every byte was written, else the system's error number.
int writeAll(int fd, const std::uint8_t* data, std::size_t n, std::int64_t offset) {
    while (n > 0) {
        const ssize_t done = ::pwrite(fd, data, n, offset);
        if (done < 0 && errno == EINTR) continue;
        if (done <= 0) return done < 0 ? errno : ENOSPC;
        data += done;
        offset += done;
        n -= std::size_t(done);
    }
    return 0;
}
} // namespace

FileSink::FileSink(const std::string& path, std::int64_t offset)
    : m_path(path)
    , m_pos(offset > 0 ? offset : 0) {
    const int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (offset > 0 ? 0 : O_TRUNC);
    m_fd = ::open(path.c_str(), flags, 0666);
    if (m_fd < 0) throw Error("Cannot create file \"" + path + "\". " + std::strerror(errno));
    m_buffer.reserve(kBufferBytes);
}

FileSink::~FileSink() {
    ::close(m_fd);
}

void FileSink::failWrite(int err) const {
    throw Error("Cannot write file \"" + m_path + "\". " + std::strerror(err));
}

void FileSink::flush() {
    if (int err = writeAll(m_fd, m_buffer.data(), m_buffer.size(), m_pos)) failWrite(err);
    m_pos += std::int64_t(m_buffer.size());
    m_buffer.clear();
}

void FileSink::write(const void* data, std::size_t n) {
    const auto* p = static_cast<const std::uint8_t*>(data);
    if (m_buffer.size() + n > kBufferBytes) {
        flush();
        if (n >= kBufferBytes) { // big blocks go straight to the file
            if (int err = writeAll(m_fd, p, n, m_pos)) failWrite(err);
            m_pos += std::int64_t(n);
            return;
        }
    }
    m_buffer.insert(m_buffer.end(), p, p + n);
}

void FileSink::patch(std::int64_t offset, const void* data, std::size_t n) {
    if (offset >= m_pos) {
        std::memcpy(m_buffer.data() + (offset - m_pos), data, n);
        return;
    }
    flush();
    if (int err = writeAll(m_fd, static_cast<const std::uint8_t*>(data), n, offset)) failWrite(err);
}

void FileSink::truncateHere() {
    flush();
    if (::ftruncate(m_fd, m_pos) != 0) failWrite(errno);
}

void MemorySink::write(const void* data, std::size_t n) {
    const auto* p = static_cast<const std::uint8_t*>(data);
    m_bytes.insert(m_bytes.end(), p, p + n);
}

void MemorySink::patch(std::int64_t offset, const void* data, std::size_t n) {
    std::memcpy(m_bytes.data() + offset, data, n);
}

void StreamWriter::wideString(const QString& s) {
    if (s.size() > std::numeric_limits<std::int32_t>::max())
        throw Error("A text is too long to be saved");
    i32(std::int32_t(s.size()));
    bytes(s.constData(), std::size_t(s.size()) * 2);
}

void StreamWriter::byteArray(const std::vector<std::uint8_t>& data) {
    if (data.size() > std::size_t(std::numeric_limits<std::int32_t>::max()))
        throw Error("A block of data is too long to be saved");
    i32(std::int32_t(data.size()));
    bytes(data.data(), data.size());
}

} // namespace ie
