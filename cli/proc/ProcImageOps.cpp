// The pixel and geometry operations of "vistrelune-cli proc".
#include "ProcOperations.h"

#include "imaging/Convert.h"
#include "imaging/Resample.h"
#include "proc/adjust/BlackWhite.h"
#include "proc/adjust/ChannelOps.h"
#include "proc/geometry/Canvas.h"
#include "proc/geometry/Crop.h"
#include "proc/geometry/Flip.h"
#include "proc/geometry/Resize.h"
#include "proc/geometry/Rotate.h"
#include "proc/vision/Inpaint.h"

#include <cmath>
#include <stdexcept>

namespace vst::cli {

namespace {

constexpr double kMaxSide = 1 << 18;

int negative(ProcJob& job) {
    ie::Bitmap b = job.input.bitmap;
    ie::proc::negative(b, nullptr);
    saveResult(job, b);
    return 0;
}

int swapChannels(ProcJob& job) {
    ie::Bitmap b = job.input.bitmap;
    ie::proc::disposeChannels(b, nullptr, job.params.requiredText("order"));
    saveResult(job, b);
    return 0;
}

int blackAndWhite(ProcJob& job) {
    ie::Bitmap b = job.input.bitmap;
    if (job.params.choice("method", { "threshold", "ordered" }, 0) == 1)
        ie::proc::convertToBWOrdered(b, nullptr);
    else
        ie::proc::convertToBWThreshold(b, nullptr, job.params.integer("threshold", -1, -1, 255));
    saveResult(job, b);
    return 0;
}

int rotate(ProcJob& job) {
    const ProcParams& p = job.params;
    const double angle = p.requiredNumber("angle", -36000, 36000);
    const auto interpolation = ie::proc::Interpolation(
        p.choice("interpolation", { "nearest", "bilinear", "bicubic" }, 2));
    if (p.integer("crop", 0, 0, 1)) {
        saveResult(job, ie::proc::rotateAndCrop(job.input.bitmap, angle, interpolation));
        return 0;
    }
    ie::proc::RotateOptions o;
    o.interpolation = interpolation;
    o.antialias = p.integer("antialias", 1, 0, 1) == 1;
    o.background = p.color("background", ie::Rgba { 255, 255, 255, 255 });
    saveResult(job, ie::proc::rotate(job.input.bitmap, angle, o));
    return 0;
}

int flip(ProcJob& job) {
    ie::Bitmap b = job.input.bitmap;
    const int d = job.params.choice("direction", { "horizontal", "vertical" }, 0);
    ie::proc::flip(
        b, d == 0 ? ie::proc::FlipDirection::Horizontal : ie::proc::FlipDirection::Vertical);
    saveResult(job, b);
    return 0;
}

int resample(ProcJob& job) {
    const ProcParams& p = job.params;
    const ie::Bitmap& src = job.input.bitmap;
    int w = p.integer("width", 0, 1, int(kMaxSide));
    int h = p.integer("height", 0, 1, int(kMaxSide));
    if (auto scale = p.text("scale")) {
        if (w || h) throw std::runtime_error("give either scale= or width=/height=, not both");
        const double percent = p.number("scale", 100, 0.001, 100000);
        w = ie::proc::scaledSide(src.width(), percent);
        h = ie::proc::scaledSide(src.height(), percent);
    }
    if (!w && !h) throw std::runtime_error("resample needs width=, height= or scale=");
    // one side given: the other keeps the proportions
    if (!w) w = std::max(1, int(std::nearbyint(double(h) * src.width() / src.height())));
    if (!h) h = std::max(1, int(std::nearbyint(double(w) * src.height() / src.width())));
    int filter = int(ie::ResampleFilter::Lanczos3);
    if (auto name = p.text("filter")) {
        filter = ie::resampleFilterFromName(*name);
        if (filter < 0) throw std::runtime_error("unknown filter \"" + *name + "\"");
    }
    saveResult(job, ie::proc::resize(src, w, h, ie::ResampleFilter(filter)));
    return 0;
}

int canvas(ProcJob& job) {
    const ProcParams& p = job.params;
    const int limit = int(kMaxSide);
    const ie::proc::Margins m { p.integer("left", 0, -limit, limit),
        p.integer("top", 0, -limit, limit), p.integer("right", 0, -limit, limit),
        p.integer("bottom", 0, -limit, limit) };
    saveResult(job,
        ie::proc::resizeCanvas(
            job.input.bitmap, m, p.color("fill", ie::Rgba { 255, 255, 255, 255 })));
    return 0;
}

int crop(ProcJob& job) {
    const ProcParams& p = job.params;
    const int limit = int(kMaxSide);
    const ie::Rect r { p.integer("x", 0, 0, limit), p.integer("y", 0, 0, limit),
        int(p.requiredNumber("width", 1, limit)), int(p.requiredNumber("height", 1, limit)) };
    saveResult(job, ie::proc::cropTo(job.input.bitmap, r));
    return 0;
}

int inpaint(ProcJob& job) {
    const ProcParams& p = job.params;
    ie::Bitmap mask
        = ie::convertTo(ie::io::loadImage(p.requiredText("mask")).bitmap, ie::PixelFormat::Gray8);
    for (int y = 0; y < mask.height(); ++y) { // light pixels mark the area to fill
        std::uint8_t* row = mask.mutableScanline(y);
        for (int x = 0; x < mask.width(); ++x)
            row[x] = row[x] >= 128 ? 255 : 0;
    }
    const int method = p.choice("method", { "navier-stokes", "telea", "ns" }, 1);
    ie::Bitmap b = job.input.bitmap;
    ie::proc::inpaint(b, mask, p.number("radius", 3, 0, 10000),
        method == 1 ? ie::proc::InpaintMethod::Telea : ie::proc::InpaintMethod::NavierStokes);
    saveResult(job, b);
    return 0;
}

} // namespace

std::vector<ProcOperation> imageOperations() {
    return {
        { "negative", {}, "negative", negative },
        { "swap", { "order" }, "swap order=RGB|RBG|GRB|BRG|GBR", swapChannels },
        { "bw", { "method", "threshold" }, "bw [method=threshold|ordered] [threshold=-1..255]",
            blackAndWhite },
        { "rotate", { "angle", "interpolation", "antialias", "background", "crop" },
            "rotate angle=DEG [interpolation=nearest|bilinear|bicubic] [antialias=0|1] "
            "[background=#rrggbb|none] [crop=0|1]",
            rotate },
        { "flip", { "direction" }, "flip [direction=horizontal|vertical]", flip },
        { "resample", { "width", "height", "scale", "filter" },
            "resample (width=W [height=H] | height=H | scale=P) [filter=NAME]", resample },
        { "canvas", { "left", "top", "right", "bottom", "fill" },
            "canvas [left=N] [top=N] [right=N] [bottom=N] [fill=#rrggbb|none]", canvas },
        { "crop", { "x", "y", "width", "height" }, "crop [x=N] [y=N] width=W height=H", crop },
        { "inpaint", { "mask", "radius", "method" },
            "inpaint mask=FILE [radius=R] [method=telea|navier-stokes]", inpaint },
    };
}

} // namespace vst::cli
