// Camera-RAW decoding options, as the RAW import dialog sets them.
#pragma once

namespace ie::io {

enum class RawColorSpace : int { Raw = 0, SRGB = 1, Adobe = 2, Wide = 3, ProPhoto = 4, XYZ = 5 };
/// Clip, Unclip, Blend, then Rebuild1 to Rebuild7 (values 3 to 9).
enum class RawHighlight : int { Clip = 0, Unclip = 1, Blend = 2, Rebuild1 = 3 };
enum class RawInterpolation : int { Linear = 0, VNG = 1, PPG = 2, AHD = 3, DCB = 4 };
/// What to decode: the full image, half size, the embedded JPEG preview or the thumbnail.
enum class RawSize : int { Full = 0, Half = 1, EmbeddedJpeg = 2, Thumbnail = 3 };

struct RawParams {
    bool fourColorRGB = false;
    bool quickInterpolate = false;
    bool autoWB = true;
    bool cameraWB = true;
    bool autoAdjustColors = false;
    double gamma = 2.222;
    bool autoBrightness = false;
    RawColorSpace colorSpace = RawColorSpace::SRGB;
    double brightness = 1.0;
    double gammaSlope = 4.5; ///< gamma toe slope
    int highlight = 0; ///< 0 Clip ... 9 Rebuild7
    RawInterpolation interpolation = RawInterpolation::Linear;
    RawSize size = RawSize::Full;
    bool outputBits16 = false; ///< 48-bit RGB result instead of 24-bit

    friend bool operator==(const RawParams&, const RawParams&) = default;
};

} // namespace ie::io
