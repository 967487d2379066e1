#include "Resample.h"

#include "Convert.h"
#include "Error.h"
#include "Parallel.h"
#include "ResampleRows.h"
#include "ResampleWeights.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace ie {

namespace {

using rs::Extreme;
using rs::FilterSpec;
using rs::Method;
using rs::WeightTable;

constexpr std::array<std::string_view, kResampleFilterCount> kNames = { "None", "Triangle",
    "Hermite", "Bell", "B-Spline", "Lanczos 3", "Mitchell", "Nearest Neighbor", "Linear",
    "Fast Linear", "Bilinear", "Bicubic", "Project B+W", "Project W+B", "Nearest Neighbor (WIC)",
    "Bilinear (WIC)", "Bicubic (WIC)", "Fant (WIC)", "High Quality Bicubic (WIC)" };

// Lower case without spaces and punctuation: "Project B+W" and "projectbw" compare equal.
std::string compactName(std::string_view name) {
    std::string s;
    for (const char ch : name)
        if (std::isalnum(static_cast<unsigned char>(ch)))
            s += static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return s;
}

// Extra sample buffered after working rows: the SSE kernels read a few bytes past a pixel.
constexpr int kRowPad = 16;
// Beyond this many taps 14-bit weights lose too much precision; the float path takes over.
constexpr int kMaxFixedTaps = 512;

// A source rectangle in real coordinates.
struct Area {
    double x, y, w, h;
};

// How source rows are laid out as working samples.
struct Layout {
    int colour = 3; // samples per pixel in the colour plane (Rgba32 counts its alpha)
    bool wide = false; // 16-bit samples
    bool planeAlpha = false; // the alpha plane travels as one more sample per pixel
    int alpha = -1; // index of the alpha sample in a working pixel, or -1
    bool premultiply = false; // colour is weighted by alpha while filtering
    bool ink = false; // samples grow darker as they grow (CMYK)
    int samples() const { return colour + (planeAlpha ? 1 : 0); }
};

// ---- nearest neighbour: any format, kept as it is ----

template <int N>
void copyPixels(const std::uint8_t* in, std::uint8_t* out, const std::vector<int>& xs) {
    for (std::size_t x = 0; x < xs.size(); ++x)
        std::memcpy(out + x * N, in + std::size_t(xs[x]) * N, N);
}

void copyBits(const std::uint8_t* in, std::uint8_t* out, const std::vector<int>& xs) {
    std::memset(out, 0, (xs.size() + 7) / 8);
    for (std::size_t x = 0; x < xs.size(); ++x)
        if ((in[xs[x] >> 3] >> (7 - (xs[x] & 7))) & 1) out[x >> 3] |= std::uint8_t(0x80 >> (x & 7));
}

void copyRowNearest(
    const std::uint8_t* in, std::uint8_t* out, const std::vector<int>& xs, int bitsPerPixel) {
    switch (bitsPerPixel) {
    case 1:
        return copyBits(in, out, xs);
    case 8:
        return copyPixels<1>(in, out, xs);
    case 16:
        return copyPixels<2>(in, out, xs);
    case 24:
        return copyPixels<3>(in, out, xs);
    case 32:
        return copyPixels<4>(in, out, xs);
    default:
        return copyPixels<6>(in, out, xs);
    }
}

void renderNearest(const Bitmap& src, const Area& a, Bitmap& dst) {
    const std::vector<int> xs = rs::nearestIndices(src.width(), dst.width(), a.x, a.w);
    const std::vector<int> ys = rs::nearestIndices(src.height(), dst.height(), a.y, a.h);
    const int bpp = bitsPerPixel(src.pixelFormat());
    dst.detach();
    parallelFor(0, dst.height(), [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            copyRowNearest(src.scanline(ys[y]), dst.mutableScanline(y), xs, bpp);
            if (!dst.hasAlphaPlane()) continue;
            if (src.hasAlphaPlane())
                copyPixels<1>(src.alphaLine(ys[y]), dst.mutableAlphaLine(y), xs);
            else
                std::memset(dst.mutableAlphaLine(y), 255, dst.width());
        }
    });
}

// ---- the separable two-pass filter ----

// Working rows in samples of T (8-bit fixed point or float); rows are read from the source span
// [x0, x0 + span) and written to whole destination rows.
template <class T> class TwoPass {
public:
    TwoPass(const Bitmap& src, Bitmap& dst, const Layout& layout, const FilterSpec& spec,
        WeightTable tx, WeightTable ty)
        : m_src(src)
        , m_dst(dst)
        , m_layout(layout)
        , m_spec(spec)
        , m_tx(std::move(tx))
        , m_ty(std::move(ty))
        , m_c(layout.samples()) {
        // Only the columns the table reaches are read; starts become relative to the first.
        m_x0 = m_tx.start.front();
        m_span = m_tx.start.back() + m_tx.taps - m_x0;
        for (int& s : m_tx.start)
            s -= m_x0;
        m_extreme = { (spec.method == Method::Darkest) != layout.ink, layout.alpha };
        m_verticalFirst = verticalIsCheaper();
    }

    void run() {
        m_dst.detach();
        parallelFor(
            0, m_dst.height(), [this](int y0, int y1) { band(y0, y1); }, 8);
    }

private:
    // The horizontal pass costs about twice the vertical one per tap (gathers, no wide loads).
    bool verticalIsCheaper() const {
        const double outW = m_tx.size(), outH = m_ty.size();
        const double rows = std::min<double>(
            m_ty.start.back() + m_ty.taps - m_ty.start.front(), outH * m_ty.taps);
        const double hCost = 2.0 * m_tx.taps, vCost = m_ty.taps;
        const double vFirst = outH * m_span * vCost + outH * outW * hCost;
        const double hFirst = rows * outW * hCost + outH * outW * vCost;
        return vFirst < hFirst;
    }

    bool directRows() const { return std::is_same_v<T, std::uint8_t> && !m_layout.planeAlpha; }

    // Source row y as working samples, from the first column in use.
    const T* sourceRow(int y, T* buf) const {
        const std::uint8_t* row = m_src.scanline(y);
        const std::size_t skip = std::size_t(m_x0) * m_layout.colour;
        if constexpr (std::is_same_v<T, std::uint8_t>) {
            if (!m_layout.planeAlpha) return row + skip;
        }
        const std::uint8_t* alphaRow = m_layout.planeAlpha ? m_src.alphaLine(y) + m_x0 : nullptr;
        for (int x = 0; x < m_span; ++x) {
            T* px = buf + std::size_t(x) * m_c;
            for (int c = 0; c < m_layout.colour; ++c)
                px[c] = sample(row, skip + std::size_t(x) * m_layout.colour + c);
            if (alphaRow) px[m_layout.colour] = alphaRow[x];
            if (m_layout.premultiply) {
                const T a = px[m_layout.alpha] * T(1.0 / 255);
                for (int c = 0; c < m_c; ++c)
                    if (c != m_layout.alpha) px[c] *= a;
            }
        }
        return buf;
    }

    T sample(const std::uint8_t* row, std::size_t i) const {
        if (!m_layout.wide) return row[i];
        std::uint16_t v;
        std::memcpy(&v, row + i * 2, 2);
        return T(v);
    }

    // Bytes readable from a working row pointer (padding included for our own buffers).
    int readable(const T* row, const T* buf) const {
        if (row != buf) return int(m_src.rowBytes() - std::size_t(m_x0) * m_layout.colour);
        return (m_span * m_c + kRowPad) * int(sizeof(T));
    }

    T* targetRow(int y, T* buf) {
        if (directRows()) return reinterpret_cast<T*>(m_dst.mutableScanline(y));
        return buf;
    }

    void commitRow(int y, const T* row) {
        if (m_dst.hasAlphaPlane() && !m_layout.planeAlpha) // opaque: alpha was not filtered
            std::memset(m_dst.mutableAlphaLine(y), 255, m_dst.width());
        if (directRows()) return;
        std::uint8_t* out = m_dst.mutableScanline(y);
        std::uint8_t* alphaOut
            = m_layout.planeAlpha && m_dst.hasAlphaPlane() ? m_dst.mutableAlphaLine(y) : nullptr;
        const double maxValue = m_layout.wide ? 65535 : 255;
        for (int x = 0; x < m_dst.width(); ++x) {
            const T* px = row + std::size_t(x) * m_c;
            double unweight = 1;
            if (m_layout.premultiply) {
                const double a = px[m_layout.alpha];
                unweight = a > 1e-3 ? 255.0 / a : 0.0;
            }
            for (int c = 0; c < m_layout.colour; ++c) {
                const double v = c == m_layout.alpha ? px[c] : px[c] * unweight;
                store(out, std::size_t(x) * m_layout.colour + c, std::clamp(v, 0.0, maxValue));
            }
            if (alphaOut)
                alphaOut[x] = static_cast<std::uint8_t>(
                    std::lround(std::clamp<double>(px[m_layout.colour], 0, 255)));
        }
    }

    void store(std::uint8_t* row, std::size_t i, double v) const {
        if (!m_layout.wide) {
            row[i] = static_cast<std::uint8_t>(std::lround(v));
            return;
        }
        const auto w = static_cast<std::uint16_t>(std::lround(v));
        std::memcpy(row + i * 2, &w, 2);
    }

    void horizontal(const T* in, int inBytes, T* out) const {
        if (m_spec.method == Method::Convolve)
            rs::convolveRow(in, inBytes, out, m_tx, m_c);
        else
            m_extreme.row(in, out, m_tx, m_c);
    }

    void vertical(const T* const* rows, int y, T* out, int len) const {
        if (m_spec.method != Method::Convolve)
            m_extreme.rows(rows, m_ty.realAt(y), m_ty.taps, out, len, m_c);
        else if constexpr (std::is_same_v<T, float>)
            rs::blendRows(rows, m_ty.realAt(y), m_ty.taps, out, len);
        else
            rs::blendRows(rows, m_ty.fixedAt(y), m_ty.taps, out, len);
    }

    // Output rows [y0, y1): each source row a band needs is prepared once into a small ring
    // (horizontally filtered first, or only converted when the vertical pass goes first).
    void band(int y0, int y1) {
        const int taps = m_ty.taps;
        const int dstLen = m_dst.width() * m_c;
        // Rows read in place need no ring storage, only their pointers.
        const bool inPlace = m_verticalFirst && directRows();
        const int ringLen = (m_verticalFirst ? m_span * m_c : dstLen) + kRowPad;
        std::vector<T> ring(inPlace ? 0 : std::size_t(ringLen) * taps);
        std::vector<int> ringRow(taps, -1);
        std::vector<const T*> ringPtr(taps);
        std::vector<T> scratch(
            m_verticalFirst || directRows() ? 0 : std::size_t(m_span) * m_c + kRowPad);
        std::vector<T> middle(m_verticalFirst ? std::size_t(m_span) * m_c + kRowPad : 0);
        std::vector<T> outBuf(directRows() ? 0 : std::size_t(dstLen) + kRowPad);
        std::vector<const T*> rows(taps);
        for (int y = y0; y < y1; ++y) {
            for (int k = 0; k < taps; ++k) {
                const int j = m_ty.start[y] + k, slot = j % taps;
                if (ringRow[slot] != j) {
                    T* cell = inPlace ? nullptr : ring.data() + std::size_t(slot) * ringLen;
                    if (m_verticalFirst) {
                        ringPtr[slot] = sourceRow(j, cell);
                    } else {
                        const T* in = sourceRow(j, scratch.data());
                        horizontal(in, readable(in, scratch.data()), cell);
                        ringPtr[slot] = cell;
                    }
                    ringRow[slot] = j;
                }
                rows[k] = ringPtr[slot];
            }
            T* out = targetRow(y, outBuf.data());
            if (m_verticalFirst) {
                vertical(rows.data(), y, middle.data(), m_span * m_c);
                horizontal(middle.data(), readable(middle.data(), middle.data()), out);
            } else {
                vertical(rows.data(), y, out, dstLen);
            }
            commitRow(y, out);
        }
    }

    const Bitmap& m_src;
    Bitmap& m_dst;
    Layout m_layout;
    FilterSpec m_spec;
    WeightTable m_tx, m_ty;
    int m_c;
    int m_x0 = 0, m_span = 0;
    Extreme<T> m_extreme;
    bool m_verticalFirst = false;
};

bool areaOpaque(const Bitmap& src, const WeightTable& tx, const WeightTable& ty) {
    const int x0 = tx.start.front(), x1 = tx.start.back() + tx.taps;
    const int y0 = ty.start.front(), y1 = ty.start.back() + ty.taps;
    const bool interleaved = src.pixelFormat() == PixelFormat::Rgba32;
    for (int y = y0; y < y1; ++y) {
        const std::uint8_t* a = interleaved ? src.scanline(y) + 3 : src.alphaLine(y);
        const int step = interleaved ? 4 : 1;
        for (int x = x0; x < x1; ++x)
            if (a[x * step] != 255) return false;
    }
    return true;
}

void renderFiltered(const Bitmap& src, const Area& a, Bitmap& dst, const FilterSpec& spec) {
    const PixelFormat f = src.pixelFormat();
    if (f == PixelFormat::Bw1 || f == PixelFormat::Palette8)
        throw Error("Filtered resampling needs a grey or colour image, not "
            + std::string(pixelFormatName(f)));
    Layout layout;
    layout.colour = f == PixelFormat::Rgba32 ? 4 : channelCount(f);
    layout.wide = bitsPerSample(f) == 16;
    layout.ink = f == PixelFormat::Cmyk32;
    const bool convolve = spec.method == Method::Convolve;
    // 4-tap multiples suit the SIMD kernels; float tables need no padding.
    WeightTable tx = rs::makeWeights(src.width(), dst.width(), a.x, a.w, spec, 4);
    WeightTable ty = rs::makeWeights(src.height(), dst.height(), a.y, a.h, spec, 1);
    const bool alpha = src.hasAlpha() && (f == PixelFormat::Rgba32 || dst.hasAlphaPlane());
    const bool translucent = alpha && !areaOpaque(src, tx, ty);
    // Opaque alpha needs no filtering: convolution keeps it at 255 and a plane is refilled.
    layout.planeAlpha = src.hasAlphaPlane() && alpha && (translucent || !convolve);
    if (f == PixelFormat::Rgba32) layout.alpha = 3;
    if (layout.planeAlpha) layout.alpha = layout.colour;
    layout.premultiply = convolve && translucent;
    if (!layout.wide && !layout.premultiply && std::max(tx.taps, ty.taps) <= kMaxFixedTaps)
        TwoPass<std::uint8_t>(src, dst, layout, spec, std::move(tx), std::move(ty)).run();
    else
        TwoPass<float>(src, dst, layout, spec, std::move(tx), std::move(ty)).run();
}

void render(const Bitmap& src, const Area& a, Bitmap& dst, ResampleFilter filter) {
    const FilterSpec spec = rs::filterSpec(filter);
    if (spec.method == Method::Nearest)
        renderNearest(src, a, dst);
    else
        renderFiltered(src, a, dst, spec);
}

} // namespace

std::string_view resampleFilterName(int filter) {
    return filter >= 0 && filter < kResampleFilterCount ? kNames[filter] : "ERROR";
}

int resampleFilterFromName(std::string_view name) {
    const std::string key = compactName(name);
    if (key.empty()) return -1;
    for (int i = 0; i < kResampleFilterCount; ++i)
        if (compactName(kNames[i]) == key) return i;
    if (key == "nearest") return int(ResampleFilter::Nearest);
    return -1;
}

Bitmap resample(const Bitmap& src, int width, int height, ResampleFilter filter) {
    Plane::checkSize(width, height);
    if (src.isNull()) throw Error("Cannot resample an empty image");
    if (width == src.width() && height == src.height()) return src;
    Bitmap work = src;
    const PixelFormat f = src.pixelFormat();
    if (rs::filterSpec(filter).method != Method::Nearest
        && (f == PixelFormat::Bw1 || f == PixelFormat::Palette8))
        work = convertTo(src, f == PixelFormat::Bw1 ? PixelFormat::Gray8 : PixelFormat::Rgb24);
    Bitmap dst(width, height, work.pixelFormat());
    dst.setPalette(work.palette());
    dst.setDpi(work.dpiX(), work.dpiY());
    if (work.hasAlphaPlane()) dst.addAlphaPlane();
    render(work, { 0, 0, double(work.width()), double(work.height()) }, dst, filter);
    return dst;
}

void resampleInto(const Bitmap& src, double srcX, double srcY, double srcW, double srcH,
    Bitmap& dst, ResampleFilter filter) {
    if (src.isNull() || dst.isNull()) throw Error("Cannot resample an empty image");
    if (src.pixelFormat() != dst.pixelFormat())
        throw Error("Stretched drawing needs the same pixel format on both sides");
    // Far beyond any image side: such a rectangle is a caller's mistake, and would cost weight
    // tables the size of the rectangle.
    constexpr double far = 4.0 * Plane::kMaxSide;
    const bool sane = srcW > 0 && srcH > 0 && srcW <= far && srcH <= far && std::abs(srcX) <= far
        && std::abs(srcY) <= far;
    if (!sane) throw Error("Invalid source rectangle for stretched drawing");
    render(src, { srcX, srcY, srcW, srcH }, dst, filter);
}

} // namespace ie
