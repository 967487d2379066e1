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

/// Writes bytes to a file.
void writeFile(const std::string& path, const std::string& bytes);
std::string readFile(const std::string& path);

} // namespace vst::test
