// The retouch tool's thirteen local filters, painted dab by dab inside a feathered footprint.
#pragma once

#include "document/Selection.h"
#include "imaging/Bitmap.h"
#include "proc/retouch/DabMask.h"

namespace ie::proc {

/// The retouch filters, numbered as the tool's type list: never renumber.
enum class RetouchType {
    Smudge = 0,
    Blur = 1,
    MotionBlur = 2,
    AutoSharpen = 3,
    Sharpen = 4,
    Unsharpen = 5,
    Smooth = 6,
    Pixelize = 7,
    Lightening = 8,
    Darkening = 9,
    Colorizing = 10,
    Decolorizing = 11,
    Wave = 12,
};

/// The engine values of the retouch parameters (after the tool card's scalings).
struct RetouchParams {
    double smudgePressure = 5; ///< 0..20: how much colour a dab drags along
    double smudgeBlur = 1.0; ///< Gaussian sigma of the dragged colour
    double blurRadius = 1.0; ///< Gaussian sigma
    double motionBlurAngle = 0; ///< degrees
    int motionBlurRadius = 8; ///< half length of the streak
    double motionBlurSigma = 7; ///< kept for the tool card; the streak is evenly weighted
    int autoSharpenIntensity = 68; ///< 0..100
    double autoSharpenRate = 0.03; ///< 0..1: differences below this part of full scale are spared
    int sharpenIntensity = 10; ///< 1..100
    int sharpenNeighbourhood = 4; ///< pixels
    double unsharpenAmount = 1.0;
    double unsharpenThreshold = 0.04; ///< 0..1 of full scale
    int unsharpenRadius = 4;
    int smoothRadius = 6;
    int pixelizeBlockSize = 10;
    int brightnessAdjustment = 10; ///< -255..255; Lightening and Darkening use its size
    int saturationAmount = 30; ///< -100..100; Colorizing and Decolorizing use its size
    int waveAmplitude = 3;
    int waveLength = 10;
    int wavePhase = 0; ///< degrees
};

/// A retouch brush: the filter, its parameters and the footprint. Each dab filters only the
/// pixels around its rectangle and mixes the result in by the footprint's strength (and the
/// selection's, when one is given). Smudging carries colour from dab to dab within a stroke.
class RetouchBrush {
public:
    RetouchType type = RetouchType::Smudge;
    RetouchParams params;
    int width = 50, height = 50;
    DabShape shape = DabShape::Circle;
    int feathering = 0;

    /// Paints one dab centred on (x, y). Throws ie::Error for formats filters do not take.
    void dab(Bitmap& image, int x, int y, const Selection* selection = nullptr);
    /// Ends a stroke: the next smudge dab picks up fresh colour.
    void endStroke() { m_carried = Bitmap(); }

private:
    void smudge(Bitmap& image, Rect area, const std::vector<std::uint8_t>& strength,
        const Selection* selection);
    Bitmap m_carried; // smudge colour, the size of the dab rectangle
    Rect m_carriedRect;
};

} // namespace ie::proc
