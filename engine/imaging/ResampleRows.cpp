#include "ResampleRows.h"

#include <cstring>
#include <vector>

#if defined(__x86_64__) && defined(__SSE4_1__) && defined(__SSSE3__)
#define VST_RESAMPLE_SSE 1
#include <immintrin.h>
#endif

namespace ie::rs {

namespace {

constexpr int kRound = 1 << (kWeightBits - 1);

std::uint8_t clampToByte(int v) {
    return static_cast<std::uint8_t>(std::clamp(v >> kWeightBits, 0, 255));
}

void convolvePixelScalar(
    const std::uint8_t* p, const std::int16_t* w, int taps, int channels, std::uint8_t* out) {
    int acc[8] = { kRound, kRound, kRound, kRound, kRound, kRound, kRound, kRound };
    for (int k = 0; k < taps; ++k)
        for (int c = 0; c < channels; ++c)
            acc[c] += w[k] * p[k * channels + c];
    for (int c = 0; c < channels; ++c)
        out[c] = clampToByte(acc[c]);
}

#ifdef VST_RESAMPLE_SSE

// Byte shuffles that spread two neighbouring pixels' samples into 16-bit pairs (first pixel,
// second pixel) per channel, so that one multiply-add applies two taps to every channel.
template <int Channels> struct PairShuffle;
template <> struct PairShuffle<3> {
    static __m128i first() {
        return _mm_setr_epi8(0, -1, 3, -1, 1, -1, 4, -1, 2, -1, 5, -1, -1, -1, -1, -1);
    }
    static __m128i second() {
        return _mm_setr_epi8(6, -1, 9, -1, 7, -1, 10, -1, 8, -1, 11, -1, -1, -1, -1, -1);
    }
};
template <> struct PairShuffle<4> {
    static __m128i first() {
        return _mm_setr_epi8(0, -1, 4, -1, 1, -1, 5, -1, 2, -1, 6, -1, 3, -1, 7, -1);
    }
    static __m128i second() {
        return _mm_setr_epi8(8, -1, 12, -1, 9, -1, 13, -1, 10, -1, 14, -1, 11, -1, 15, -1);
    }
};

// One output pixel of 3 or 4 channels from taps (a multiple of 4) starting at p.
template <int Channels>
__m128i convolvePixelSse(const std::uint8_t* p, const std::int16_t* w, int taps) {
    const __m128i s01 = PairShuffle<Channels>::first(), s23 = PairShuffle<Channels>::second();
    __m128i acc = _mm_set1_epi32(kRound);
    for (int k = 0; k < taps; k += 4) {
        const __m128i px = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + k * Channels));
        const __m128i wv = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(w + k));
        acc = _mm_add_epi32(
            acc, _mm_madd_epi16(_mm_shuffle_epi8(px, s01), _mm_shuffle_epi32(wv, 0x00)));
        acc = _mm_add_epi32(
            acc, _mm_madd_epi16(_mm_shuffle_epi8(px, s23), _mm_shuffle_epi32(wv, 0x55)));
    }
    acc = _mm_srai_epi32(acc, kWeightBits);
    return _mm_packus_epi16(_mm_packs_epi32(acc, acc), acc);
}

// One grey output sample from taps (a multiple of 4) starting at p.
int convolveGraySse(const std::uint8_t* p, const std::int16_t* w, int taps) {
    __m128i acc = _mm_setzero_si128();
    for (int k = 0; k < taps; k += 4) {
        std::int32_t four;
        std::memcpy(&four, p + k, 4);
        const __m128i px = _mm_cvtepu8_epi16(_mm_cvtsi32_si128(four));
        const __m128i wv = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(w + k));
        acc = _mm_add_epi32(acc, _mm_madd_epi16(px, wv));
    }
    return _mm_cvtsi128_si32(acc) + _mm_extract_epi32(acc, 1);
}

// Destination pixels [0, n) whose 16-byte loads stay inside the row.
int sseSafeCount(const WeightTable& t, int inBytes, int channels) {
    if (t.taps % 4 != 0) return 0;
    const int overread = channels == 3 ? 4 : 0;
    int n = t.size();
    while (n > 0 && (t.start[n - 1] + t.taps) * channels + overread > inBytes)
        --n;
    return n;
}

template <int Channels>
int convolveRowSse(const std::uint8_t* in, std::uint8_t* out, const WeightTable& t, int n) {
    for (int x = 0; x < n; ++x) {
        const __m128i v = convolvePixelSse<Channels>(
            in + std::size_t(t.start[x]) * Channels, t.fixedAt(x), t.taps);
        const std::int32_t packed = _mm_cvtsi128_si32(v);
        // Four bytes at once: a 3-byte pixel's spare byte is overwritten by the next pixel.
        std::memcpy(out + std::size_t(x) * Channels, &packed, x + 1 < n ? 4 : Channels);
    }
    return n;
}

int convolveRowSseGray(const std::uint8_t* in, std::uint8_t* out, const WeightTable& t, int n) {
    for (int x = 0; x < n; ++x)
        out[x] = clampToByte(convolveGraySse(in + t.start[x], t.fixedAt(x), t.taps) + kRound);
    return n;
}

// 16 samples of a vertical blend: pairs of rows interleaved into 16-bit (upper, lower) pairs.
// `pairs` holds the weights of rows k and k + 1 packed in one 32-bit word.
void blendRowsSse(const std::uint8_t* const* rows, const std::int32_t* pairs, int taps,
    std::uint8_t* out, int i) {
    const __m128i zero = _mm_setzero_si128();
    __m128i a0 = _mm_set1_epi32(kRound), a1 = a0, a2 = a0, a3 = a0;
    int k = 0;
    for (; k + 1 < taps; k += 2) {
        const __m128i r0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[k] + i));
        const __m128i r1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[k + 1] + i));
        const __m128i wp = _mm_set1_epi32(pairs[k / 2]);
        const __m128i lo = _mm_unpacklo_epi8(r0, r1), hi = _mm_unpackhi_epi8(r0, r1);
        a0 = _mm_add_epi32(a0, _mm_madd_epi16(_mm_unpacklo_epi8(lo, zero), wp));
        a1 = _mm_add_epi32(a1, _mm_madd_epi16(_mm_unpackhi_epi8(lo, zero), wp));
        a2 = _mm_add_epi32(a2, _mm_madd_epi16(_mm_unpacklo_epi8(hi, zero), wp));
        a3 = _mm_add_epi32(a3, _mm_madd_epi16(_mm_unpackhi_epi8(hi, zero), wp));
    }
    if (k < taps) { // odd tap count: the last row pairs with a zero weight
        const __m128i r0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[k] + i));
        const __m128i wp = _mm_set1_epi32(pairs[k / 2]);
        const __m128i lo = _mm_unpacklo_epi8(r0, zero), hi = _mm_unpackhi_epi8(r0, zero);
        a0 = _mm_add_epi32(a0, _mm_madd_epi16(_mm_unpacklo_epi16(lo, zero), wp));
        a1 = _mm_add_epi32(a1, _mm_madd_epi16(_mm_unpackhi_epi16(lo, zero), wp));
        a2 = _mm_add_epi32(a2, _mm_madd_epi16(_mm_unpacklo_epi16(hi, zero), wp));
        a3 = _mm_add_epi32(a3, _mm_madd_epi16(_mm_unpackhi_epi16(hi, zero), wp));
    }
    const __m128i lo16
        = _mm_packs_epi32(_mm_srai_epi32(a0, kWeightBits), _mm_srai_epi32(a1, kWeightBits));
    const __m128i hi16
        = _mm_packs_epi32(_mm_srai_epi32(a2, kWeightBits), _mm_srai_epi32(a3, kWeightBits));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(lo16, hi16));
}

#endif

int convolveRowFast(
    const std::uint8_t* in, int inBytes, std::uint8_t* out, const WeightTable& t, int channels) {
#ifdef VST_RESAMPLE_SSE
    const int n = sseSafeCount(t, inBytes, channels);
    switch (channels) {
    case 1:
        return convolveRowSseGray(in, out, t, n);
    case 3:
        return convolveRowSse<3>(in, out, t, n);
    case 4:
        return convolveRowSse<4>(in, out, t, n);
    default:
        break;
    }
#else
    (void)in, (void)inBytes, (void)out, (void)t, (void)channels;
#endif
    return 0;
}

} // namespace

void convolveRow(
    const std::uint8_t* in, int inBytes, std::uint8_t* out, const WeightTable& t, int channels) {
    for (int x = convolveRowFast(in, inBytes, out, t, channels); x < t.size(); ++x)
        convolvePixelScalar(in + std::size_t(t.start[x]) * channels, t.fixedAt(x), t.taps, channels,
            out + std::size_t(x) * channels);
}

void blendRows(
    const std::uint8_t* const* rows, const std::int16_t* w, int taps, std::uint8_t* out, int len) {
    if (taps == 1) { // an axis left at its size: the weight is exactly one
        std::memcpy(out, rows[0], len);
        return;
    }
    int i = 0;
#ifdef VST_RESAMPLE_SSE
    if (len >= 16) {
        std::vector<std::int32_t> pairs((taps + 1) / 2);
        for (int k = 0; k < taps; k += 2) {
            const std::uint32_t second = k + 1 < taps ? std::uint16_t(w[k + 1]) : 0;
            pairs[k / 2] = std::int32_t(std::uint16_t(w[k]) | (second << 16));
        }
        for (; i + 16 <= len; i += 16)
            blendRowsSse(rows, pairs.data(), taps, out, i);
    }
#endif
    for (; i < len; ++i) {
        int acc = kRound;
        for (int k = 0; k < taps; ++k)
            acc += w[k] * rows[k][i];
        out[i] = clampToByte(acc);
    }
}

void convolveRow(const float* in, int, float* out, const WeightTable& t, int channels) {
    for (int x = 0; x < t.size(); ++x) {
        const float* p = in + std::size_t(t.start[x]) * channels;
        const float* w = t.realAt(x);
        float* o = out + std::size_t(x) * channels;
        for (int c = 0; c < channels; ++c) {
            float acc = 0;
            for (int k = 0; k < t.taps; ++k)
                acc += w[k] * p[k * channels + c];
            o[c] = acc;
        }
    }
}

void blendRows(const float* const* rows, const float* w, int taps, float* out, int len) {
    std::fill_n(out, len, 0.0f);
    for (int k = 0; k < taps; ++k) {
        const float* r = rows[k];
        const float wk = w[k];
        for (int i = 0; i < len; ++i)
            out[i] += wk * r[i];
    }
}

} // namespace ie::rs
