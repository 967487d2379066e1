#include "TiffHandle.h"

#include "../../imaging/Error.h"

#include <cstdarg>
#include <cstdio>
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

TiffHandle::TiffHandle(const std::string& path, const char* mode)
    : m_path(path) {
    silenceGlobalHandlers();
    t_globalError.clear();
    TIFFOpenOptions* opts = TIFFOpenOptionsAlloc();
    TIFFOpenOptionsSetErrorHandlerExtR(opts, &TiffHandle::onError, this);
    TIFFOpenOptionsSetWarningHandlerExtR(opts, &TiffHandle::onWarning, this);
    m_tif = TIFFOpenExt(path.c_str(), mode, opts);
    TIFFOpenOptionsFree(opts);
    if (!m_tif) fail(mode[0] == 'r' ? "not a readable TIFF file" : "cannot create the file");
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
