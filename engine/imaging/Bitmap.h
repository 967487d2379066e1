// The engine's raster image: a colour plane in one pixel format, an optional alpha plane,
// a palette and a resolution. Copies are cheap (copy-on-write strips).
#pragma once

#include "Color.h"
#include "PixelFormat.h"
#include "Plane.h"

#include <cstdint>
#include <vector>

namespace ie {

/// An integer rectangle: x, y, width, height.
struct Rect {
    int x = 0, y = 0, w = 0, h = 0;
    bool isEmpty() const { return w <= 0 || h <= 0; }
    int right() const { return x + w; }
    int bottom() const { return y + h; }
    Rect intersected(const Rect& o) const;
    friend bool operator==(const Rect&, const Rect&) = default;
};

/// A raster image. Rows are top-down. Alpha lives in a separate 8-bit plane (255 opaque), except
/// for Rgba32 which carries it interleaved and never has a plane.
class Bitmap {
public:
    Bitmap() = default;
    /// A new bitmap; colour content undefined unless filled.
    Bitmap(int width, int height, PixelFormat format);

    int width() const { return m_color.width(); }
    int height() const { return m_color.height(); }
    bool isNull() const { return m_format == PixelFormat::None || m_color.isNull(); }
    PixelFormat pixelFormat() const { return m_format; }
    Rect rect() const { return { 0, 0, width(), height() }; }
    std::int64_t pixelCount() const { return std::int64_t(width()) * height(); }

    /// Bytes of pixel data in one colour row (no padding).
    std::size_t rowBytes() const { return m_color.rowBytes(); }
    const std::uint8_t* scanline(int y) const { return m_color.row(y); }
    /// Writable row (copies its strip when shared).
    std::uint8_t* mutableScanline(int y) { return m_color.mutableRow(y); }

    /// True when the bitmap has transparency: an alpha plane, or the Rgba32 format.
    bool hasAlpha() const { return m_format == PixelFormat::Rgba32 || !m_alpha.isNull(); }
    /// True when an 8-bit alpha plane is attached (never for Rgba32).
    bool hasAlphaPlane() const { return !m_alpha.isNull(); }
    /// Attaches an alpha plane filled with `value` (replaces an existing one). Not for Rgba32.
    void addAlphaPlane(std::uint8_t value = 255);
    void removeAlphaPlane() { m_alpha = Plane(); }
    const std::uint8_t* alphaLine(int y) const { return m_alpha.row(y); }
    std::uint8_t* mutableAlphaLine(int y) { return m_alpha.mutableRow(y); }
    /// True when the alpha plane is absent or every value is 255.
    bool alphaIsOpaque() const;

    const std::vector<Rgb>& palette() const { return m_palette; }
    void setPalette(std::vector<Rgb> palette) { m_palette = std::move(palette); }

    double dpiX() const { return m_dpiX; }
    double dpiY() const { return m_dpiY; }
    void setDpi(double x, double y) {
        m_dpiX = x;
        m_dpiY = y;
    }

    /// Copies every shared strip so that rows may be written from several threads.
    void detach();
    /// Copies only the shared strips holding rows [y0, y1), colour and alpha.
    void detachRows(int y0, int y1) {
        m_color.detachRows(y0, y1);
        m_alpha.detachRows(y0, y1);
    }

    /// Storage access for those who need strip-level information (undo, tests).
    const Plane& colorPlane() const { return m_color; }
    const Plane& alphaPlane() const { return m_alpha; }

    /// Sets every pixel's colour (converted to this format) and, with an alpha plane or Rgba32,
    /// its alpha.
    void fill(Rgba color);
    /// Fills a rectangle (clipped to the bitmap).
    void fillRect(const Rect& r, Rgba color);

    /// The colour at (x, y) as RGBA, whatever the format (palette looked up, grey expanded,
    /// 16-bit reduced, CMYK converted).
    Rgba pixel(int x, int y) const;
    /// Sets the colour at (x, y) from RGBA (converted to the format; palette: nearest entry).
    void setPixel(int x, int y, Rgba color);

    /// Bytes of memory held (shared strips counted in full).
    std::size_t memoryBytes() const { return m_color.memoryBytes() + m_alpha.memoryBytes(); }

    /// True when both bitmaps have the same size, format, palette, alpha presence and
    /// identical pixel bytes (resolution is not compared).
    bool samePixels(const Bitmap& other) const;

private:
    PixelFormat m_format = PixelFormat::None;
    Plane m_color;
    Plane m_alpha;
    std::vector<Rgb> m_palette;
    double m_dpiX = 72;
    double m_dpiY = 72;
};

} // namespace ie
