#include "AtomicFile.h"

#include "../imaging/Error.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

namespace ie::io {

namespace fs = std::filesystem;

AtomicFile::AtomicFile(const std::string& target)
    : m_target(target) {
    static std::atomic<unsigned> counter { 0 };
    const fs::path t(target);
    const std::string unique = std::to_string(::getpid()) + "-" + std::to_string(counter++);
    std::string name(1, '.');
    name += t.stem().string();
    name += ".tmp";
    name += unique;
    name += t.extension().string();
    m_temp = (t.parent_path() / name).string();
}

AtomicFile::~AtomicFile() {
    if (!m_committed) ::unlink(m_temp.c_str());
}

void AtomicFile::commit() {
    const int fd = ::open(m_temp.c_str(), O_RDONLY);
    if (fd < 0) throw Error("Cannot create file \"" + m_target + "\". " + std::strerror(errno));
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    if (!synced) throw Error("Cannot write file \"" + m_target + "\". " + std::strerror(errno));
    if (std::rename(m_temp.c_str(), m_target.c_str()) != 0)
        throw Error("Cannot create file \"" + m_target + "\". " + std::strerror(errno));
    m_committed = true;
}

} // namespace ie::io
