// Per-pixel stylising filters: posterize, solarize, noise, pixelization and oil paint.
#pragma once

#include "document/Selection.h"
#include "imaging/Bitmap.h"

namespace ie::proc {

/// Reduces every colour sample to `levels` evenly spaced values (2 to 255; 256 or more changes
/// nothing).
void posterize(Bitmap& image, int levels, const Selection* selection = nullptr);

/// Inverts samples at or above `threshold` (0 to 255, 8-bit scale); 256 changes nothing.
void solarize(Bitmap& image, int threshold, const Selection* selection = nullptr);

/// Adds uniform noise of up to `amount` (0 to 100 per cent of full scale); `monochrome` moves
/// all channels of a pixel together. The same seed gives the same noise.
void addNoise(Bitmap& image, int amount, bool monochrome = false, unsigned seed = 1,
    const Selection* selection = nullptr);

/// Pixelization shapes.
enum class PixelShape { Square = 0, Mosaic = 1, Dots = 2 };

/// Replaces each `blockW` x `blockH` cell (aligned on the work area) by its average colour:
/// squares; mosaic tiles with a darker one-pixel grout; or round dots on black. Blocks of 1 x 1
/// change nothing.
void pixelize(Bitmap& image, int blockW, int blockH, PixelShape shape = PixelShape::Square,
    const Selection* selection = nullptr);

/// Oil paint: each pixel takes the average colour of the most common brightness level among
/// `levels` (2 to 256) in its (2 x radius + 1) square.
void oilPaint(Bitmap& image, int radius, int levels = 20, const Selection* selection = nullptr);

} // namespace ie::proc
