#include "proc/filter/Convolution.h"

#include "imaging/Error.h"
#include "proc/filter/FilterCore.h"
#include "proc/filter/Window.h"

#include <numeric>

namespace ie::proc {

using namespace detail;

void validateKernel(const ConvolutionKernel& kernel) {
    if (kernel.size < 1 || kernel.size > 7 || kernel.size % 2 == 0)
        throw Error("A filter kernel must be 1 x 1, 3 x 3, 5 x 5 or 7 x 7.");
    if (kernel.weights.size() != std::size_t(kernel.size * kernel.size))
        throw Error("The filter kernel has the wrong number of weights.");
}

void convolve(Bitmap& image, const ConvolutionKernel& kernel, const Selection* selection) {
    requireFilterable(image, "Custom filter");
    validateKernel(kernel);
    double div = kernel.divisor;
    if (div == 0) div = std::accumulate(kernel.weights.begin(), kernel.weights.end(), 0.0);
    if (div == 0) div = 1;
    const bool wide = image.pixelFormat() == PixelFormat::Rgb48;
    const float bias = float(kernel.bias * (wide ? 257.0 : 1.0));
    std::vector<float> w(kernel.weights.size());
    for (std::size_t i = 0; i < w.size(); ++i)
        w[i] = float(kernel.weights[i] / div);
    const int half = kernel.size / 2;
    filterWithSource(
        image, selection, "Custom filter", [&](const Bitmap& src, Bitmap& dst, Rect r) {
            windowFilter(
                src, dst, r, half, true, [&](const float* const* rows, float* out, int n, int C) {
                    for (int i = 0; i < n; ++i)
                        out[i] = bias;
                    for (int ky = 0; ky < kernel.size; ++ky)
                        for (int kx = 0; kx < kernel.size; ++kx) {
                            const float k = w[ky * kernel.size + kx];
                            if (k == 0) continue;
                            const float* p = rows[ky] + kx * C;
                            for (int i = 0; i < n; ++i)
                                out[i] += k * p[i];
                        }
                });
        });
}

} // namespace ie::proc
