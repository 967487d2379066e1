#include "proc/adjust/ToneMap.h"

#include "proc/MaskBlend.h"
#include "proc/adjust/AdjustRows.h"

#include <array>
#include <cmath>
#include <vector>

namespace ie::proc {

namespace {

template <class T> using Tables = std::array<std::vector<T>, 3>;

template <class T> Tables<T> buildTables(const ToneFunction& map) {
    const int size = sizeof(T) == 1 ? 256 : 65536;
    const double max = size - 1;
    Tables<T> tables;
    for (int c = 0; c < 3; ++c) {
        tables[c].resize(size);
        for (int v = 0; v < size; ++v)
            tables[c][v] = T(std::lround(std::clamp(map(c, v / max), 0.0, 1.0) * max));
    }
    return tables;
}

template <class T> std::vector<T> grayTable(const Tables<T>& t) {
    std::vector<T> out(t[0].size());
    for (std::size_t v = 0; v < out.size(); ++v)
        out[v] = T(std::lround(0.299 * t[0][v] + 0.587 * t[1][v] + 0.114 * t[2][v]));
    return out;
}

template <class T, int Stride> void mapRgbRows(Bitmap& image, Rect rect, const Tables<T>& t) {
    const T *lr = t[0].data(), *lg = t[1].data(), *lb = t[2].data();
    detail::EditTarget target(image, rect);
    Bitmap& dst = target.dst();
    detail::forRows(dst, rect, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            std::uint8_t* row = dst.mutableScanline(y);
            T* o = reinterpret_cast<T*>(row) + std::size_t(rect.x) * Stride;
            const T* i
                = reinterpret_cast<const T*>(target.srcRow(y, row)) + std::size_t(rect.x) * Stride;
            for (int x = 0; x < rect.w; ++x, o += Stride, i += Stride) {
                o[0] = lr[i[0]];
                o[1] = lg[i[1]];
                o[2] = lb[i[2]];
                if constexpr (Stride == 4) o[3] = i[3];
            }
        }
    });
    target.finish();
}

template <class T> void mapGrayRows(Bitmap& image, Rect rect, const std::vector<T>& table) {
    detail::EditTarget target(image, rect);
    Bitmap& dst = target.dst();
    detail::forRows(dst, rect, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            std::uint8_t* row = dst.mutableScanline(y);
            T* o = reinterpret_cast<T*>(row) + rect.x;
            const T* i = reinterpret_cast<const T*>(target.srcRow(y, row)) + rect.x;
            for (int x = 0; x < rect.w; ++x)
                o[x] = table[i[x]];
        }
    });
    target.finish();
}

} // namespace

void applyToneMapIn(Bitmap& image, Rect rect, const ToneFunction& map) {
    switch (image.pixelFormat()) {
    case PixelFormat::Rgb24:
        return mapRgbRows<std::uint8_t, 3>(image, rect, buildTables<std::uint8_t>(map));
    case PixelFormat::Rgba32:
        return mapRgbRows<std::uint8_t, 4>(image, rect, buildTables<std::uint8_t>(map));
    case PixelFormat::Rgb48:
        return mapRgbRows<std::uint16_t, 3>(image, rect, buildTables<std::uint16_t>(map));
    case PixelFormat::Gray8:
        return mapGrayRows(image, rect, grayTable(buildTables<std::uint8_t>(map)));
    case PixelFormat::Gray16:
        return mapGrayRows(image, rect, grayTable(buildTables<std::uint16_t>(map)));
    default:
        detail::requireAdjustable(image, "This adjustment");
    }
}

void applyToneMap(
    Bitmap& image, const Selection* selection, const ToneFunction& map, const char* operation) {
    detail::requireAdjustable(image, operation);
    editSelected(image, selection, [&](Bitmap& b, Rect r) { applyToneMapIn(b, r, map); });
}

} // namespace ie::proc
