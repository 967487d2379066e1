// Deterministic photo-like test images for the benchmarks, built once per process.
#pragma once

#include "imaging/Bitmap.h"

namespace vst::bench {

/// A 24-megapixel (6000 x 4000) photo-like RGB image: smooth gradients with fine texture and
/// noise, so codecs see realistic entropy. Built once and shared.
const ie::Bitmap& photo24mp();

/// A photo-like RGB image of any size.
ie::Bitmap photoLike(int width, int height);

} // namespace vst::bench
