// Fast exchange of pixels between ie::Bitmap and QImage (painting, Qt's encoders, the view).
#pragma once

#include "Bitmap.h"

#include <QImage>

namespace ie {

/// `bmp` as a QImage of the closest format: Rgb24 gives Format_RGB888, anything with alpha
/// Format_RGBA8888 (not premultiplied), Gray8 Format_Grayscale8, Gray16 Format_Grayscale16,
/// Palette8 and Bw1 indexed formats, Rgb48 Format_RGBX64; Cmyk32 goes through RGB. The
/// resolution is carried over. A null bitmap gives a null image.
QImage toQImage(const Bitmap& bmp);

/// `image` as a bitmap: RGB888 gives Rgb24, RGBA8888 Rgba32, Grayscale8 Gray8, Grayscale16 Gray16,
/// Indexed8 Palette8, a black-and-white Mono Bw1, RGBX64 Rgb48; other formats are converted by Qt
/// to RGB888 or RGBA8888 first. The resolution is carried over.
Bitmap fromQImage(const QImage& image);

} // namespace ie
