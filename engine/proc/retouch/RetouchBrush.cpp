#include "proc/retouch/RetouchBrush.h"

#include "imaging/BitmapOps.h"
#include "proc/MaskBlend.h"
#include "proc/filter/Blur.h"
#include "proc/filter/Distort.h"
#include "proc/filter/Median.h"
#include "proc/filter/PixelLoop.h"
#include "proc/filter/Sharpen.h"
#include "proc/filter/Stylize.h"

#include <cmath>

namespace ie::proc {

namespace {

Rect grown(Rect r, int m) {
    return { r.x - m, r.y - m, r.w + 2 * m, r.h + 2 * m };
}

// Pixels around the dab a filter reads, so the dab's edge is filtered like the inside.
int marginOf(RetouchType type, const RetouchParams& p) {
    switch (type) {
    case RetouchType::Blur:
        return int(std::ceil(3 * p.blurRadius)) + 2;
    case RetouchType::MotionBlur:
        return p.motionBlurRadius + 2;
    case RetouchType::AutoSharpen:
        return 4;
    case RetouchType::Sharpen:
        return 2 * p.sharpenNeighbourhood + 2;
    case RetouchType::Unsharpen:
        return 3 * p.unsharpenRadius + 2;
    case RetouchType::Smooth:
        return p.smoothRadius + 1;
    case RetouchType::Wave:
        return p.waveAmplitude + 2;
    default:
        return 0;
    }
}

void filterPatch(Bitmap& patch, RetouchType type, const RetouchParams& p) {
    switch (type) {
    case RetouchType::Smudge:
        return;
    case RetouchType::Blur:
        return gaussianBlur(patch, std::max(0.1, p.blurRadius));
    case RetouchType::MotionBlur:
        return motionBlur(patch, p.motionBlurAngle, 2 * std::max(1, p.motionBlurRadius) + 1);
    case RetouchType::AutoSharpen:
        return unsharpMask(patch, 1.0, p.autoSharpenIntensity / 50.0, int(p.autoSharpenRate * 255));
    case RetouchType::Sharpen:
        return sharpen(patch, std::max(1, p.sharpenIntensity), p.sharpenNeighbourhood);
    case RetouchType::Unsharpen:
        return unsharpMask(patch, std::max(1, p.unsharpenRadius), p.unsharpenAmount,
            int(p.unsharpenThreshold * 255));
    case RetouchType::Smooth:
        return median(patch, std::max(1, p.smoothRadius / 2));
    case RetouchType::Pixelize:
        return pixelize(patch, std::max(1, p.pixelizeBlockSize), std::max(1, p.pixelizeBlockSize));
    case RetouchType::Lightening:
    case RetouchType::Darkening: {
        const float add = float(std::clamp(p.brightnessAdjustment, -255, 255)) / 255.f;
        return detail::pointEffect(patch, nullptr, "Retouch", [add](int, int, float* v, int n) {
            for (int i = 0; i < n; ++i)
                v[i] += add;
        });
    }
    case RetouchType::Colorizing:
    case RetouchType::Decolorizing: {
        const float k = 1.f + float(std::clamp(p.saturationAmount, -100, 100)) / 100.f;
        return detail::pointEffect(patch, nullptr, "Retouch", [k](int, int, float* v, int n) {
            if (n < 3) return;
            const float grey = 0.299f * v[0] + 0.587f * v[1] + 0.114f * v[2];
            for (int i = 0; i < 3; ++i)
                v[i] = grey + (v[i] - grey) * k;
        });
    }
    case RetouchType::Wave:
        return wave(patch, std::max(1, p.waveAmplitude), std::max(1, p.waveLength), p.wavePhase);
    }
}

// Mixes `patch` (whose top left is at `origin` in the image) into the image over `area` by
// `strength`.
void mixIn(Bitmap& image, const Bitmap& patch, Rect origin, Rect area,
    const std::vector<std::uint8_t>& strength) {
    detail::dispatch(image.pixelFormat(), [&](auto layout) {
        using L = decltype(layout);
        using T = typename L::Sample;
        constexpr int C = L::channels;
        for (int j = 0; j < area.h; ++j) {
            const int y = area.y + j;
            const std::uint8_t* s = strength.data() + std::size_t(j) * area.w;
            const T* src = detail::row<T>(patch, y - origin.y) + std::size_t(area.x - origin.x) * C;
            T* dst = detail::mutableRow<T>(image, y) + std::size_t(area.x) * C;
            for (int i = 0; i < area.w; ++i) {
                const float w = float(s[i]) / 255.f;
                if (w == 0) continue;
                for (int c = 0; c < C; ++c) {
                    const float old = float(dst[i * C + c]);
                    dst[i * C + c] = T(old + (float(src[i * C + c]) - old) * w + 0.5f);
                }
            }
        }
    });
}

} // namespace

void RetouchBrush::dab(Bitmap& image, int x, int y, const Selection* selection) {
    detail::requireFilterable(image, "Retouch");
    const Rect bounds = workRect(image, selection); // also refuses a selection of another size
    const Dab d { x, y, width, height, shape, feathering };
    const Rect area = d.rect().intersected(bounds);
    if (area.isEmpty()) return;
    std::vector<std::uint8_t> strength = dabStrength(d, area);
    if (selection && !selection->isEmpty())
        for (int j = 0; j < area.h; ++j)
            for (int i = 0; i < area.w; ++i) {
                std::uint8_t& s = strength[std::size_t(j) * area.w + i];
                s = std::uint8_t((unsigned(s) * selection->at(area.x + i, area.y + j) + 127) / 255);
            }
    if (type == RetouchType::Smudge) return smudge(image, area, strength, selection);

    Rect patchRect = grown(area, marginOf(type, params));
    if (type == RetouchType::Pixelize) {
        // Blocks on the image's grid, so overlapping dabs agree.
        const int b = std::max(1, params.pixelizeBlockSize);
        const int x0 = area.x / b * b, y0 = area.y / b * b;
        patchRect
            = { x0, y0, (area.right() - x0 + b - 1) / b * b, (area.bottom() - y0 + b - 1) / b * b };
    }
    patchRect = patchRect.intersected(image.rect());
    Bitmap patch = crop(image, patchRect);
    filterPatch(patch, type, params);
    mixIn(image, patch, patchRect, area, strength);
}

void RetouchBrush::smudge(
    Bitmap& image, Rect area, const std::vector<std::uint8_t>& strength, const Selection*) {
    if (m_carried.isNull() || m_carriedRect.w != area.w || m_carriedRect.h != area.h) {
        m_carried = crop(image, area);
        m_carriedRect = area;
        return;
    }
    const double pressure = std::clamp(params.smudgePressure, 0.0, 20.0) / 20.0;
    std::vector<std::uint8_t> s(strength);
    for (std::uint8_t& v : s)
        v = std::uint8_t(v * pressure + 0.5);
    mixIn(image, m_carried, area, area, s);
    m_carried = crop(image, area);
    m_carriedRect = area;
    if (params.smudgeBlur > 0) gaussianBlur(m_carried, params.smudgeBlur);
}

} // namespace ie::proc
