#include "proc/filter/Separable.h"

#include "proc/filter/FilterCore.h"

#include <cmath>
#include <numeric>
#include <utility>

namespace ie::proc::detail {

int Filter1D::reach() const {
    switch (kind) {
    case Kind::Kernel:
        return taps.empty() ? 0 : int(taps.size()) - 1;
    case Kind::Boxes:
        return std::accumulate(radii.begin(), radii.end(), 0);
    default:
        return radii.empty() ? 0 : radii[0];
    }
}

Filter1D gaussianFilter(double sigma) {
    Filter1D f;
    if (!(sigma > 0.05)) return f;
    if (sigma <= 4.0) {
        const int r = int(std::ceil(3.0 * sigma));
        f.taps.resize(r + 1);
        double sum = 0;
        for (int k = 0; k <= r; ++k) {
            f.taps[k] = float(std::exp(-0.5 * k * k / (sigma * sigma)));
            sum += (k == 0 ? 1 : 2) * double(f.taps[k]);
        }
        for (float& t : f.taps)
            t = float(t / sum);
        return f;
    }
    // Boxes whose variances add up to sigma^2: m passes of width wl, the rest of width wl + 2.
    constexpr int passes = 4;
    const double s2 = sigma * sigma;
    int wl = int(std::floor(std::sqrt(12.0 * s2 / passes + 1)));
    if (wl % 2 == 0) --wl;
    const int m = int(std::lround(
        (12.0 * s2 - passes * wl * wl - 4.0 * passes * wl - 3.0 * passes) / (-4.0 * wl - 4.0)));
    f.kind = Filter1D::Kind::Boxes;
    for (int i = 0; i < passes; ++i)
        f.radii.push_back(((i < m ? wl : wl + 2) - 1) / 2);
    return f;
}

Filter1D boxFilter(int radius) {
    Filter1D f;
    if (radius <= 0) return f;
    f.kind = Filter1D::Kind::Boxes;
    f.radii = { radius };
    return f;
}

Filter1D rankFilter(int radius, bool max) {
    Filter1D f;
    if (radius <= 0) return f;
    f.kind = max ? Filter1D::Kind::Max : Filter1D::Kind::Min;
    f.radii = { radius };
    return f;
}

namespace {

// A symmetric kernel over n samples from `c`; `pair(p, k, step)` gives the two samples k taps
// away on either side of p. Works in tiles that stay in the first-level cache while the taps
// are summed.
template <class Pair>
void symmetricKernel(
    const std::vector<float>& taps, const float* c, int step, int n, float* out, Pair&& pair) {
    constexpr int tile = 1024;
    const int R = int(taps.size()) - 1;
    for (int t0 = 0; t0 < n; t0 += tile) {
        const int len = std::min(tile, n - t0);
        float* o = out + t0;
        const float* p = c + t0;
        for (int i = 0; i < len; ++i)
            o[i] = taps[0] * p[i];
        for (int k = 1; k <= R; ++k) {
            const auto [a, b] = pair(p, k, step);
            const float t = taps[k];
            for (int i = 0; i < len; ++i)
                o[i] += t * (a[i] + b[i]);
        }
    }
}

// One box pass over `len` pixels of C interleaved samples: `len - 2r` averages come out.
template <int C> void boxRun(const float* in, int len, int r, float* out) {
    const int outLen = len - 2 * r;
    const float inv = 1.f / float(2 * r + 1);
    float s[C] = {};
    for (int t = 0; t <= 2 * r; ++t)
        for (int c = 0; c < C; ++c)
            s[c] += in[t * C + c];
    const float* add = in + (2 * r + 1) * C;
    for (int j = 0; j < outLen; ++j) {
        for (int c = 0; c < C; ++c)
            out[j * C + c] = s[c] * inv;
        if (j + 1 == outLen) break;
        for (int c = 0; c < C; ++c)
            s[c] += add[j * C + c] - in[j * C + c];
    }
}

void boxRunAny(const float* in, int len, int r, int channels, float* out) {
    switch (channels) {
    case 1:
        return boxRun<1>(in, len, r, out);
    case 3:
        return boxRun<3>(in, len, r, out);
    default:
        return boxRun<4>(in, len, r, out);
    }
}

template <bool Max> void rankRun(const float* c, int n, int r, int step, float* out) {
    for (int i = 0; i < n; ++i)
        out[i] = c[i];
    for (int k = 1; k <= r; ++k) {
        const float* a = c - k * step;
        const float* b = c + k * step;
        for (int i = 0; i < n; ++i) {
            const float m = Max ? std::max(a[i], b[i]) : std::min(a[i], b[i]);
            out[i] = Max ? std::max(out[i], m) : std::min(out[i], m);
        }
    }
}

// Filters one padded row (`reach` pixels of margin on both sides) into `out` (`pixels` pixels).
class RowFilter {
public:
    RowFilter(const Filter1D& f, int pixels, int channels)
        : m_f(f)
        , m_pixels(pixels)
        , m_channels(channels) {
        if (f.kind == Filter1D::Kind::Boxes && f.radii.size() > 1) {
            const std::size_t len = std::size_t(pixels + 2 * f.reach()) * channels;
            m_scratch[0].resize(len);
            m_scratch[1].resize(len);
        }
    }

    void run(const float* in, float* out) {
        const int C = m_channels, n = m_pixels * C, P = m_f.reach();
        const float* c = in + P * C;
        switch (m_f.kind) {
        case Filter1D::Kind::Kernel:
            return symmetricKernel(m_f.taps, c, C, n, out, [](const float* p, int k, int C) {
                return std::pair { p - k * C, p + k * C };
            });
        case Filter1D::Kind::Boxes: {
            const float* cur = in;
            int len = m_pixels + 2 * P;
            for (std::size_t p = 0; p < m_f.radii.size(); ++p) {
                float* dest = p + 1 == m_f.radii.size() ? out : m_scratch[p % 2].data();
                boxRunAny(cur, len, m_f.radii[p], C, dest);
                len -= 2 * m_f.radii[p];
                cur = dest;
            }
            return;
        }
        case Filter1D::Kind::Max:
            return rankRun<true>(c, n, P, C, out);
        case Filter1D::Kind::Min:
            return rankRun<false>(c, n, P, C, out);
        }
    }

private:
    const Filter1D& m_f;
    int m_pixels, m_channels;
    std::vector<float> m_scratch[2];
};

// A running box average over rows: push rows in, get averages out once the window is full.
class BoxStage {
public:
    BoxStage(int radius, int n)
        : m_window(2 * radius + 1)
        , m_n(n)
        , m_inv(1.f / float(2 * radius + 1))
        , m_ring(std::size_t(m_window) * n)
        , m_acc(n, 0.f)
        , m_out(n) { }

    const float* push(const float* row) {
        float* slot = m_ring.data() + std::size_t((m_head + m_count) % m_window) * m_n;
        for (int i = 0; i < m_n; ++i) {
            slot[i] = row[i];
            m_acc[i] += row[i];
        }
        if (++m_count < m_window) return nullptr;
        const float* old = m_ring.data() + std::size_t(m_head) * m_n;
        for (int i = 0; i < m_n; ++i) {
            m_out[i] = m_acc[i] * m_inv;
            m_acc[i] -= old[i];
        }
        m_head = (m_head + 1) % m_window;
        --m_count;
        return m_out.data();
    }

private:
    int m_window, m_n;
    float m_inv;
    std::vector<float> m_ring, m_acc, m_out;
    int m_head = 0, m_count = 0;
};

struct BandContext {
    const Bitmap& src;
    Rect rect;
    const Filter1D& h;
    const Filter1D& v;
    const RowSink& sink;
    int channels;
};

template <class T> class BandRunner {
public:
    BandRunner(const BandContext& ctx)
        : m_ctx(ctx)
        , m_n(ctx.rect.w * ctx.channels)
        , m_hReach(ctx.h.reach())
        , m_padded(std::size_t(ctx.rect.w + 2 * m_hReach) * ctx.channels)
        , m_rowFilter(ctx.h, ctx.rect.w, ctx.channels) { }

    // Filters image row `y` (clamped to the image) horizontally into `out`.
    void horizontal(int y, float* out) {
        const Bitmap& s = m_ctx.src;
        y = std::clamp(y, 0, s.height() - 1);
        const int x0 = m_ctx.rect.x - m_hReach, x1 = m_ctx.rect.right() + m_hReach;
        if (m_hReach == 0) {
            loadRow(row<T>(s, y), s.width(), m_ctx.channels, x0, x1, out);
            return;
        }
        loadRow(row<T>(s, y), s.width(), m_ctx.channels, x0, x1, m_padded.data());
        m_rowFilter.run(m_padded.data(), out);
    }

    void run(int b0, int b1) {
        const Filter1D& v = m_ctx.v;
        if (v.isIdentity()) {
            std::vector<float> out(m_n);
            for (int y = b0; y < b1; ++y) {
                horizontal(y, out.data());
                m_ctx.sink(y, out.data());
            }
        } else if (v.kind == Filter1D::Kind::Boxes) {
            runBoxes(b0, b1);
        } else {
            runWindow(b0, b1);
        }
    }

private:
    void runBoxes(int b0, int b1) {
        const Filter1D& v = m_ctx.v;
        std::vector<BoxStage> stages;
        for (int r : v.radii)
            stages.emplace_back(r, m_n);
        std::vector<float> in(m_n);
        const int P = v.reach();
        int y = b0;
        for (int yy = b0 - P; yy < b1 + P; ++yy) {
            horizontal(yy, in.data());
            const float* p = in.data();
            for (BoxStage& s : stages)
                if (!(p = s.push(p))) break;
            if (p) m_ctx.sink(y++, p);
        }
    }

    void runWindow(int b0, int b1) {
        const Filter1D& v = m_ctx.v;
        const int R = v.reach(), W = 2 * R + 1;
        std::vector<float> ring(std::size_t(W) * m_n), out(m_n);
        auto slot = [&](int yy) { return ring.data() + std::size_t((yy - b0 + W) % W) * m_n; };
        for (int yy = b0 - R; yy < b1 + R; ++yy) {
            horizontal(yy, slot(yy));
            const int y = yy - R;
            if (y < b0) continue;
            const float* c = slot(y);
            if (v.kind == Filter1D::Kind::Kernel) {
                symmetricKernel(v.taps, c, 0, m_n, out.data(), [&](const float* p, int k, int) {
                    const std::ptrdiff_t off = p - c;
                    return std::pair { slot(y - k) + off, slot(y + k) + off };
                });
            } else {
                const bool isMax = v.kind == Filter1D::Kind::Max;
                for (int i = 0; i < m_n; ++i)
                    out[i] = c[i];
                for (int k = -R; k <= R; ++k) {
                    const float* a = slot(y + k);
                    if (isMax)
                        for (int i = 0; i < m_n; ++i)
                            out[i] = std::max(out[i], a[i]);
                    else
                        for (int i = 0; i < m_n; ++i)
                            out[i] = std::min(out[i], a[i]);
                }
            }
            m_ctx.sink(y, out.data());
        }
    }

    const BandContext& m_ctx;
    int m_n, m_hReach;
    std::vector<float> m_padded;
    RowFilter m_rowFilter;
};

} // namespace

void separableFilter(const Bitmap& src, Rect rect, const Filter1D& horizontal,
    const Filter1D& vertical, const RowSink& sink) {
    rect = rect.intersected(src.rect());
    if (rect.isEmpty()) return;
    dispatch(src.pixelFormat(), [&](auto layout) {
        using T = typename decltype(layout)::Sample;
        const BandContext ctx { src, rect, horizontal, vertical, sink, layout.channels };
        // Each band re-reads the rows the vertical filter overlaps: keep bands tall.
        const int minRows = std::max(32, 6 * vertical.reach());
        forBands(rect.y, rect.bottom(), minRows, [&](int b0, int b1) {
            BandRunner<T> runner(ctx);
            runner.run(b0, b1);
        });
    });
}

RowSink storeInto(Bitmap& dst, Rect rect) {
    return [&dst, rect](int y, const float* values) {
        dispatch(dst.pixelFormat(), [&](auto layout) {
            using T = typename decltype(layout)::Sample;
            const int C = layout.channels;
            storeRow(values, rect.w * C, mutableRow<T>(dst, y) + std::size_t(rect.x) * C);
        });
    };
}

} // namespace ie::proc::detail
