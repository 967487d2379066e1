#include "FormatParams.h"

#include "../imaging/Error.h"
#include "AtomicFile.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <functional>
#include <sstream>
#include <vector>

namespace ie::io {

namespace {

// One row per field: the key and how to read and write it as a number. The order is the order
// of the text form; new fields go at the end.
struct Field {
    const char* key;
    std::function<double(const FormatParams&)> get;
    std::function<void(FormatParams&, double)> set;
    bool isReal = false;
};

template <typename T> Field intField(const char* key, T FormatParams::*m) {
    return { key, [m](const FormatParams& p) { return double(int(p.*m)); },
        [m](FormatParams& p, double v) { p.*m = static_cast<T>(int(v)); } };
}

Field realField(const char* key, double FormatParams::*m) {
    return { key, [m](const FormatParams& p) { return p.*m; },
        [m](FormatParams& p, double v) { p.*m = v; }, true };
}

const std::vector<Field>& fields() {
    static const std::vector<Field> table = {
        intField("jpeg.quality", &FormatParams::jpegQuality),
        intField("jpeg.progressive", &FormatParams::jpegProgressive),
        intField("jpeg.subsampling", &FormatParams::jpegSubsampling),
        intField("jpeg.optimize", &FormatParams::jpegOptimizeCoding),
        intField("png.compression", &FormatParams::pngCompression),
        intField("png.interlace", &FormatParams::pngInterlace),
        intField("tiff.compression", &FormatParams::tiffCompression),
        intField("tiff.jpegquality", &FormatParams::tiffJpegQuality),
        intField("gif.dither", &FormatParams::gifDither),
        intField("gif.transparentthreshold", &FormatParams::gifTransparentThreshold),
        intField("gif.framedelay", &FormatParams::gifFrameDelayMs),
        intField("webp.quality", &FormatParams::webpQuality),
        intField("webp.lossless", &FormatParams::webpLossless),
        intField("bmp.rle", &FormatParams::bmpRle),
        intField("tga.rle", &FormatParams::tgaRle),
        intField("pdf.papersize", &FormatParams::pdfPaperSize),
        realField("j2k.rate", &FormatParams::j2kRate),
        realField("dpi.x", &FormatParams::dpiX),
        realField("dpi.y", &FormatParams::dpiY),
    };
    return table;
}

std::string formatReal(double v) {
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

std::string trimmed(const std::string& s) {
    const auto b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(" \t\r") - b + 1);
}

} // namespace

std::string FormatParams::toText() const {
    std::string out = "# Vistrelune format parameters 1\n";
    for (const auto& f : fields()) {
        const double v = f.get(*this);
        out += f.key;
        out += '=';
        out += f.isReal ? formatReal(v) : std::to_string(int(v));
        out += '\n';
    }
    return out;
}

FormatParams FormatParams::fromText(const std::string& text) {
    FormatParams p;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        line = trimmed(line);
        if (line.empty() || line[0] == '#') continue;
        const auto eq = line.find('=');
        if (eq == std::string::npos)
            throw Error("Invalid format parameters line: \"" + line + "\"");
        const std::string key = trimmed(line.substr(0, eq));
        const std::string value = trimmed(line.substr(eq + 1));
        const auto& table = fields();
        auto it = std::find_if(
            table.begin(), table.end(), [&](const Field& f) { return key == f.key; });
        if (it == table.end()) continue; // a newer program's field
        double v = 0;
        auto r = std::from_chars(value.data(), value.data() + value.size(), v);
        if (r.ec != std::errc() || r.ptr != value.data() + value.size())
            throw Error("Invalid value for format parameter " + key + ": \"" + value + "\"");
        it->set(p, v);
    }
    p.normalize();
    return p;
}

void FormatParams::normalize() {
    jpegQuality = std::clamp(jpegQuality, 1, 100);
    jpegSubsampling = static_cast<ChromaSubsampling>(std::clamp(int(jpegSubsampling), 0, 2));
    pngCompression = std::clamp(pngCompression, 0, 9);
    tiffCompression = static_cast<TiffCompression>(std::clamp(int(tiffCompression), 0, 5));
    tiffJpegQuality = std::clamp(tiffJpegQuality, 1, 100);
    gifTransparentThreshold = std::clamp(gifTransparentThreshold, 0, 255);
    gifFrameDelayMs = std::clamp(gifFrameDelayMs, 0, 655350);
    webpQuality = std::clamp(webpQuality, 0, 100);
    pdfPaperSize = static_cast<PdfPaperSize>(std::clamp(int(pdfPaperSize), 0, 4));
    j2kRate = std::clamp(j2kRate, 0.0, 1000.0);
    dpiX = std::clamp(dpiX, 0.0, 100000.0);
    dpiY = std::clamp(dpiY, 0.0, 100000.0);
}

void FormatParams::saveToFile(const std::string& path) const {
    AtomicFile file(path);
    {
        std::ofstream out(file.tempPath(), std::ios::binary | std::ios::trunc);
        out << toText();
        out.flush();
        if (!out) throw Error("Cannot write file \"" + path + "\"");
    }
    file.commit();
}

FormatParams FormatParams::loadFromFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw Error("Cannot open file \"" + path + "\"");
    std::ostringstream ss;
    ss << in.rdbuf();
    return fromText(ss.str());
}

} // namespace ie::io
