#include "StabilityAI.Types.h"

namespace vst::ai {

std::string toWireText(TOutPutFormat value) {
    switch (value) {
    case TOutPutFormat::jpeg:
        return "jpeg";
    case TOutPutFormat::png:
        return "png";
    case TOutPutFormat::webp:
        return "webp";
    }
    return "png";
}

std::string toWireText(TLightSourceDirection value) {
    switch (value) {
    case TLightSourceDirection::above:
        return "above";
    case TLightSourceDirection::below:
        return "below";
    case TLightSourceDirection::left:
        return "left";
    case TLightSourceDirection::right:
        return "right";
    }
    return "above";
}

} // namespace vst::ai
