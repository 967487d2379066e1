// User convolution filter: a square kernel of 1 x 1 to 7 x 7 weights with divisor and bias.
#pragma once

#include "document/Selection.h"
#include "imaging/Bitmap.h"

#include <vector>

namespace ie::proc {

/// A square kernel, row by row from the top; the result is sum / divisor + bias.
struct ConvolutionKernel {
    int size = 3; ///< 1, 3, 5 or 7
    std::vector<double> weights; ///< size x size values
    double divisor = 1; ///< 0 means the sum of the weights (1 when that is 0 too)
    double bias = 0; ///< added after the division, on the 8-bit scale
};

/// Throws ie::Error when the kernel's size is not 1, 3, 5 or 7 or the weight count is wrong.
void validateKernel(const ConvolutionKernel& kernel);

/// Convolves colour samples with `kernel` (edges repeated; Rgba32 alpha kept).
void convolve(Bitmap& image, const ConvolutionKernel& kernel, const Selection* selection = nullptr);

} // namespace ie::proc
