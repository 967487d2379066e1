// Small synthetic images and a scratch folder for tests.
#pragma once

#include "imaging/Bitmap.h"

#include <string>

namespace vst::test {

/// A smooth photo-like RGB image (gradients plus texture), deterministic.
ie::Bitmap photoLike(int width, int height, ie::PixelFormat format = ie::PixelFormat::Rgb24);

/// An image whose every pixel differs from its neighbours (catches off-by-one row and column
/// errors), deterministic from `seed`.
ie::Bitmap noise(int width, int height, ie::PixelFormat format, unsigned seed = 1);

/// A fresh empty folder for one test, removed by the next call with the same name.
std::string scratchDir(const std::string& name);

/// Peak signal-to-noise ratio in dB of two same-size bitmaps (compared as RGB); inf when equal.
double psnr(const ie::Bitmap& a, const ie::Bitmap& b);

/// `bmp` with an alpha plane of deterministic noise.
ie::Bitmap withAlpha(ie::Bitmap bmp, unsigned seed = 7);

/// Largest difference of any RGBA channel, whatever the two formats; 1000 when the sizes differ.
/// With `visibleOnly`, pixels transparent in both are skipped (their colour is not seen).
int maxRgbaDiff(const ie::Bitmap& a, const ie::Bitmap& b, bool visibleOnly = false);

/// Writes bytes to a file.
void writeFile(const std::string& path, const std::string& bytes);
std::string readFile(const std::string& path);

} // namespace vst::test
