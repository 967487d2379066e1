#include "RequestPreparation.h"

#include "imaging/Convert.h"
#include "imaging/Resample.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <stdexcept>

namespace vst::ai {
namespace {

// Room for boundaries, part headers and the text fields of a body.
constexpr std::size_t kBodyOverhead = 64 * 1024;

std::string sizeText(int w, int h) {
    return std::to_string(w) + "x" + std::to_string(h);
}

std::string mib(std::size_t bytes) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f MiB", double(bytes) / (1024.0 * 1024.0));
    return text;
}

bool blank(const std::string& text) {
    return text.find_first_not_of(" \t\r\n") == std::string::npos;
}

void requireTexts(const AiEditInput& in) {
    const auto need = [](bool missing, const char* message) {
        if (missing) throw std::runtime_error(message);
    };
    switch (in.edit) {
    case AiEdit::Inpaint:
        need(blank(in.prompt),
            "Replacing the selected area needs a description of what to "
            "put there.");
        break;
    case AiEdit::SearchAndReplace:
        need(blank(in.search) || blank(in.prompt),
            "Find and replace needs what to find and what to put in its place.");
        break;
    case AiEdit::SearchAndRecolor:
        need(blank(in.search) || blank(in.prompt),
            "Find and recolor needs what to find and how to recolor it.");
        break;
    case AiEdit::ReplaceBackground:
        need(blank(in.background),
            "Replacing the background needs a description of the new "
            "background.");
        break;
    case AiEdit::UpscaleConservative:
    case AiEdit::UpscaleCreative:
        need(blank(in.prompt),
            "Conservative and creative upscaling need a description of the image.");
        break;
    case AiEdit::Outpaint:
        need(in.left == 0 && in.up == 0 && in.right == 0 && in.down == 0,
            "Give at least one direction to extend the image.");
        break;
    default:
        break;
    }
}

void checkShape(const ImageLimits& limits, int w, int h) {
    if (w < limits.minSide || h < limits.minSide)
        throw std::runtime_error("The image is too small for this edit: it must be at least "
            + std::to_string(limits.minSide) + " pixels on each side, and it is " + sizeText(w, h)
            + ".");
    if (limits.aspectChecked
        && (std::int64_t(w) * 2 > std::int64_t(h) * 5 || std::int64_t(h) * 2 > std::int64_t(w) * 5))
        throw std::runtime_error("The image's proportions (" + sizeText(w, h)
            + ") are outside 1:2.5 to 2.5:1, which this edit does not accept.");
}

// The largest size within the pixel and side limits, keeping the proportions.
std::pair<int, int> fittedSize(const ImageLimits& limits, int w, int h) {
    double f = 1.0;
    if (std::int64_t(w) * h > limits.maxPixels)
        f = std::sqrt(double(limits.maxPixels) / (double(w) * h));
    if (limits.maxSide) f = std::min(f, double(limits.maxSide) / std::max(w, h));
    if (f >= 1.0) return { w, h };
    int nw = std::max(1, int(std::floor(w * f)));
    int nh = std::max(1, int(std::floor(h * f)));
    while (std::int64_t(nw) * nh > limits.maxPixels)
        (nw > nh ? nw : nh)--;
    return { nw, nh };
}

int scaled(int value, double f) {
    return int(std::lround(value * f));
}

void encodeWithinBody(PreparedEdit& out, const ie::Bitmap& image) {
    const std::size_t budget = kMaxRequestBytes - kBodyOverhead - out.mask.size();
    out.image = encodeImage(image, ImageEncoding::Png);
    out.encoding = ImageEncoding::Png;
    if (out.image.size() <= budget) return;
    const std::size_t pngSize = out.image.size();
    std::vector<ImageEncoding> fallbacks = { ImageEncoding::WebpLossless };
    if (image.alphaIsOpaque()) fallbacks.push_back(ImageEncoding::Jpeg);
    for (const ImageEncoding encoding : fallbacks) {
        out.image = encodeImage(image, encoding);
        out.encoding = encoding;
        if (out.image.size() <= budget) {
            out.log.push_back("The image is too large to send as PNG (" + mib(pngSize)
                + "): it is sent as "
                + (encoding == ImageEncoding::Jpeg ? "high-quality JPEG" : "lossless WebP") + " ("
                + mib(out.image.size()) + ").");
            return;
        }
    }
    throw std::runtime_error("The image is too large to send, even compressed ("
        + mib(out.image.size()) + " of at most " + mib(kMaxRequestBytes)
        + "); reduce its size first.");
}

ie::Bitmap grayMask(const ie::Bitmap& mask, int w, int h) {
    ie::Bitmap gray = mask.pixelFormat() == ie::PixelFormat::Gray8
        ? mask
        : ie::convertTo(mask, ie::PixelFormat::Gray8);
    if (gray.width() != w || gray.height() != h)
        gray = ie::resample(gray, w, h, ie::ResampleFilter::Bilinear);
    gray.removeAlphaPlane();
    return gray;
}

} // namespace

PreparedEdit prepareEdit(const AiEditInput& in) {
    if (in.image.width() <= 0 || in.image.height() <= 0)
        throw std::runtime_error("There is no image to send.");
    requireTexts(in);
    const bool needsMask = in.edit == AiEdit::Erase || in.edit == AiEdit::Inpaint;
    if (needsMask && in.mask.width() <= 0)
        throw std::runtime_error("Erasing or replacing an area needs a selection.");
    if (needsMask && (in.mask.width() != in.image.width() || in.mask.height() != in.image.height()))
        throw std::runtime_error("The selection mask ("
            + sizeText(in.mask.width(), in.mask.height()) + ") is not the size of the image ("
            + sizeText(in.image.width(), in.image.height()) + ").");
    const ImageLimits limits = imageLimitsOf(in.edit);
    const int w = in.image.width();
    const int h = in.image.height();
    checkShape(limits, w, h);

    PreparedEdit out;
    out.edit = in.edit;
    out.prompt = in.prompt;
    out.search = in.search;
    out.background = in.background;
    out.creativity = in.creativity;
    const auto [sw, sh] = fittedSize(limits, w, h);
    const double f = double(sw) / w;
    out.sentWidth = sw;
    out.sentHeight = sh;
    out.left = in.left, out.up = in.up, out.right = in.right, out.down = in.down;
    ie::Bitmap sent = in.image;
    if (sw != w || sh != h) {
        checkShape(limits, sw, sh);
        sent = ie::resample(in.image, sw, sh, ie::ResampleFilter::Lanczos3);
        std::string note = "The image (" + sizeText(w, h)
            + ") is larger than this edit takes: it is sent at " + sizeText(sw, sh);
        if (in.edit == AiEdit::Outpaint) {
            out.left = scaled(in.left, f), out.up = scaled(in.up, f);
            out.right = scaled(in.right, f), out.down = scaled(in.down, f);
            out.targetWidth = w + in.left + in.right;
            out.targetHeight = h + in.up + in.down;
            note += " and the answer is scaled to " + sizeText(out.targetWidth, out.targetHeight);
        } else if (!enlarges(in.edit)) {
            out.targetWidth = w;
            out.targetHeight = h;
            note += " and the answer is scaled back";
        }
        out.log.push_back(note + ".");
    } else if (!enlarges(in.edit)) {
        out.targetWidth = w;
        out.targetHeight = h;
    }
    if (needsMask) out.mask = encodeImage(grayMask(in.mask, sw, sh), ImageEncoding::Png);
    encodeWithinBody(out, sent);
    return out;
}

Common::TResults sendEdit(
    const IStabilityAI& client, const PreparedEdit& e, const RequestOptions& o) {
    const auto& edit = client.StableImage().Edit();
    const auto& upscale = client.StableImage().Upscale();
    const auto asResults = [](Common::TStableImage image) {
        Common::TResults results;
        static_cast<Common::TStableImage&>(results) = std::move(image);
        return results;
    };
    const auto png = TOutPutFormat::png;
    switch (e.edit) {
    case AiEdit::Erase:
        return asResults(
            edit.Erase([&](TErase& p) { p.Image(e.image).Mask(e.mask).OutputFormat(png); }, o));
    case AiEdit::Inpaint:
        return asResults(edit.Inpaint(
            [&](TInpaint& p) { p.Image(e.image).Mask(e.mask).Prompt(e.prompt).OutputFormat(png); },
            o));
    case AiEdit::SearchAndReplace:
        return asResults(edit.SearchAndReplace(
            [&](TSearchAndReplace& p) {
                p.Image(e.image).Prompt(e.prompt).SearchPrompt(e.search).OutputFormat(png);
            },
            o));
    case AiEdit::SearchAndRecolor:
        return asResults(edit.SearchAndRecolor(
            [&](TSearchAndReplace& p) {
                p.Image(e.image).Prompt(e.prompt).SelectPrompt(e.search).OutputFormat(png);
            },
            o));
    case AiEdit::RemoveBackground:
        return asResults(edit.RemoveBackground(
            [&](TRemoveBackground& p) { p.Image(e.image).OutputFormat(png); }, o));
    case AiEdit::ReplaceBackground:
        return edit.ReplaceBackgroundAndRelight(
            [&](TReplaceBackgroundAndRelight& p) {
                p.SubjectImage(e.image).BackgroundPrompt(e.background).OutputFormat(png);
            },
            o);
    case AiEdit::Outpaint:
        return asResults(edit.Outpaint(
            [&](TOutpaint& p) {
                p.Image(e.image).Left(e.left).Up(e.up).Right(e.right).Down(e.down);
                if (e.creativity) p.Creativity(*e.creativity);
                p.OutputFormat(png);
            },
            o));
    case AiEdit::UpscaleConservative:
        return asResults(upscale.Conservative(
            [&](TUpscaleConservative& p) {
                p.Image(e.image).Prompt(e.prompt);
                if (e.creativity) p.Creativity(*e.creativity);
                p.OutputFormat(png);
            },
            o));
    case AiEdit::UpscaleCreative:
        return upscale.Creative(
            [&](TUpscaleCreative& p) {
                p.Image(e.image).Prompt(e.prompt);
                if (e.creativity) p.Creativity(*e.creativity);
                p.OutputFormat(png);
            },
            o);
    case AiEdit::UpscaleFast:
        return asResults(
            upscale.Fast([&](TUpscaleFast& p) { p.Image(e.image).OutputFormat(png); }, o));
    }
    throw std::logic_error("unknown AI edit");
}

CancelToken sendEditAsync(std::shared_ptr<IStabilityAI> client,
    std::shared_ptr<const PreparedEdit> edit,
    const std::function<TAsynCallBack<Common::TResults>()>& callbacks) {
    return runAsync<Common::TResults>(
        [client = std::move(client), edit = std::move(edit)](const CancelToken& token) {
            return sendEdit(*client, *edit, RequestOptions { token });
        },
        callbacks);
}

ie::Bitmap finishEdit(const PreparedEdit& edit, const Common::TStableImage& answer) {
    if (answer.FinishReason == Common::TFinishReason::CONTENT_FILTERED)
        throw std::runtime_error("The service's content filter refused this request; the image "
                                 "was not changed.");
    if (answer.FinishReason == Common::TFinishReason::ERROR)
        throw std::runtime_error("The service could not complete this request; the image was "
                                 "not changed.");
    if (answer.Image.empty()) throw std::runtime_error("The service's answer holds no image.");
    const std::vector<std::uint8_t> bytes = answer.GetStream();
    ie::Bitmap result = decodeImage(bytes);
    if (edit.targetWidth > 0
        && (result.width() != edit.targetWidth || result.height() != edit.targetHeight))
        result = ie::resample(
            result, edit.targetWidth, edit.targetHeight, ie::ResampleFilter::Lanczos3);
    return result;
}

} // namespace vst::ai
