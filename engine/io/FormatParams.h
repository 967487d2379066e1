// Per-format save parameters in one object, with a stable line-based text form (formatparams.dt).
#pragma once

#include <string>

namespace ie::io {

enum class ChromaSubsampling : int { S444 = 0, S422 = 1, S420 = 2 };

enum class TiffCompression : int {
    None = 0,
    Lzw = 1,
    Deflate = 2,
    PackBits = 3,
    Jpeg = 4,
    Ccitt4 = 5
};

enum class PdfPaperSize : int { Image = 0, A4 = 1, Letter = 2, A3 = 3, Legal = 4 };

/// Everything the encoders take. Defaults are what a user expects without opening a dialog.
struct FormatParams {
    // JPEG
    int jpegQuality = 90; ///< 1 to 100
    bool jpegProgressive = false;
    ChromaSubsampling jpegSubsampling = ChromaSubsampling::S420;
    bool jpegOptimizeCoding = false;
    // PNG
    int pngCompression = 6; ///< zlib level 0 to 9
    bool pngInterlace = false;
    // TIFF
    TiffCompression tiffCompression = TiffCompression::Lzw;
    int tiffJpegQuality = 90;
    // GIF
    bool gifDither = true;
    int gifTransparentThreshold = 128; ///< alpha below this is transparent
    int gifFrameDelayMs = 100;
    // WebP
    int webpQuality = 90; ///< 0 to 100
    bool webpLossless = false;
    // BMP
    bool bmpRle = false; ///< RLE8 for paletted images
    // TGA
    bool tgaRle = true;
    // PDF
    PdfPaperSize pdfPaperSize = PdfPaperSize::Image;
    // JPEG 2000
    double j2kRate = 0; ///< compression ratio (e.g. 20 means 20:1); 0 is lossless
    // Resolution written to files that carry one; 0 keeps the bitmap's own.
    double dpiX = 0, dpiY = 0;

    /// "key=value" lines, one per field, in a fixed order. Stable across versions.
    std::string toText() const;
    /// Reads what toText wrote. Unknown keys are ignored (newer files), missing keys keep their
    /// defaults, a malformed value throws ie::Error naming the key.
    static FormatParams fromText(const std::string& text);

    /// Atomic file write and read of the text form.
    void saveToFile(const std::string& path) const;
    static FormatParams loadFromFile(const std::string& path);

    /// Clamps every field into its range.
    void normalize();

    friend bool operator==(const FormatParams&, const FormatParams&) = default;
};

} // namespace ie::io
