// The enumerations the edit and upscale requests send, with their wire texts.
#pragma once

#include <string>

namespace vst::ai {

/// Image format of the service's answer.
enum class TOutPutFormat { jpeg, png, webp };

/// Where the light comes from in a relit image.
enum class TLightSourceDirection { above, below, left, right };

/// The wire text of an output format ("jpeg", "png", "webp").
std::string toWireText(TOutPutFormat value);
/// The wire text of a light direction ("above", "below", "left", "right").
std::string toWireText(TLightSourceDirection value);

} // namespace vst::ai
