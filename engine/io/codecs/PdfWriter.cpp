#include "PdfWriter.h"

#include "ParallelDeflate.h"

#include "../../imaging/Error.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <span>

namespace ie::io {

namespace {

constexpr double kMargin = 36; // half an inch

struct Paper {
    double width, height; // portrait, in points
};

Paper paperOf(PdfPaperSize size) {
    switch (size) {
    case PdfPaperSize::A4:
        return { 595.276, 841.890 };
    case PdfPaperSize::Letter:
        return { 612, 792 };
    case PdfPaperSize::A3:
        return { 841.890, 1190.551 };
    case PdfPaperSize::Legal:
        return { 612, 1008 };
    case PdfPaperSize::Image:
        break;
    }
    return { 0, 0 };
}

std::string num(double v) {
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 3);
    std::string s(buf, r.ptr);
    // Trailing zeros are noise in a PDF file.
    while (s.find('.') != std::string::npos && (s.back() == '0' || s.back() == '.')) {
        const bool dot = s.back() == '.';
        s.pop_back();
        if (dot) break;
    }
    return s;
}

/// Fills one row of samples as the PDF image stores them.
using RawRow = std::function<void(int y, std::uint8_t* out)>;

/// One image XObject: its dictionary entries and its compressed data.
struct ImageStream {
    std::string dict;
    std::vector<std::uint8_t> data;
};

void paethRow(const std::uint8_t* cur, const std::uint8_t* prev, std::size_t n, std::size_t bpp,
    std::uint8_t* out) {
    for (std::size_t i = 0; i < n; ++i) {
        const int a = i >= bpp ? cur[i - bpp] : 0, b = prev[i], c = i >= bpp ? prev[i - bpp] : 0;
        const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
        const int pred = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
        out[i] = std::uint8_t(cur[i] - pred);
    }
}

/// Compresses an image of `colors` samples of `bits` each; `predict` adds the PNG Paeth filter
/// (good for photographs, useless for indexed and bilevel data).
ImageStream encodeImage(int w, int h, int colors, int bits, bool predict,
    const std::string& colorSpace, const RawRow& rawRow) {
    const std::size_t rawBytes = (std::size_t(w) * std::size_t(colors * bits) + 7) / 8;
    const std::size_t rowBytes = rawBytes + (predict ? 1 : 0);
    const std::size_t bpp = std::max<std::size_t>(1, std::size_t(colors * bits) / 8);
    ImageStream img;
    img.data = deflateRows(h, rowBytes, [&](int y0, int y1, std::uint8_t* out) {
        std::vector<std::uint8_t> prev(rawBytes, 0), cur(rawBytes);
        if (predict && y0 > 0) rawRow(y0 - 1, prev.data());
        for (int y = y0; y < y1; ++y, out += rowBytes) {
            if (!predict) {
                rawRow(y, out);
                continue;
            }
            rawRow(y, cur.data());
            out[0] = 4; // Paeth
            paethRow(cur.data(), prev.data(), rawBytes, bpp, out + 1);
            std::swap(prev, cur);
        }
    });
    img.dict = "/Type /XObject /Subtype /Image /Width " + std::to_string(w) + " /Height "
        + std::to_string(h) + " /ColorSpace " + colorSpace + " /BitsPerComponent "
        + std::to_string(bits) + " /Filter /FlateDecode";
    if (predict)
        img.dict += " /DecodeParms << /Predictor 15 /Colors " + std::to_string(colors)
            + " /BitsPerComponent " + std::to_string(bits) + " /Columns " + std::to_string(w)
            + " >>";
    return img;
}

/// PDF stores 16-bit samples big-endian.
void copyBigEndian16(const std::uint8_t* in, std::size_t words, std::uint8_t* out) {
    for (std::size_t i = 0; i < words; ++i) {
        std::uint16_t v;
        std::memcpy(&v, in + 2 * i, 2);
        out[2 * i] = std::uint8_t(v >> 8);
        out[2 * i + 1] = std::uint8_t(v);
    }
}

std::string indexedColorSpace(const std::vector<Rgb>& palette) {
    static const char hex[] = "0123456789ABCDEF";
    std::string s = "[/Indexed /DeviceRGB " + std::to_string(palette.size() - 1) + " <";
    for (const Rgb& c : palette)
        for (std::uint8_t v : { c.r, c.g, c.b }) {
            s += hex[v >> 4];
            s += hex[v & 15];
        }
    return s + ">]";
}

ImageStream colorImage(const Bitmap& bmp) {
    const int w = bmp.width(), h = bmp.height();
    const std::size_t bytes = bmp.rowBytes();
    const RawRow copy = [&](int y, std::uint8_t* out) { std::memcpy(out, bmp.scanline(y), bytes); };
    const RawRow swap16
        = [&](int y, std::uint8_t* out) { copyBigEndian16(bmp.scanline(y), bytes / 2, out); };
    constexpr bool little = std::endian::native == std::endian::little;
    switch (bmp.pixelFormat()) {
    case PixelFormat::Bw1: // 1 = white in both
        return encodeImage(w, h, 1, 1, false, "/DeviceGray", copy);
    case PixelFormat::Palette8:
        if (!bmp.palette().empty() && bmp.palette().size() <= 256)
            return encodeImage(w, h, 1, 8, false, indexedColorSpace(bmp.palette()), copy);
        break;
    case PixelFormat::Gray8:
        return encodeImage(w, h, 1, 8, true, "/DeviceGray", copy);
    case PixelFormat::Gray16:
        return encodeImage(w, h, 1, 16, true, "/DeviceGray", little ? swap16 : copy);
    case PixelFormat::Rgb24:
        return encodeImage(w, h, 3, 8, true, "/DeviceRGB", copy);
    case PixelFormat::Rgb48:
        return encodeImage(w, h, 3, 16, true, "/DeviceRGB", little ? swap16 : copy);
    case PixelFormat::Cmyk32: // 0 = no ink in both
        return encodeImage(w, h, 4, 8, true, "/DeviceCMYK", copy);
    case PixelFormat::Rgba32:
        return encodeImage(w, h, 3, 8, true, "/DeviceRGB", [&](int y, std::uint8_t* out) {
            const std::uint8_t* p = bmp.scanline(y);
            for (int x = 0; x < w; ++x, p += 4, out += 3)
                std::memcpy(out, p, 3);
        });
    case PixelFormat::None:
        break;
    }
    return encodeImage(w, h, 3, 8, true, "/DeviceRGB", [&](int y, std::uint8_t* out) {
        // A palette too odd to store as indexed.
        for (int x = 0; x < w; ++x, out += 3) {
            const Rgba c = bmp.pixel(x, y);
            out[0] = c.r;
            out[1] = c.g;
            out[2] = c.b;
        }
    });
}

ImageStream alphaMask(const Bitmap& bmp) {
    const int w = bmp.width();
    return encodeImage(w, bmp.height(), 1, 8, true, "/DeviceGray", [&](int y, std::uint8_t* out) {
        if (bmp.hasAlphaPlane()) {
            std::memcpy(out, bmp.alphaLine(y), std::size_t(w));
            return;
        }
        const std::uint8_t* p = bmp.scanline(y);
        for (int x = 0; x < w; ++x)
            out[x] = p[4 * x + 3];
    });
}

/// A PDF file being written: objects and the offsets the cross-reference table needs.
class PdfFile {
public:
    explicit PdfFile(const std::string& path)
        : m_out(path, std::ios::binary | std::ios::trunc) {
        if (!m_out) throw Error("Cannot create the file");
        put("%PDF-1.4\n%\xE2\xE3\xCF\xD3\n");
    }
    void put(std::string_view s) {
        m_out.write(s.data(), std::streamsize(s.size()));
        m_pos += s.size();
    }
    void beginObject(int n) {
        if (int(m_offsets.size()) < n + 1) m_offsets.resize(std::size_t(n) + 1, 0);
        m_offsets[std::size_t(n)] = m_pos;
        put(std::to_string(n) + " 0 obj\n");
    }
    void object(int n, const std::string& body) {
        beginObject(n);
        put(body + "\nendobj\n");
    }
    void streamObject(int n, const std::string& dict, std::span<const std::uint8_t> data) {
        beginObject(n);
        put("<< " + dict + " /Length " + std::to_string(data.size()) + " >>\nstream\n");
        put({ reinterpret_cast<const char*>(data.data()), data.size() });
        put("\nendstream\nendobj\n");
    }
    void finish(int root, int info) {
        const std::size_t xref = m_pos;
        put("xref\n0 " + std::to_string(m_offsets.size()) + "\n0000000000 65535 f \n");
        for (std::size_t i = 1; i < m_offsets.size(); ++i) {
            char line[24];
            std::snprintf(line, sizeof line, "%010zu 00000 n \n", m_offsets[i]);
            put(line);
        }
        put("trailer\n<< /Size " + std::to_string(m_offsets.size()) + " /Root "
            + std::to_string(root) + " 0 R /Info " + std::to_string(info) + " 0 R >>\nstartxref\n"
            + std::to_string(xref) + "\n%%EOF\n");
        if (!m_out.flush()) throw Error("Cannot write the file");
    }

private:
    std::ofstream m_out;
    std::size_t m_pos = 0;
    std::vector<std::size_t> m_offsets;
};

} // namespace

PdfPlacement placeOnPage(
    int pixelWidth, int pixelHeight, double dpiX, double dpiY, PdfPaperSize paper) {
    const double w = pixelWidth * 72.0 / (dpiX > 0 ? dpiX : 72.0);
    const double h = pixelHeight * 72.0 / (dpiY > 0 ? dpiY : 72.0);
    PdfPlacement p;
    if (paper == PdfPaperSize::Image) {
        p.pageWidth = p.width = w;
        p.pageHeight = p.height = h;
        return p;
    }
    Paper sheet = paperOf(paper);
    if (w > h) std::swap(sheet.width, sheet.height);
    const double scale
        = std::min({ 1.0, (sheet.width - 2 * kMargin) / w, (sheet.height - 2 * kMargin) / h });
    p.pageWidth = sheet.width;
    p.pageHeight = sheet.height;
    p.width = w * scale;
    p.height = h * scale;
    p.x = (sheet.width - p.width) / 2;
    p.y = (sheet.height - p.height) / 2;
    return p;
}

void writeImagePdf(const std::string& path, const Bitmap& bitmap, const PdfPlacement& place) {
    const ImageStream color = colorImage(bitmap);
    const bool masked = bitmap.hasAlpha() && !bitmap.alphaIsOpaque();
    const ImageStream mask = masked ? alphaMask(bitmap) : ImageStream {};

    PdfFile pdf(path);
    pdf.object(1, "<< /Type /Catalog /Pages 2 0 R >>");
    pdf.object(2, "<< /Type /Pages /Kids [3 0 R] /Count 1 >>");
    pdf.object(3,
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 " + num(place.pageWidth) + " "
            + num(place.pageHeight)
            + "] /Resources << /XObject << /Im0 5 0 R >> >> /Contents 4 0 R >>");
    const std::string content = "q\n" + num(place.width) + " 0 0 " + num(place.height) + " "
        + num(place.x) + " " + num(place.y) + " cm\n/Im0 Do\nQ\n";
    pdf.streamObject(
        4, "", { reinterpret_cast<const std::uint8_t*>(content.data()), content.size() });
    pdf.streamObject(5, color.dict + (masked ? " /SMask 6 0 R" : ""), color.data);
    if (masked) pdf.streamObject(6, mask.dict, mask.data);
    const int info = masked ? 7 : 6;
    pdf.object(info, "<< /Producer (Vistrelune) >>");
    pdf.finish(1, info);
}

} // namespace ie::io
