#include "proc/filter/Texture.h"

#include "imaging/Convert.h"
#include "proc/filter/PixelLoop.h"

#include <numbers>

namespace ie::proc {

using namespace detail;

namespace {

inline float hash01(int x, int y) {
    unsigned h = unsigned(x) * 0x27d4eb2du ^ unsigned(y) * 0x165667b1u;
    h ^= h >> 15;
    h *= 0x85ebca6bu;
    h ^= h >> 13;
    return float(h & 0xffff) / 65535.f;
}

inline float weave(int x, int y, float period) {
    const float k = 2 * std::numbers::pi_v<float> / period;
    const float sx = std::sin(float(x) * k), sy = std::sin(float(y) * k);
    const bool over = (int(std::floor(float(x) / period)) + int(std::floor(float(y) / period))) % 2;
    return over ? sx * std::fabs(sy) : sy * std::fabs(sx);
}

float overlay(float base, float top) {
    return base < 0.5f ? 2 * base * top : 1 - 2 * (1 - base) * (1 - top);
}

} // namespace

float textureRelief(TextureKind kind, int x, int y, int scale) {
    const float s = float(std::max(2, scale));
    switch (kind) {
    case TextureKind::Canvas:
        return 0.7f * weave(x, y, s * 0.5f) + 0.3f * (hash01(x, y) * 2 - 1);
    case TextureKind::Burlap:
        return 0.6f * weave(x, y, s) + 0.4f * (hash01(x / 2, y / 2) * 2 - 1);
    case TextureKind::Brick: {
        const int bh = std::max(2, scale), bw = 2 * bh;
        const int rowIndex = y / bh;
        const int bx = ((x + (rowIndex % 2) * bw / 2) % bw + bw) % bw, by = y % bh;
        const bool mortar = bx < 2 || by < 2;
        return mortar ? -0.8f : 0.3f + 0.2f * (hash01(x / 3, y / 3) - 0.5f);
    }
    case TextureKind::Grain:
        return hash01(x, y) * 2 - 1;
    case TextureKind::Linen:
        return 0.5f * std::sin(float(x) * 2.1f) * (0.6f + 0.4f * hash01(0, y))
            + 0.5f * std::sin(float(y) * 1.7f) * (0.6f + 0.4f * hash01(x, 0));
    case TextureKind::Wood: {
        const float ring = std::sin((float(x) * 0.05f + std::sin(float(y) / s) * 2.f) * s * 0.2f);
        return 0.8f * ring + 0.2f * (hash01(x, y / 4) * 2 - 1);
    }
    }
    return 0;
}

void applyTexture(
    Bitmap& image, TextureKind kind, int scale, int strength, const Selection* selection) {
    requireFilterable(image, "Texture");
    const float a = float(std::clamp(strength, 0, 100)) / 100.f * 0.35f;
    if (a == 0) return;
    pointEffect(image, selection, "Texture", [&](int x, int y, float* v, int n) {
        const float r = textureRelief(kind, x, y, scale) * a;
        for (int i = 0; i < n; ++i)
            v[i] = r < 0 ? v[i] * (1 + r) : v[i] + (1 - v[i]) * r;
    });
}

void textureOverlay(Bitmap& image, const Bitmap& texture, int opacity, const Selection* selection) {
    requireFilterable(image, "Texture");
    if (texture.isNull() || opacity <= 0) return;
    const Bitmap tex = convertTo(texture, PixelFormat::Rgb24);
    const float o = float(std::min(opacity, 100)) / 100.f;
    pointEffect(image, selection, "Texture", [&](int x, int y, float* v, int n) {
        const std::uint8_t* t = tex.scanline(y % tex.height()) + std::size_t(x % tex.width()) * 3;
        for (int i = 0; i < n; ++i) {
            const float top
                = n == 1 ? float(lumaOf(t[0], t[1], t[2])) / 255.f : float(t[i]) / 255.f;
            v[i] += (overlay(v[i], top) - v[i]) * o;
        }
    });
}

} // namespace ie::proc
