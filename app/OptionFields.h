// The main window's remembered options: one field per setting, named as the settings store
// names them with a leading f.
#pragma once

#include <QString>
#include <cstdint>

namespace vst::app {

/// A colour as the settings store keeps it: 0x00BBGGRR (255 red, 65535 yellow).
using TColor = std::uint32_t;

/// Bold, italic and underline, stored as "101" style strings.
struct TFontStyle {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool operator==(const TFontStyle&) const = default;
};

/// The main window's placement as stored; width 0 means the designed size, centred.
struct TWindowPlacement {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool maximized = false;
    bool stored = false; ///< set when the read found stored coordinates
};

/// Every option the main window keeps between runs, with the defaults of a first run.
struct TOptionFields {
    TWindowPlacement window;
    TColor fBackgroundColor_Normal = 2368032;
    TColor fBackgroundColor_FullScreen = 0;
    int fZoomFilter = 0;
    QString fSaveFile_RecentExtension = ".jpg";
    QString fSaveFile_RecentFolder;
    QString fOpenFile_RecentFolder;
    int fCurrentBrushType = 0;
    TColor fCurrentBrushColor = 16777215;
    TColor fCurrentBrushGradient_Color1 = 16777215;
    TColor fCurrentBrushGradient_Color2 = 65535;
    QString fCurrentBrushTexture_Name = "blue-abstract-1";
    int fCurrentBrushTexture_Step = 0;
    int fCurrentBrushSpray_Density = 5;
    QString fCurrentBrushShape_Name = "Circle";
    int fCurrentBrushWidth = 20;
    int fCurrentBrushHeight = 20;
    int fCurrentBrushFeather = 0;
    int fCurrentBrushAngle = 0;
    int fCurrentBrushOpacity = 100;
    int fCurrentBrushOperation = 0;
    int fCurrentRetouch_SmudgePressure = 5;
    int fCurrentRetouch_SmudgeBlur = 10;
    int fCurrentRetouch_BlurRadius = 10;
    int fCurrentRetouch_MotionBlurAngle = 0;
    int fCurrentRetouch_MotionBlurSigma = 7;
    int fCurrentRetouch_MotionBlurRadius = 8;
    int fCurrentRetouch_AutoSharpenRate = 3;
    int fCurrentRetouch_AutosharpenIntensity = 68;
    int fCurrentRetouch_SharpenNeighbourhood = 4;
    int fCurrentRetouch_SharpenIntensity = 10;
    int fCurrentRetouch_UnsharpenRadius = 4;
    int fCurrentRetouch_UnsharpenThreshold = 4;
    int fCurrentRetouch_UnsharpenAmount = 10;
    int fCurrentRetouch_SmoothRadius = 6;
    int fCurrentRetouch_PixelizeBlockSize = 10;
    int fCurrentRetouch_BrightnessAdjustment_Up = 10;
    int fCurrentRetouch_BrightnessAdjustment_Down = 10;
    int fCurrentRetouch_SaturationAmount_Up = 30;
    int fCurrentRetouch_SaturationAmount_Down = 30;
    int fCurrentRetouch_WaveLength = 10;
    int fCurrentRetouch_WavePhase = 0;
    int fCurrentRetouch_WaveAmplitude = 3;
    int fCurrentRetouchType = 0;
    int fCurrentRetouchHeight = 50;
    int fCurrentRetouchWidth = 50;
    int fCurrentRetouchShape = 0;
    int fCurrentRetouchFeathering = 0;
    int fCurrentPencilSize = 5;
    int fCurrentCloneWidth = 50;
    int fCurrentCloneHeight = 50;
    int fCurrentCloneFeathering = 0;
    int fCurrentCloneShape = 0;
    int fCurrentEraserType = 0;
    int fCurrentEraserShape = 0;
    int fCurrentEraserWidth = 50;
    int fCurrentEraserHeight = 50;
    int fCurrentEraser_Standard_Feathering = 0;
    int fCurrentEraser_Smart_Tolerance = 25;
    int fCurrentEraserTransparency = 100;
    int fCurrentShape = 4;
    TColor fCurrentShapeBorderColor = 255;
    int fCurrentShapeBorderWidth = 5;
    bool fCurrentShapeFilledByColor = false;
    TColor fCurrentShapeFillColor1 = 255;
    TColor fCurrentShapeFillColor2 = 32768;
    int fCurrentShapeGradient = 0;
    TColor fCurrentLineColor = 255;
    int fCurrentLineWidth = 5;
    int fCurrentLineCurveSize = 0;
    int fCurrentLineShapeSize = 20;
    int fCurrentLineStyle = 0;
    int fCurrentLineStartShape = 0;
    int fCurrentLineEndShape = 0;
    int fCurrentPolylineInputMethod = 0;
    bool fCurrentPolylineFilledByColor = false;
    bool fCurrentPolylineClosed = false;
    TColor fCurrentPolylineColor1 = 255;
    TColor fCurrentPolylineColor2 = 32768;
    int fCurrentPolylineBorderWidth = 5;
    TColor fCurrentPolylineBorderColor = 255;
    int fCurrentPolylineGradient = 0;
    bool fCurrentPathClosed = false;
    bool fCurrentText_HeaderFontFilledByColor = true;
    QString fCurrentText_HeaderFontName = "Arial";
    int fCurrentText_HeaderFontSize = 38;
    TColor fCurrentText_HeaderFontColor1 = 255;
    TColor fCurrentText_HeaderFontColor2 = 32768;
    int fCurrentText_HeaderFontGradient = 16;
    TFontStyle fCurrentText_HeaderFontStyle;
    int fCurrentText_HeaderFontBorder = 5;
    TColor fCurrentText_HeaderFontBorderColor = 0;
    int fCurrentText_FormattedAlignment = 0;
    QString fCurrentText_FormattedFontName = "Arial";
    int fCurrentText_FormattedFontSize = 38;
    TColor fCurrentText_FormattedFontColor = 255;
    TFontStyle fCurrentText_FormattedFontStyle;
    int fCurrentText_FormattedNumbering = 0;
    int fCurrentText_FormattedLineSpacing = 0;
    int fCurrentFillMode = 0;
    int fCurrentFillOpacityValue = 50;
    int fCurrentFillTolerance = 0;
    int fCurrentMeasure = 0;
    int fCurrentHorizonType = 0;
    bool fCurrentHorizonAutoCrop = true;
    bool fCurrentHorizonFill = false;
    TColor fCurrentHorizonFillColor = 16777215;
    bool fStayOnTop = false;
    bool fCurrentShowRulers = false;
    int fCurrentShowRulersUnits = 0;
    int fCurrentHealingWidth = 20;
    int fCurrentHealingHeight = 20;
    int fCurrentHealing_Range = 4;
    int fCurrentHealingMethod = 1;
    int fCurrentBrushGradient_Type = 1;

    // Not stored: always these at start.
    int fCurrentTextType = 0; ///< headline
    int fCurrentWarpToolGripCount = 12;
};

} // namespace vst::app
