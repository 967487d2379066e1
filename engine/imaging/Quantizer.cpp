#include "Quantizer.h"

#include "Parallel.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace ie {

// ---- ExactPalette

namespace {
constexpr std::uint32_t keyOf(const std::uint8_t* p) {
    return (std::uint32_t(p[0]) << 16 | std::uint32_t(p[1]) << 8 | p[2]) + 1;
}
} // namespace

int ExactPalette::insert(std::uint32_t key, int limit) {
    constexpr std::uint32_t mask = (1u << kSlotBits) - 1;
    for (std::uint32_t h = (key * 2654435761u) >> (32 - kSlotBits);; h = (h + 1) & mask) {
        if (m_keys[h] == key) return m_index[h];
        if (m_keys[h] == 0) {
            if (int(m_colors.size()) >= limit) return -1;
            m_keys[h] = key;
            m_index[h] = std::uint8_t(m_colors.size());
            const std::uint32_t c = key - 1;
            m_colors.push_back({ std::uint8_t(c >> 16), std::uint8_t(c >> 8), std::uint8_t(c) });
            return m_index[h];
        }
    }
}

bool ExactPalette::build(const Bitmap& rgb, int limit) {
    limit = std::min(limit, 256);
    m_keys.fill(0);
    m_colors.clear();
    std::uint32_t last = 0;
    for (int y = 0; y < rgb.height(); ++y) {
        const std::uint8_t* p = rgb.scanline(y);
        for (int x = 0; x < rgb.width(); ++x, p += 3) {
            const std::uint32_t key = keyOf(p);
            if (key == last) continue; // runs of one colour are the common case
            if (insert(key, limit) < 0) return false;
            last = key;
        }
    }
    return true;
}

std::uint8_t ExactPalette::indexOf(const std::uint8_t* rgb) const {
    constexpr std::uint32_t mask = (1u << kSlotBits) - 1;
    const std::uint32_t key = keyOf(rgb);
    std::uint32_t h = (key * 2654435761u) >> (32 - kSlotBits);
    while (m_keys[h] != key && m_keys[h] != 0)
        h = (h + 1) & mask;
    return m_index[h];
}

// ---- Median cut

namespace {

struct Bin {
    std::uint64_t count = 0, r = 0, g = 0, b = 0;
};

void add(Bin& to, const Bin& b) {
    to.count += b.count;
    to.r += b.r;
    to.g += b.g;
    to.b += b.b;
}

constexpr int kHistBits = 5;
constexpr int kHistSize = 1 << (3 * kHistBits);
constexpr int kRefinePasses = 3;

std::vector<Bin> histogram(const Bitmap& rgb) {
    // One histogram per band of rows, merged at the end: no sharing while counting.
    const int bands = std::max(1, std::min(threadCount(), rgb.height()));
    std::vector<std::vector<Bin>> parts(bands);
    parallelFor(
        0, bands,
        [&](int b0, int b1) {
            for (int band = b0; band < b1; ++band) {
                std::vector<Bin>& hist = parts[band];
                hist.assign(kHistSize, {});
                const int y0 = int(std::int64_t(rgb.height()) * band / bands);
                const int y1 = int(std::int64_t(rgb.height()) * (band + 1) / bands);
                for (int y = y0; y < y1; ++y) {
                    const std::uint8_t* p = rgb.scanline(y);
                    for (int x = 0; x < rgb.width(); ++x, p += 3) {
                        Bin& bin = hist[(p[0] >> 3) << 10 | (p[1] >> 3) << 5 | p[2] >> 3];
                        ++bin.count;
                        bin.r += p[0];
                        bin.g += p[1];
                        bin.b += p[2];
                    }
                }
            }
        },
        1);
    std::vector<Bin> total = std::move(parts[0]);
    for (int band = 1; band < bands; ++band)
        for (int i = 0; i < kHistSize; ++i)
            add(total[i], parts[band][i]);
    return total;
}

// A non-empty histogram bin with the mean colour of its pixels.
struct Entry {
    double mean[3];
    Bin sums;
};

struct Box {
    int begin = 0, end = 0;
    double error = 0; // population-weighted variance: the box with most of it is split next
    int axis = 0;
};

Box measure(const std::vector<Entry>& entries, int begin, int end) {
    Box box { begin, end, 0, 0 };
    if (end - begin < 2) return box;
    double n = 0, s1[3] = {}, s2[3] = {};
    for (int i = begin; i < end; ++i) {
        const double c = double(entries[i].sums.count);
        n += c;
        for (int a = 0; a < 3; ++a) {
            s1[a] += c * entries[i].mean[a];
            s2[a] += c * entries[i].mean[a] * entries[i].mean[a];
        }
    }
    double best = -1;
    for (int a = 0; a < 3; ++a) {
        const double v = s2[a] - s1[a] * s1[a] / n;
        box.error += v;
        if (v > best) {
            best = v;
            box.axis = a;
        }
    }
    return box;
}

// Splits at the population median along the box's widest axis; returns the first index of the
// upper half.
int splitPoint(std::vector<Entry>& entries, const Box& box) {
    const auto first = entries.begin() + box.begin, last = entries.begin() + box.end;
    std::sort(first, last,
        [a = box.axis](const Entry& p, const Entry& q) { return p.mean[a] < q.mean[a]; });
    std::uint64_t total = 0;
    for (auto it = first; it != last; ++it)
        total += it->sums.count;
    std::uint64_t seen = 0;
    int i = box.begin;
    while (i < box.end - 1 && (seen += entries[i].sums.count) < (total + 1) / 2)
        ++i;
    return std::clamp(i + 1, box.begin + 1, box.end - 1);
}

Rgb meanOf(const Bin& s) {
    auto avg = [&](std::uint64_t v) { return std::uint8_t((v + s.count / 2) / s.count); };
    return { avg(s.r), avg(s.g), avg(s.b) };
}

Rgb meanColor(const std::vector<Entry>& entries, const Box& box) {
    Bin s;
    for (int i = box.begin; i < box.end; ++i)
        add(s, entries[i].sums);
    return meanOf(s);
}

// Lloyd passes: every bin goes to its nearest entry, every entry moves to the mean of its bins.
// Median cut places boxes well but leaves their means off the best spot.
void refine(std::vector<Rgb>& palette, const std::vector<Entry>& entries, int passes) {
    for (int pass = 0; pass < passes; ++pass) {
        const PaletteMapper mapper(palette);
        std::vector<Bin> sums(palette.size());
        for (const Entry& e : entries) {
            const int k
                = mapper.nearest(int(e.mean[0] + 0.5), int(e.mean[1] + 0.5), int(e.mean[2] + 0.5));
            add(sums[k], e.sums);
        }
        for (std::size_t k = 0; k < palette.size(); ++k)
            if (sums[k].count) palette[k] = meanOf(sums[k]);
    }
}

} // namespace

std::vector<Rgb> medianCutPalette(const Bitmap& rgb, int colors) {
    std::vector<Entry> entries;
    for (const Bin& b : histogram(rgb)) {
        if (b.count == 0) continue;
        const double n = double(b.count);
        entries.push_back({ { b.r / n, b.g / n, b.b / n }, b });
    }
    std::vector<Box> boxes { measure(entries, 0, int(entries.size())) };
    while (int(boxes.size()) < colors) {
        auto worst = std::max_element(boxes.begin(), boxes.end(),
            [](const Box& a, const Box& b) { return a.error < b.error; });
        if (worst->end - worst->begin < 2 || worst->error <= 0) break;
        const Box box = *worst;
        const int mid = splitPoint(entries, box);
        *worst = measure(entries, box.begin, mid);
        boxes.push_back(measure(entries, mid, box.end));
    }
    std::vector<Rgb> palette;
    palette.reserve(boxes.size());
    for (const Box& box : boxes)
        if (box.end > box.begin) palette.push_back(meanColor(entries, box));
    refine(palette, entries, kRefinePasses);
    return palette;
}

// ---- PaletteMapper

namespace {
constexpr int square(int v) {
    return v * v;
}
// A candidate is its colour and index packed as r << 24 | g << 16 | b << 8 | index, so a lookup
// reads one word per entry.
constexpr std::uint32_t pack(const Rgb& c, int index) {
    return std::uint32_t(c.r) << 24 | std::uint32_t(c.g) << 16 | std::uint32_t(c.b) << 8
        | std::uint32_t(index);
}
} // namespace

PaletteMapper::PaletteMapper(const std::vector<Rgb>& palette, bool manyLookups)
    : m_palette(palette.begin(), palette.begin() + std::min<std::size_t>(palette.size(), 256)) {
    if (m_palette.empty()) return;
    std::vector<std::uint32_t> all(m_palette.size());
    for (std::size_t i = 0; i < all.size(); ++i)
        all[i] = pack(m_palette[i], int(i));
    Grid coarse = buildGrid(4, nullptr, all);
    m_grid = manyLookups ? buildGrid(5, &coarse, all) : std::move(coarse);
}

PaletteMapper::Grid PaletteMapper::buildGrid(
    int bits, const Grid* parent, const std::vector<std::uint32_t>& all) {
    Grid grid;
    grid.bits = bits;
    const int cells = 1 << bits, width = 256 >> bits;
    grid.start.reserve(std::size_t(cells) * cells * cells + 1);
    std::vector<int> nearD;
    for (int cr = 0; cr < cells; ++cr)
        for (int cg = 0; cg < cells; ++cg)
            for (int cb = 0; cb < cells; ++cb) {
                const std::uint32_t* from = all.data();
                std::size_t count = all.size();
                if (parent) { // only the enclosing cell's candidates can be nearest in this one
                    const int pc
                        = (cr >> 1) << (2 * parent->bits) | (cg >> 1) << parent->bits | (cb >> 1);
                    from = parent->candidates.data() + parent->start[pc];
                    count = parent->start[pc + 1] - parent->start[pc];
                }
                const int lo[3] = { cr * width, cg * width, cb * width };
                nearD.resize(count);
                // No entry farther than the smallest worst case can be nearest in this cell.
                int bound = std::numeric_limits<int>::max();
                for (std::size_t k = 0; k < count; ++k) {
                    int n = 0, f = 0;
                    for (int a = 0; a < 3; ++a) {
                        const int v = int(from[k] >> (24 - 8 * a) & 0xFF);
                        const int l = lo[a], h = l + width - 1;
                        n += v < l ? square(l - v) : v > h ? square(v - h) : 0;
                        f += square(std::max(v - l, h - v));
                    }
                    nearD[k] = n;
                    bound = std::min(bound, f);
                }
                grid.start.push_back(std::uint32_t(grid.candidates.size()));
                for (std::size_t k = 0; k < count; ++k)
                    if (nearD[k] <= bound) grid.candidates.push_back(from[k]);
            }
    grid.start.push_back(std::uint32_t(grid.candidates.size()));
    return grid;
}

} // namespace ie
