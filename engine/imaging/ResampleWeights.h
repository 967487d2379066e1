// Filter kernels of the resampler and the per-destination weight tables built from them.
#pragma once

#include "Resample.h"

#include <cstdint>
#include <vector>

namespace ie::rs {

/// How a filter computes one destination sample from its source footprint.
enum class Method {
    Nearest, ///< the one source sample under the destination centre
    Convolve, ///< weighted sum
    Darkest, ///< minimum of the footprint (keeps dark strokes of line art)
    Lightest, ///< maximum of the footprint (keeps light strokes)
};

/// A filter: its method, its kernel (radius in source pixels at scale 1 and value at a
/// distance) and whether the kernel is stretched by the reduction factor (area anti-aliasing).
struct FilterSpec {
    Method method = Method::Nearest;
    double support = 0.5;
    double (*kernel)(double) = nullptr;
    bool widen = true;
};

/// What `filter` does; unknown values behave as Nearest.
FilterSpec filterSpec(ResampleFilter filter);

/// Integer weights are fixed point with this many fraction bits.
inline constexpr int kWeightBits = 14;

/// For each destination index i, `taps` consecutive source indices from `start[i]` (always
/// inside the source) and their weights, which sum to 1 (to 1 << kWeightBits in `fixed`).
/// Entries with fewer real taps are padded with zero weights.
struct WeightTable {
    int taps = 0;
    std::vector<int> start;
    std::vector<float> real;
    std::vector<std::int16_t> fixed;

    int size() const { return static_cast<int>(start.size()); }
    const float* realAt(int i) const { return real.data() + std::size_t(i) * taps; }
    const std::int16_t* fixedAt(int i) const { return fixed.data() + std::size_t(i) * taps; }
};

/// The table mapping `dstLen` destination samples onto the source span [origin, origin + span)
/// of a source `srcLen` samples long; positions outside the source are clamped to its edges.
/// `taps` is rounded up to a multiple of `tapMultiple` when the source is long enough.
WeightTable makeWeights(
    int srcLen, int dstLen, double origin, double span, const FilterSpec& spec, int tapMultiple);

/// For Nearest: the source index under each destination centre, clamped to the source.
std::vector<int> nearestIndices(int srcLen, int dstLen, double origin, double span);

} // namespace ie::rs
