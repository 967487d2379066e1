// A one-page PDF that shows one image: written directly, no printing or GUI machinery needed.
#pragma once

#include "../../imaging/Bitmap.h"
#include "../FormatParams.h"

#include <string>

namespace ie::io {

/// Where the image sits on the page, in points (1/72 inch).
struct PdfPlacement {
    double pageWidth = 0, pageHeight = 0;
    double x = 0, y = 0, width = 0, height = 0;
};

/// The page and image rectangle for a `pixelWidth` x `pixelHeight` image at `dpiX` x `dpiY`:
/// PdfPaperSize::Image makes the page the image's printed size; a paper size fits the image
/// inside margins (never enlarging it) and centres it, on the paper turned to suit the image.
PdfPlacement placeOnPage(
    int pixelWidth, int pixelHeight, double dpiX, double dpiY, PdfPaperSize paper);

/// Writes `bitmap` as a one-page PDF. Every pixel format is stored losslessly (Flate with PNG
/// prediction; alpha as a soft mask).
void writeImagePdf(const std::string& path, const Bitmap& bitmap, const PdfPlacement& placement);

} // namespace ie::io
