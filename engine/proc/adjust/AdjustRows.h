// Shared loops of the colour adjustments: the format check, row spreading and per-pixel RGB edits.
#pragma once

#include "document/Selection.h"
#include "imaging/Bitmap.h"
#include "proc/MaskBlend.h"

#include <algorithm>
#include <cstdint>
#include <functional>

namespace ie::proc::detail {

/// Throws an ie::Error naming `operation` unless the image is Rgb24, Rgba32, Rgb48, Gray8 or
/// Gray16, the formats whose samples the adjustments can change directly.
void requireAdjustable(const Bitmap& image, const char* operation);

/// Throws an ie::Error "`what` must be between lo and hi" unless lo <= value <= hi (NaN refused).
void requireRange(double value, double lo, double hi, const char* what);

/// Runs `body(y0, y1)` over the rows of `rect` on every core; the body may write colour rows
/// (mutableScanline) of its own range only, shared strips being copied where they are written.
void forRows(Bitmap& image, Rect rect, const std::function<void(int, int)>& body);

/// Where a per-pixel edit of `rect` writes. When the whole image is edited and its colour strips
/// are shared (with an undo snapshot or the caller's original), a new bitmap takes the result,
/// so rows are read from the shared strips and written once instead of copied, then rewritten.
class EditTarget {
public:
    EditTarget(Bitmap& image, Rect rect);
    /// The bitmap to write: the image itself, or the new one.
    Bitmap& dst() { return m_separate ? m_fresh : m_image; }
    /// Source row `y` for a destination row already fetched with mutableScanline.
    const std::uint8_t* srcRow(int y, const std::uint8_t* dstRow) const {
        return m_separate ? m_image.scanline(y) : dstRow;
    }
    bool separate() const { return m_separate; }
    /// Puts the new bitmap in the image's place (its alpha plane copied over).
    void finish();

private:
    Bitmap& m_image;
    Bitmap m_fresh;
    bool m_separate = false;
};

template <class T> constexpr float sampleMax() {
    return sizeof(T) == 1 ? 255.f : 65535.f;
}

template <class T> inline T toSample(float v) {
    return T(std::clamp(v, 0.f, 1.f) * sampleMax<T>() + 0.5f);
}

template <class T, int Stride, class Op> void rgbRows(Bitmap& image, Rect rect, Op& op) {
    constexpr float scale = 1.f / sampleMax<T>();
    forRows(image, rect, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            T* p = reinterpret_cast<T*>(image.mutableScanline(y)) + std::size_t(rect.x) * Stride;
            for (int x = rect.x; x < rect.right(); ++x, p += Stride) {
                float r = p[0] * scale, g = p[1] * scale, b = p[2] * scale;
                op(r, g, b, x, y);
                p[0] = toSample<T>(r);
                p[1] = toSample<T>(g);
                p[2] = toSample<T>(b);
            }
        }
    });
}

template <class T, class Op> void grayRows(Bitmap& image, Rect rect, Op& op) {
    constexpr float scale = 1.f / sampleMax<T>();
    forRows(image, rect, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            T* p = reinterpret_cast<T*>(image.mutableScanline(y)) + rect.x;
            for (int x = rect.x; x < rect.right(); ++x, ++p) {
                float r = *p * scale, g = r, b = r;
                op(r, g, b, x, y);
                *p = toSample<T>(0.299f * r + 0.587f * g + 0.114f * b);
            }
        }
    });
}

/// Runs `op(r, g, b, x, y)` on every pixel of `rect`, samples as floats from 0 to 1 (results are
/// clamped). Grey images pass their value as three equal channels and keep the luma of the result.
template <class Op> void forEachRgbIn(Bitmap& image, Rect rect, Op op) {
    switch (image.pixelFormat()) {
    case PixelFormat::Rgb24:
        return rgbRows<std::uint8_t, 3>(image, rect, op);
    case PixelFormat::Rgba32:
        return rgbRows<std::uint8_t, 4>(image, rect, op);
    case PixelFormat::Rgb48:
        return rgbRows<std::uint16_t, 3>(image, rect, op);
    case PixelFormat::Gray8:
        return grayRows<std::uint8_t>(image, rect, op);
    case PixelFormat::Gray16:
        return grayRows<std::uint16_t>(image, rect, op);
    default:
        requireAdjustable(image, "This adjustment");
    }
}

/// forEachRgbIn over the selection (the whole image without one), soft edges honoured.
template <class Op>
void forEachRgb(Bitmap& image, const Selection* selection, const char* operation, Op op) {
    requireAdjustable(image, operation);
    editSelected(image, selection, [&](Bitmap& b, Rect r) { forEachRgbIn(b, r, op); });
}

/// Luma of linear-weighted float channels (Rec. 601, as the engine's grey conversion).
inline float lumaF(float r, float g, float b) {
    return 0.299f * r + 0.587f * g + 0.114f * b;
}

} // namespace ie::proc::detail
