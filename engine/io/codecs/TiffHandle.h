// An open libtiff file whose errors become ie::Error text instead of stderr output.
#pragma once

#include <tiffio.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace ie::io {

/// The bytes of a TIFF written to memory (see TiffHandle's second constructor).
struct MemoryTiff {
    std::vector<std::uint8_t> bytes;
    std::uint64_t pos = 0;
};

/// Owns a TIFF* opened with error capture. Closing happens on destruction.
class TiffHandle {
public:
    /// Opens `path` with a libtiff mode ("r", "w", "w8" for BigTIFF). Throws ie::Error on failure.
    TiffHandle(const std::string& path, const char* mode);
    /// Opens a TIFF written into `memory` (mode "w"), which must outlive the handle.
    explicit TiffHandle(MemoryTiff& memory);
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
    void open(const char* mode, const std::function<TIFF*(TIFFOpenOptions*)>& opener);
    static int onError(TIFF*, void* user, const char* module, const char* fmt, va_list ap);
    static int onWarning(TIFF*, void* user, const char* module, const char* fmt, va_list ap);

    std::string m_path;
    std::string m_lastError;
    TIFF* m_tif = nullptr;
};

} // namespace ie::io
