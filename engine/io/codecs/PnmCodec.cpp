#include "../../imaging/Convert.h"
#include "../../imaging/Parallel.h"
#include "../ImageIO.h"
#include "ByteReader.h"
#include "ByteWriter.h"
#include "Codecs.h"
#include "FileBytes.h"
#include "RowCodecs.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace ie::io {

namespace {

/// What a header says about the samples that follow.
struct PnmHeader {
    int kind = 0; ///< the digit after 'P'
    int width = 0, height = 0;
    int depth = 1; ///< samples per pixel
    int maxval = 1;
    bool bitmap = false; ///< 1-bit black-and-white
    bool alpha = false; ///< the last sample is alpha (PAM)
    bool ascii() const { return kind >= 1 && kind <= 3; }
    int sampleBytes() const { return maxval > 255 ? 2 : 1; }
};

bool isSpace(std::uint8_t c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

/// Header and ASCII tokens: whitespace and '#' comments between them.
class Tokens {
public:
    explicit Tokens(ByteReader& r)
        : m_r(r) { }

    void skipSpace() {
        while (!m_r.atEnd()) {
            const std::uint8_t c = m_r.rest()[0];
            if (c == '#') {
                while (!m_r.atEnd() && m_r.rest()[0] != '\n' && m_r.rest()[0] != '\r')
                    m_r.skip(1);
            } else if (isSpace(c)) {
                m_r.skip(1);
            } else {
                return;
            }
        }
    }

    /// A decimal number up to `max`.
    unsigned number(unsigned max, const char* what) {
        skipSpace();
        unsigned v = 0;
        int digits = 0;
        while (!m_r.atEnd() && m_r.rest()[0] >= '0' && m_r.rest()[0] <= '9') {
            v = v * 10 + unsigned(m_r.u8() - '0');
            if (v > max) m_r.damaged(std::string(what) + " out of range");
            ++digits;
        }
        if (digits == 0) {
            if (m_r.atEnd()) m_r.truncated();
            m_r.damaged(std::string("expected a number for ") + what);
        }
        return v;
    }

    /// A word of letters, digits and underscores (PAM header keys and values).
    std::string word() {
        skipSpace();
        std::string w;
        while (!m_r.atEnd() && !isSpace(m_r.rest()[0]) && w.size() < 64)
            w.push_back(char(m_r.u8()));
        if (w.empty()) m_r.truncated();
        return w;
    }

    /// The single whitespace byte that ends a header before binary data.
    void headerEnd() {
        if (!isSpace(m_r.u8())) m_r.damaged("no whitespace after the header");
    }

private:
    ByteReader& m_r;
};

constexpr unsigned kMaxSideValue = 1u << 30;

void readPamHeader(Tokens& t, ByteReader& r, PnmHeader& h) {
    std::string type;
    bool sizeSeen[3] = {};
    for (;;) {
        const std::string key = t.word();
        if (key == "ENDHDR") break;
        if (key == "WIDTH") {
            h.width = int(t.number(kMaxSideValue, "width"));
            sizeSeen[0] = true;
        } else if (key == "HEIGHT") {
            h.height = int(t.number(kMaxSideValue, "height"));
            sizeSeen[1] = true;
        } else if (key == "DEPTH") {
            h.depth = int(t.number(4, "depth"));
        } else if (key == "MAXVAL") {
            h.maxval = int(t.number(65535, "maximum value"));
            sizeSeen[2] = true;
        } else if (key == "TUPLTYPE") {
            type = t.word();
        } else {
            r.damaged("unknown header key " + key);
        }
    }
    t.headerEnd();
    if (!sizeSeen[0] || !sizeSeen[1] || !sizeSeen[2]) r.damaged("incomplete header");
    if (h.depth < 1) r.damaged("depth 0");
    h.alpha = h.depth == 2 || h.depth == 4;
    h.bitmap = type.starts_with("BLACKANDWHITE") && h.maxval == 1;
}

PnmHeader readHeader(ByteReader& r) {
    const std::uint8_t* magic = r.take(2);
    if (magic[0] != 'P' || magic[1] < '1' || magic[1] > '7') throw Error("Not a PNM file");
    PnmHeader h;
    h.kind = magic[1] - '0';
    Tokens t(r);
    if (h.kind == 7) {
        readPamHeader(t, r, h);
    } else {
        h.width = int(t.number(kMaxSideValue, "width"));
        h.height = int(t.number(kMaxSideValue, "height"));
        h.bitmap = h.kind == 1 || h.kind == 4;
        h.depth = h.kind == 3 || h.kind == 6 ? 3 : 1;
        if (!h.bitmap) h.maxval = int(t.number(65535, "maximum value"));
        if (h.ascii())
            t.skipSpace();
        else
            t.headerEnd();
    }
    if (h.maxval < 1) r.damaged("maximum value 0");
    Plane::checkSize(h.width, h.height);
    return h;
}

PixelFormat formatOf(const PnmHeader& h) {
    if (h.bitmap) return PixelFormat::Bw1;
    const bool wide = h.maxval > 255;
    if (h.depth <= 2) return wide ? PixelFormat::Gray16 : PixelFormat::Gray8;
    return wide ? PixelFormat::Rgb48 : PixelFormat::Rgb24;
}

/// File sample values to bitmap sample values (full range), clamped at maxval.
std::vector<std::uint16_t> scaleTable(const PnmHeader& h) {
    const unsigned full = h.maxval > 255 ? 65535 : 255;
    std::vector<std::uint16_t> t(h.sampleBytes() == 2 ? 65536 : 256);
    for (unsigned v = 0; v < t.size(); ++v) {
        const unsigned c = std::min(v, unsigned(h.maxval));
        t[v] = std::uint16_t(
            (std::uint64_t(c) * full + unsigned(h.maxval) / 2) / unsigned(h.maxval));
    }
    return t;
}

/// Stores one row of samples (already as numbers) into the bitmap.
class RowStore {
public:
    RowStore(const PnmHeader& h, Bitmap& bmp)
        : m_h(h)
        , m_bmp(bmp)
        , m_scale(scaleTable(h))
        , m_colors(h.depth - (h.alpha ? 1 : 0)) { }

    /// `samples` holds width x depth file values.
    void store(const std::uint16_t* s, int y) const {
        std::uint8_t* dst = m_bmp.mutableScanline(y);
        const int w = m_h.width, d = m_h.depth;
        if (m_h.bitmap) {
            std::memset(dst, 0, m_bmp.rowBytes());
            // PBM's 1 is black; PAM's black-and-white tuple is 1 for white.
            const bool oneIsWhite = m_h.kind == 7;
            for (int x = 0; x < w; ++x)
                if ((s[x * d] != 0) == oneIsWhite) dst[x >> 3] |= std::uint8_t(0x80 >> (x & 7));
        } else if (m_h.maxval > 255) {
            auto* out = reinterpret_cast<std::uint16_t*>(dst);
            for (int x = 0; x < w; ++x)
                for (int c = 0; c < m_colors; ++c)
                    out[x * m_colors + c] = m_scale[s[x * d + c]];
        } else {
            for (int x = 0; x < w; ++x)
                for (int c = 0; c < m_colors; ++c)
                    dst[x * m_colors + c]
                        = std::uint8_t(m_scale[std::min<unsigned>(s[x * d + c], 255)]);
        }
        if (m_h.alpha) {
            std::uint8_t* a = m_bmp.mutableAlphaLine(y);
            const unsigned max = unsigned(m_h.maxval);
            for (int x = 0; x < w; ++x) {
                const unsigned v = std::min<unsigned>(s[x * d + d - 1], max);
                a[x] = std::uint8_t((v * 255 + max / 2) / max);
            }
        }
    }

private:
    const PnmHeader& m_h;
    Bitmap& m_bmp;
    std::vector<std::uint16_t> m_scale;
    int m_colors;
};

std::size_t binaryRowBytes(const PnmHeader& h) {
    return h.kind == 4 ? (std::size_t(h.width) + 7) / 8
                       : std::size_t(h.width) * h.depth * h.sampleBytes();
}

/// Refuses, before the image is allocated, sizes that the bytes present can't hold.
void checkDataSize(const ByteReader& r, const PnmHeader& h) {
    const std::uint64_t need = h.ascii()
        ? std::uint64_t(h.width) * h.height * h.depth // at least a character a sample
        : std::uint64_t(binaryRowBytes(h)) * h.height;
    if (need > r.remaining() + (h.ascii() ? 1 : 0)) r.truncated();
}

void readAscii(ByteReader& r, const PnmHeader& h, const RowStore& rows) {
    Tokens t(r);
    std::vector<std::uint16_t> row(std::size_t(h.width) * h.depth);
    for (int y = 0; y < h.height; ++y) {
        for (auto& v : row) {
            if (h.kind == 1) { // digits need no separators
                t.skipSpace();
                const std::uint8_t c = r.u8();
                if (c != '0' && c != '1') r.damaged("bitmap digits must be 0 or 1");
                v = c - '0';
            } else {
                v = std::uint16_t(t.number(65535, "sample"));
            }
        }
        rows.store(row.data(), y);
    }
}

bool plainCopy(const PnmHeader& h) {
    return !h.alpha && (h.maxval == 255 || h.maxval == 65535);
}

void readBinary(ByteReader& r, const PnmHeader& h, Bitmap& bmp, const RowStore& rows) {
    const std::size_t rowBytes = binaryRowBytes(h);
    const std::uint8_t* base = r.take(std::uint64_t(rowBytes) * h.height);
    parallelFor(0, h.height, [&](int y0, int y1) {
        std::vector<std::uint16_t> samples;
        for (int y = y0; y < y1; ++y) {
            const std::uint8_t* src = base + rowBytes * y;
            if (h.kind == 4) {
                std::uint8_t* dst = bmp.mutableScanline(y);
                for (std::size_t i = 0; i < rowBytes; ++i)
                    dst[i] = std::uint8_t(~src[i]);
            } else if (plainCopy(h) && h.maxval == 255 && !h.bitmap) {
                std::memcpy(bmp.mutableScanline(y), src, rowBytes);
            } else if (plainCopy(h) && !h.bitmap) {
                auto* dst = reinterpret_cast<std::uint16_t*>(bmp.mutableScanline(y));
                for (std::size_t i = 0; i < rowBytes / 2; ++i)
                    dst[i] = std::uint16_t(src[2 * i] << 8 | src[2 * i + 1]);
            } else {
                samples.resize(std::size_t(h.width) * h.depth);
                for (std::size_t i = 0; i < samples.size(); ++i)
                    samples[i] = h.sampleBytes() == 2
                        ? std::uint16_t(src[2 * i] << 8 | src[2 * i + 1])
                        : src[i];
                rows.store(samples.data(), y);
            }
        }
    });
}

// ---- writing

/// What one saved file holds.
struct PnmLayout {
    int kind = 6;
    int depth = 3;
    int maxval = 255;
    bool alpha = false;
};

/// The bitmap in the form the extension's variant holds, and that variant.
Bitmap writable(const Bitmap& bitmap, const std::string& ext, PnmLayout& layout) {
    const PixelFormat f = bitmap.pixelFormat();
    const bool gray = f == PixelFormat::Gray8 || f == PixelFormat::Gray16;
    const bool rgb = f == PixelFormat::Rgb24 || f == PixelFormat::Rgb48 || f == PixelFormat::Rgba32;
    if (ext == ".pbm" || (ext != ".pgm" && ext != ".ppm" && f == PixelFormat::Bw1)) {
        layout = { ext == ".pam" ? 7 : 4, 1, 1, false };
        return f == PixelFormat::Bw1 ? bitmap : convertTo(bitmap, PixelFormat::Bw1);
    }
    const bool toGray = ext == ".pgm" || (ext != ".ppm" && gray);
    Bitmap src = toGray ? (gray ? bitmap : convertTo(bitmap, PixelFormat::Gray8))
                        : (rgb ? bitmap : convertTo(bitmap, PixelFormat::Rgb24));
    layout.kind = toGray ? 5 : 6;
    layout.depth = toGray ? 1 : 3;
    layout.maxval = bitsPerSample(src.pixelFormat()) == 16 ? 65535 : 255;
    if (ext == ".pam") {
        layout.kind = 7;
        layout.alpha = src.hasAlpha();
        layout.depth += layout.alpha ? 1 : 0;
    }
    return src;
}

std::string headerText(const Bitmap& src, const PnmLayout& l) {
    const std::string size = std::to_string(src.width()) + " " + std::to_string(src.height());
    if (l.kind == 4) return "P4\n" + size + "\n";
    if (l.kind != 7)
        return "P" + std::to_string(l.kind) + "\n" + size + "\n" + std::to_string(l.maxval) + "\n";
    const char* type = l.maxval == 1 ? "BLACKANDWHITE"
        : l.depth <= 2               ? (l.alpha ? "GRAYSCALE_ALPHA" : "GRAYSCALE")
                                     : (l.alpha ? "RGB_ALPHA" : "RGB");
    return "P7\nWIDTH " + std::to_string(src.width()) + "\nHEIGHT " + std::to_string(src.height())
        + "\nDEPTH " + std::to_string(l.depth) + "\nMAXVAL " + std::to_string(l.maxval)
        + "\nTUPLTYPE " + type + "\nENDHDR\n";
}

void putSample(std::uint8_t*& dst, unsigned v, bool wide) {
    if (wide) *dst++ = std::uint8_t(v >> 8);
    *dst++ = std::uint8_t(v);
}

/// One row of a PAM file or of a 16-bit PGM/PPM: interleaved samples, big-endian when wide.
void fillSamples(const Bitmap& src, const PnmLayout& l, int y, std::uint8_t* dst) {
    const bool wide = l.maxval > 255;
    const int colors = l.depth - (l.alpha ? 1 : 0);
    const std::uint8_t* row = src.scanline(y);
    const std::uint8_t* a = src.hasAlphaPlane() ? src.alphaLine(y) : nullptr;
    const bool rgba = src.pixelFormat() == PixelFormat::Rgba32;
    for (int x = 0; x < src.width(); ++x) {
        if (l.maxval == 1) {
            putSample(dst, row[x >> 3] >> (7 - (x & 7)) & 1, false);
            continue;
        }
        for (int c = 0; c < colors; ++c) {
            if (wide) {
                std::uint16_t v;
                std::memcpy(&v, row + 2 * (x * colors + c), 2);
                putSample(dst, v, true);
            } else {
                putSample(dst, row[x * (rgba ? 4 : colors) + c], false);
            }
        }
        if (l.alpha) {
            const unsigned av = rgba ? row[4 * x + 3] : a ? a[x] : 255;
            putSample(dst, wide ? av * 257 : av, wide);
        }
    }
}

void writeData(FileSink& out, const Bitmap& src, const PnmLayout& l) {
    const int h = src.height();
    if (l.kind == 4) {
        const std::size_t n = src.rowBytes();
        const int tail = src.width() % 8;
        writeRows(out, h, n, [&](int y, std::uint8_t* dst) {
            const std::uint8_t* row = src.scanline(y);
            for (std::size_t i = 0; i < n; ++i)
                dst[i] = std::uint8_t(~row[i]);
            if (tail) dst[n - 1] &= std::uint8_t(0xFF << (8 - tail));
        });
        return;
    }
    if (l.kind != 7 && l.maxval == 255 && src.pixelFormat() != PixelFormat::Rgba32) {
        for (int y = 0; y < h; ++y)
            out.write(src.scanline(y), src.rowBytes());
        return;
    }
    const std::size_t rowBytes = std::size_t(src.width()) * l.depth * (l.maxval > 255 ? 2 : 1);
    writeRows(out, h, rowBytes, [&](int y, std::uint8_t* dst) { fillSamples(src, l, y, dst); });
}

class PnmCodec final : public Codec {
public:
    std::string name() const override { return "PNM"; }
    std::vector<std::string> extensions() const override {
        return { ".ppm", ".pgm", ".pbm", ".pnm", ".pam" };
    }

    bool matches(std::span<const std::uint8_t> head) const override {
        return head.size() >= 3 && head[0] == 'P' && head[1] >= '1' && head[1] <= '7'
            && isSpace(head[2]);
    }

    DecodedImage read(const std::string& path, const ReadOptions&) const override {
        const FileBytes file(path);
        const std::span<const std::uint8_t> data = file;
        ByteReader r(data, "PNM");
        const PnmHeader h = readHeader(r);
        checkDataSize(r, h);
        DecodedImage out;
        out.bitmap = Bitmap(h.width, h.height, formatOf(h));
        if (h.alpha) out.bitmap.addAlphaPlane();
        const RowStore rows(h, out.bitmap);
        if (h.ascii())
            readAscii(r, h, rows);
        else
            readBinary(r, h, out.bitmap, rows);
        return out;
    }

    void write(const std::string& path, const Bitmap& bitmap, const FormatParams&,
        const Metadata&) const override {
        PnmLayout layout;
        const Bitmap src = writable(bitmap, extensionOf(path), layout);
        FileSink out(path);
        const std::string head = headerText(src, layout);
        out.write(head.data(), head.size());
        writeData(out, src, layout);
        out.close();
    }
};

} // namespace

std::shared_ptr<const Codec> makePnmCodec() {
    return std::make_shared<PnmCodec>();
}

} // namespace ie::io
