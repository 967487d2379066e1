// The AI edits the editor and the CLI send, and what each needs of the image.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace vst::ai {

/// One request kind of the program.
enum class AiEdit {
    Erase,
    Inpaint,
    SearchAndReplace,
    SearchAndRecolor,
    RemoveBackground,
    ReplaceBackground,
    Outpaint,
    UpscaleConservative,
    UpscaleCreative,
    UpscaleFast,
};

/// The service's documented limits for the image of one edit.
struct ImageLimits {
    int minSide = 64;
    std::int64_t maxPixels = 9437184;
    int maxSide = 0; ///< 0 = only the pixel count limits the sides
    bool aspectChecked = false; ///< 1:2.5 to 2.5:1 only
};

ImageLimits imageLimitsOf(AiEdit edit);
/// True for the edits whose answer is a job identifier fetched later.
bool isJobEdit(AiEdit edit);
/// True for the edits whose answer is meant to be larger than the image sent.
bool enlarges(AiEdit edit);
/// The edit named "erase", "inpaint", "search-and-replace", "search-and-recolor",
/// "remove-background", "replace-background", "outpaint"; upscales by mode ("conservative",
/// "creative", "fast").
std::optional<AiEdit> aiEditFromName(const std::string& name, const std::string& upscaleMode = {});

} // namespace vst::ai
