#include "AiEdit.h"

namespace vst::ai {

ImageLimits imageLimitsOf(AiEdit edit) {
    switch (edit) {
    case AiEdit::RemoveBackground:
        return { 64, 4194304, 0, false };
    case AiEdit::UpscaleCreative:
        return { 64, 1048576, 0, false };
    case AiEdit::UpscaleFast:
        return { 32, 1048576, 1536, false };
    case AiEdit::Outpaint:
    case AiEdit::SearchAndReplace:
    case AiEdit::SearchAndRecolor:
    case AiEdit::ReplaceBackground:
    case AiEdit::UpscaleConservative:
        return { 64, 9437184, 0, true };
    case AiEdit::Erase:
    case AiEdit::Inpaint:
        break;
    }
    return { 64, 9437184, 0, false };
}

bool isJobEdit(AiEdit edit) {
    return edit == AiEdit::ReplaceBackground || edit == AiEdit::UpscaleCreative;
}

bool enlarges(AiEdit edit) {
    return edit == AiEdit::Outpaint || edit == AiEdit::UpscaleConservative
        || edit == AiEdit::UpscaleCreative || edit == AiEdit::UpscaleFast;
}

std::optional<AiEdit> aiEditFromName(const std::string& name, const std::string& upscaleMode) {
    if (name == "erase") return AiEdit::Erase;
    if (name == "inpaint") return AiEdit::Inpaint;
    if (name == "search-and-replace") return AiEdit::SearchAndReplace;
    if (name == "search-and-recolor") return AiEdit::SearchAndRecolor;
    if (name == "remove-background") return AiEdit::RemoveBackground;
    if (name == "replace-background") return AiEdit::ReplaceBackground;
    if (name == "outpaint") return AiEdit::Outpaint;
    if (name == "upscale") {
        if (upscaleMode.empty() || upscaleMode == "conservative")
            return AiEdit::UpscaleConservative;
        if (upscaleMode == "creative") return AiEdit::UpscaleCreative;
        if (upscaleMode == "fast") return AiEdit::UpscaleFast;
    }
    return std::nullopt;
}

} // namespace vst::ai
