#include "proc/filter/Distort.h"

#include "proc/filter/PixelLoop.h"

#include <numbers>

namespace ie::proc {

using namespace detail;

namespace {

constexpr float kTwoPi = 2 * std::numbers::pi_v<float>;

// Runs a radial mapping: `fn(d)` turns a distance (0..1 inside the circle) into the distance
// to sample from, in the same unit. Pixels outside the circle stay.
template <class Fn>
void radial(Bitmap& image, const Selection* selection, const char* what, Fn&& fn) {
    const Frame2D f(workRect(image, selection));
    remapEffect(image, selection, what, [&](int x, int y, float& sx, float& sy) {
        const float dx = (float(x) - f.cx) / f.radius, dy = (float(y) - f.cy) / f.radius;
        const float d = std::sqrt(dx * dx + dy * dy);
        if (d >= 1 || d == 0) return;
        const float s = fn(d) / d;
        sx = f.cx + dx * s * f.radius;
        sy = f.cy + dy * s * f.radius;
    });
}

} // namespace

void wave(Bitmap& image, double amplitude, double wavelength, double phaseDegrees,
    const Selection* selection) {
    if (amplitude == 0 || wavelength <= 0) return detail::requireFilterable(image, "Wave");
    const float a = float(amplitude), k = kTwoPi / float(wavelength),
                ph = float(phaseDegrees) * std::numbers::pi_v<float> / 180.f;
    remapEffect(image, selection, "Wave", [&](int x, int y, float& sx, float& sy) {
        sx += a * std::sin(float(y) * k + ph);
        sy += a * std::sin(float(x) * k + ph);
    });
}

void twirl(Bitmap& image, double angleDegrees, const Selection* selection) {
    const Frame2D f(workRect(image, selection));
    const float turn = float(angleDegrees) * std::numbers::pi_v<float> / 180.f;
    remapEffect(image, selection, "Twirl", [&](int x, int y, float& sx, float& sy) {
        const float dx = float(x) - f.cx, dy = float(y) - f.cy;
        const float d = std::sqrt(dx * dx + dy * dy) / f.radius;
        if (d >= 1) return;
        const float a = turn * (1 - d) * (1 - d);
        const float c = std::cos(a), s = std::sin(a);
        sx = f.cx + dx * c - dy * s;
        sy = f.cy + dx * s + dy * c;
    });
}

void pinch(Bitmap& image, double amount, const Selection* selection) {
    const float k = float(std::clamp(amount, -1.0, 1.0));
    radial(image, selection, "Pinch", [k](float d) { return std::pow(d, 1.f - 0.5f * k); });
}

void spherize(Bitmap& image, double amount, const Selection* selection) {
    const float k = float(std::clamp(amount, -1.0, 1.0));
    radial(image, selection, "Spherize", [k](float d) {
        const float sphere = std::asin(d) * 2.f / std::numbers::pi_v<float>;
        return d + (sphere - d) * k;
    });
}

void ripple(Bitmap& image, double amplitude, double wavelength, const Selection* selection) {
    const Frame2D f(workRect(image, selection));
    const float a = float(amplitude), k = kTwoPi / float(std::max(1.0, wavelength));
    remapEffect(image, selection, "Ripple", [&](int x, int y, float& sx, float& sy) {
        const float dx = float(x) - f.cx, dy = float(y) - f.cy;
        const float d = std::sqrt(dx * dx + dy * dy);
        if (d == 0) return;
        const float s = (d + a * std::sin(d * k)) / d;
        sx = f.cx + dx * s;
        sy = f.cy + dy * s;
    });
}

} // namespace ie::proc
