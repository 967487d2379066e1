// An open libtiff file whose errors become ie::Error text instead of stderr output.
#pragma once

#include <tiffio.h>

#include <string>

namespace ie::io {

/// Owns a TIFF* opened with error capture. Closing happens on destruction.
class TiffHandle {
public:
    /// Opens `path` with a libtiff mode ("r", "w", "w8" for BigTIFF). Throws ie::Error on failure.
    TiffHandle(const std::string& path, const char* mode);
    ~TiffHandle();
    TiffHandle(const TiffHandle&) = delete;
    TiffHandle& operator=(const TiffHandle&) = delete;

    TIFF* get() const { return m_tif; }
    const std::string& path() const { return m_path; }

    /// Throws ie::Error: `what`, followed by libtiff's last message when it gave one.
    [[noreturn]] void fail(const std::string& what) const;

    /// Closes the file, flushing what was written; throws when libtiff reports an error.
    void close();

private:
    static int onError(TIFF*, void* user, const char* module, const char* fmt, va_list ap);
    static int onWarning(TIFF*, void* user, const char* module, const char* fmt, va_list ap);

    std::string m_path;
    std::string m_lastError;
    TIFF* m_tif = nullptr;
};

} // namespace ie::io
