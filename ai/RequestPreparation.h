// Getting an AI edit ready for the service: image limits, body size, mask, required texts; and
// turning the answer back into the layer's image.
#pragma once

#include "AiEdit.h"
#include "ImageBytes.h"
#include "StabilityAI.h"

#include "imaging/Bitmap.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vst::ai {

/// The request body must stay under this size.
inline constexpr std::size_t kMaxRequestBytes = std::size_t(10) << 20;

/// What an edit starts from: the current layer and the user's inputs.
struct AiEditInput {
    AiEdit edit = AiEdit::RemoveBackground;
    ie::Bitmap image; ///< the current layer at its full size
    ie::Bitmap mask; ///< erase and inpaint: white where selected, the image's size
    std::string prompt; ///< "prompt": what to put in, how to recolour, the upscale description
    std::string search; ///< "search_prompt" (replace) or "select_prompt" (recolor)
    std::string background; ///< "background_prompt"
    int left = 0, up = 0, right = 0, down = 0; ///< outpaint, in the layer's pixels
    /// outpaint and the conservative and creative upscales; the program's edits leave it unset
    std::optional<double> creativity;
};

/// A request ready to send, and how to bring its answer back.
struct PreparedEdit {
    AiEdit edit = AiEdit::RemoveBackground;
    std::vector<std::uint8_t> image;
    ImageEncoding encoding = ImageEncoding::Png;
    std::vector<std::uint8_t> mask; ///< empty when the edit sends none
    std::string prompt, search, background;
    int left = 0, up = 0, right = 0, down = 0; ///< as sent
    std::optional<double> creativity;
    int sentWidth = 0, sentHeight = 0;
    int targetWidth = 0, targetHeight = 0; ///< the answer is scaled to this; 0 = as it comes
    std::vector<std::string> log; ///< what was changed to make the service take it
};

/// Checks and adapts the input for the service; throws std::runtime_error with a clear message
/// when the service could not take it.
PreparedEdit prepareEdit(const AiEditInput& input);

/// Sends the prepared request and waits for the first answer (a job identifier for job edits).
Common::TResults sendEdit(
    const IStabilityAI& client, const PreparedEdit& edit, const RequestOptions& options = {});

/// The same on the thread pool; the task holds `client` and `edit` until it ends.
CancelToken sendEditAsync(std::shared_ptr<IStabilityAI> client,
    std::shared_ptr<const PreparedEdit> edit,
    const std::function<TAsynCallBack<Common::TResults>()>& callbacks);

/// The answer's image at the size the edit wants. Throws with a clear message when the service
/// filtered the content, reported an error, or sent no image.
ie::Bitmap finishEdit(const PreparedEdit& edit, const Common::TStableImage& answer);

} // namespace vst::ai
