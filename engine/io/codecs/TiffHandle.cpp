#include "TiffHandle.h"

#include "../../imaging/Error.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <mutex>

namespace ie::io {

namespace {

// Messages that libtiff routes through its process-wide handlers (paths without a handle).
thread_local std::string t_globalError;

std::string formatMessage(const char* module, const char* fmt, va_list ap) {
    char buf[512];
    std::vsnprintf(buf, sizeof buf, fmt, ap);
    std::string msg = buf;
    if (module && *module && msg.find(module) == std::string::npos)
        msg = std::string(module) + ": " + msg;
    return msg;
}

void globalError(const char* module, const char* fmt, va_list ap) {
    t_globalError = formatMessage(module, fmt, ap);
}

void globalWarning(const char*, const char*, va_list) { }

void silenceGlobalHandlers() {
    static std::once_flag once;
    std::call_once(once, [] {
        TIFFSetErrorHandler(globalError);
        TIFFSetWarningHandler(globalWarning);
    });
}

MemoryTiff& memoryOf(thandle_t h) {
    return *static_cast<MemoryTiff*>(h);
}

tmsize_t memoryRead(thandle_t h, void* buf, tmsize_t n) {
    MemoryTiff& m = memoryOf(h);
    const auto avail = m.pos < m.bytes.size() ? m.bytes.size() - m.pos : 0;
    const auto count = std::min<std::uint64_t>(avail, std::uint64_t(n));
    std::memcpy(buf, m.bytes.data() + m.pos, count);
    m.pos += count;
    return tmsize_t(count);
}

tmsize_t memoryWrite(thandle_t h, void* buf, tmsize_t n) {
    MemoryTiff& m = memoryOf(h);
    if (m.pos + std::uint64_t(n) > m.bytes.size()) m.bytes.resize(m.pos + std::uint64_t(n));
    std::memcpy(m.bytes.data() + m.pos, buf, std::size_t(n));
    m.pos += std::uint64_t(n);
    return n;
}

toff_t memorySeek(thandle_t h, toff_t off, int whence) {
    MemoryTiff& m = memoryOf(h);
    if (whence == SEEK_CUR)
        m.pos += off;
    else if (whence == SEEK_END)
        m.pos = m.bytes.size() + off;
    else
        m.pos = off;
    return m.pos;
}

int memoryClose(thandle_t) {
    return 0;
}

toff_t memorySize(thandle_t h) {
    return memoryOf(h).bytes.size();
}

int memoryMap(thandle_t, void**, toff_t*) {
    return 0;
}

void memoryUnmap(thandle_t, void*, toff_t) { }

} // namespace

int TiffHandle::onError(TIFF*, void* user, const char* module, const char* fmt, va_list ap) {
    auto* self = static_cast<TiffHandle*>(user);
    // Keep the first message: later ones are usually consequences of it.
    if (self->m_lastError.empty()) self->m_lastError = formatMessage(module, fmt, ap);
    return 1;
}

int TiffHandle::onWarning(TIFF*, void*, const char*, const char*, va_list) {
    return 1;
}

void TiffHandle::open(const char* mode, const std::function<TIFF*(TIFFOpenOptions*)>& opener) {
    silenceGlobalHandlers();
    t_globalError.clear();
    TIFFOpenOptions* opts = TIFFOpenOptionsAlloc();
    TIFFOpenOptionsSetErrorHandlerExtR(opts, &TiffHandle::onError, this);
    TIFFOpenOptionsSetWarningHandlerExtR(opts, &TiffHandle::onWarning, this);
    m_tif = opener(opts);
    TIFFOpenOptionsFree(opts);
    if (!m_tif) fail(mode[0] == 'r' ? "not a readable TIFF file" : "cannot create the file");
}

TiffHandle::TiffHandle(const std::string& path, const char* mode)
    : m_path(path) {
    open(mode, [&](TIFFOpenOptions* opts) { return TIFFOpenExt(path.c_str(), mode, opts); });
}

TiffHandle::TiffHandle(MemoryTiff& memory)
    : m_path("memory") {
    open("w", [&](TIFFOpenOptions* opts) {
        return TIFFClientOpenExt("memory", "w", &memory, memoryRead, memoryWrite, memorySeek,
            memoryClose, memorySize, memoryMap, memoryUnmap, opts);
    });
}

TiffHandle::~TiffHandle() {
    if (m_tif) TIFFClose(m_tif);
}

void TiffHandle::fail(const std::string& what) const {
    const std::string& detail = m_lastError.empty() ? t_globalError : m_lastError;
    if (detail.empty()) throw Error(what);
    throw Error(what + " (" + detail + ")");
}

void TiffHandle::close() {
    TIFF* tif = m_tif;
    m_tif = nullptr;
    TIFFClose(tif);
    if (!m_lastError.empty()) fail("writing the TIFF file failed");
}

} // namespace ie::io
