// Row kernels of the separable resampler: one horizontal pass over a row, one vertical blend of
// rows, for 8-bit fixed-point samples (SSE when available) and for float samples.
#pragma once

#include "ResampleWeights.h"

#include <algorithm>
#include <cstdint>

namespace ie::rs {

/// Horizontal convolution of one row of `channels`-sample pixels (8-bit, fixed point). `in` holds
/// `inBytes` readable bytes; `out` receives t.size() pixels.
void convolveRow(
    const std::uint8_t* in, int inBytes, std::uint8_t* out, const WeightTable& t, int channels);
/// Vertical convolution: out[i] = sum of w[k] * rows[k][i] over `taps` rows, `len` samples.
void blendRows(
    const std::uint8_t* const* rows, const std::int16_t* w, int taps, std::uint8_t* out, int len);

/// The float versions (16-bit formats and premultiplied alpha).
void convolveRow(const float* in, int inBytes, float* out, const WeightTable& t, int channels);
void blendRows(const float* const* rows, const float* w, int taps, float* out, int len);

/// Footprint extremes (the line-art filters). `alpha` is the index of the alpha sample in a
/// pixel or -1: transparent pixels give way to visible ones, and the alpha itself takes the
/// maximum so that the kept stroke stays visible.
template <class T> struct Extreme {
    bool darkest = true;
    int alpha = -1;

    /// Folds pixel `px` into the running extreme `acc`.
    void merge(T* acc, const T* px, int channels) const {
        if (alpha >= 0 && (acc[alpha] > 0) != (px[alpha] > 0)) {
            if (px[alpha] > 0) std::copy_n(px, channels, acc);
            return;
        }
        for (int c = 0; c < channels; ++c)
            acc[c] = c == alpha ? std::max(acc[c], px[c])
                : darkest       ? std::min(acc[c], px[c])
                                : std::max(acc[c], px[c]);
    }

    void row(const T* in, T* out, const WeightTable& t, int channels) const {
        for (int x = 0; x < t.size(); ++x) {
            const float* w = t.realAt(x);
            T* acc = out + std::size_t(x) * channels;
            bool first = true;
            for (int k = 0; k < t.taps; ++k) {
                if (w[k] == 0) continue;
                const T* px = in + std::size_t(t.start[x] + k) * channels;
                if (first)
                    std::copy_n(px, channels, acc);
                else
                    merge(acc, px, channels);
                first = false;
            }
        }
    }

    void rows(const T* const* rows, const float* w, int taps, T* out, int len, int channels) const {
        bool first = true;
        for (int k = 0; k < taps; ++k) {
            if (w[k] == 0) continue;
            if (first)
                std::copy_n(rows[k], len, out);
            else
                for (int i = 0; i < len; i += channels)
                    merge(out + i, rows[k] + i, channels);
            first = false;
        }
    }
};

} // namespace ie::rs
