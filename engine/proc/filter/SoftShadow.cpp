#include "proc/filter/SoftShadow.h"

#include "imaging/Convert.h"
#include "imaging/Parallel.h"
#include "proc/filter/Blur.h"
#include "proc/filter/FilterCore.h"

namespace ie::proc {

namespace {

std::uint8_t alphaAt(const Bitmap& b, int x, int y) {
    if (b.pixelFormat() == PixelFormat::Rgba32) return b.scanline(y)[x * 4 + 3];
    return b.hasAlphaPlane() ? b.alphaLine(y)[x] : 255;
}

} // namespace

void addSoftShadow(Bitmap& image, const SoftShadowParams& params) {
    detail::requireFilterable(image, "Soft shadow");
    const int r = std::max(0, params.radius);
    const int left = std::max(0, r - params.offsetX), right = std::max(0, r + params.offsetX);
    const int top = std::max(0, r - params.offsetY), bottom = std::max(0, r + params.offsetY);
    const int W = image.width() + left + right, H = image.height() + top + bottom;
    const Bitmap src
        = image.pixelFormat() == PixelFormat::Rgba32 ? image : convertTo(image, PixelFormat::Rgb24);

    // The shadow's strength: the shape, shifted, blurred and scaled by the intensity.
    Bitmap shadow(W, H, PixelFormat::Gray8);
    shadow.fill({ 0, 0, 0, 255 });
    const int sx = left + params.offsetX, sy = top + params.offsetY;
    for (int y = 0; y < src.height(); ++y) {
        std::uint8_t* d = shadow.mutableScanline(y + sy) + sx;
        for (int x = 0; x < src.width(); ++x)
            d[x] = alphaAt(src, x, y);
    }
    gaussianBlur(shadow, r / 3.0);

    const bool rgba = src.pixelFormat() == PixelFormat::Rgba32;
    Bitmap out(W, H, src.pixelFormat());
    if (!rgba) out.addAlphaPlane(0);
    out.setDpi(image.dpiX(), image.dpiY());
    const float strength = std::clamp(params.intensity, 0, 100) / 100.f;
    const int C = rgba ? 4 : 3;
    const float shade[3] = { float(params.color.r), float(params.color.g), float(params.color.b) };
    parallelFor(0, H, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            std::uint8_t* d = out.mutableScanline(y);
            std::uint8_t* da = rgba ? nullptr : out.mutableAlphaLine(y);
            const std::uint8_t* s = shadow.scanline(y);
            const int iy = y - top;
            for (int x = 0; x < W; ++x) {
                const int ix = x - left;
                const bool inside = iy >= 0 && iy < src.height() && ix >= 0 && ix < src.width();
                const float as = float(s[x]) / 255.f * strength;
                const float ai = inside ? alphaAt(src, ix, iy) / 255.f : 0.f;
                const float ao = ai + as * (1 - ai);
                const std::uint8_t* c = inside ? src.scanline(iy) + std::size_t(ix) * C : nullptr;
                for (int k = 0; k < 3; ++k) {
                    const float ci = c ? float(c[k]) : 0.f;
                    const float v = ao > 0 ? (ci * ai + shade[k] * as * (1 - ai)) / ao : 0.f;
                    d[x * C + k] = std::uint8_t(std::clamp(v + 0.5f, 0.f, 255.f));
                }
                const auto alpha = std::uint8_t(ao * 255.f + 0.5f);
                if (rgba)
                    d[x * 4 + 3] = alpha;
                else
                    da[x] = alpha;
            }
        }
    });
    image = std::move(out);
}

} // namespace ie::proc
