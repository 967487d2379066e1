#include "CliArgs.h"
#include "Commands.h"

#include "imaging/Resample.h"
#include "io/ImageIO.h"

#include <cmath>
#include <stdexcept>

namespace vst::cli {

namespace {

ie::io::FormatParams paramsFrom(const CliArgs& args) {
    ie::io::FormatParams params;
    if (auto file = args.option("params")) params = ie::io::FormatParams::loadFromFile(*file);
    if (auto q = args.intOption("quality")) {
        if (*q < 1 || *q > 100) throw std::runtime_error("--quality must be between 1 and 100");
        params.jpegQuality = *q;
        params.webpQuality = *q;
        params.tiffJpegQuality = *q;
    }
    return params;
}

ie::Bitmap resized(const ie::Bitmap& src, const CliArgs& args) {
    const auto resize = args.option("resize");
    const auto scale = args.option("scale");
    if (resize && scale) throw std::runtime_error("give either --resize or --scale, not both");
    if (!resize && !scale) return src;
    int w = 0, h = 0;
    if (resize) {
        std::tie(w, h) = parseSize(*resize);
    } else {
        const double p = parsePercent(*scale) / 100.0;
        w = std::max(1, int(std::nearbyint(src.width() * p)));
        h = std::max(1, int(std::nearbyint(src.height() * p)));
    }
    int filter = int(ie::ResampleFilter::Lanczos3);
    if (auto name = args.option("filter")) {
        filter = ie::resampleFilterFromName(*name);
        if (filter < 0) throw std::runtime_error("unknown filter \"" + *name + "\"");
    }
    if (w == src.width() && h == src.height()) return src;
    return ie::resample(src, w, h, static_cast<ie::ResampleFilter>(filter));
}

} // namespace

int runConvert(const std::vector<std::string>& argv) {
    CliArgs args(argv);
    args.expectOnly({ "page", "quality", "resize", "scale", "filter", "params" });
    if (args.positional().size() != 2)
        throw std::runtime_error(
            "usage: convert IN OUT [--page N] [--quality Q] [--resize WxH | --scale P%] "
            "[--filter NAME] [--params FILE]");
    ie::io::LoadOptions opts;
    opts.pageIndex = args.intOption("page").value_or(0);
    if (opts.pageIndex < 0) throw std::runtime_error("--page must be 0 or more");
    const auto params = paramsFrom(args);
    auto img = ie::io::loadImage(args.positional()[0], opts);
    const ie::Bitmap out = resized(img.bitmap, args);
    ie::io::saveImage(args.positional()[1], out, params, img.metadata);
    return 0;
}

} // namespace vst::cli
