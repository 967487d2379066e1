#include "CliArgs.h"
#include "Commands.h"

#include "imaging/PixelFormat.h"
#include "io/ImageIO.h"

#include <cstdio>
#include <stdexcept>

namespace vst::cli {

namespace {
void printField(const char* name, const std::string& value) {
    if (!value.empty()) std::printf("%-14s %s\n", name, value.c_str());
}
} // namespace

int runInfo(const std::vector<std::string>& argv) {
    CliArgs args(argv);
    args.expectOnly({ "page" });
    if (args.positional().size() != 1) throw std::runtime_error("usage: info FILE");
    const std::string& path = args.positional()[0];
    ie::io::LoadOptions opts;
    opts.pageIndex = args.intOption("page").value_or(0);
    const auto img = ie::io::loadImage(path, opts);
    std::printf("%-14s %s\n", "file:", path.c_str());
    std::printf("%-14s %s\n", "format:", img.formatName.c_str());
    std::printf("%-14s %d\n", "width:", img.bitmap.width());
    std::printf("%-14s %d\n", "height:", img.bitmap.height());
    std::printf("%-14s %s%s\n",
        "pixel format:", std::string(ie::pixelFormatName(img.bitmap.pixelFormat())).c_str(),
        img.bitmap.hasAlphaPlane() ? " + alpha" : "");
    std::printf("%-14s %d\n", "pages:", img.pageCount);
    std::printf("%-14s %g x %g dpi\n", "resolution:", img.bitmap.dpiX(), img.bitmap.dpiY());
    const auto exif = ie::io::readExifSummary(img.metadata);
    printField("camera make:", exif.make);
    printField("camera model:", exif.model);
    printField("date:", exif.dateTime);
    printField("lens:",
        (exif.lensMake + " " + exif.lensModel).find_first_not_of(' ') == std::string::npos
            ? std::string()
            : exif.lensMake + " " + exif.lensModel);
    if (exif.exposureTime > 0) std::printf("%-14s %g s\n", "exposure:", exif.exposureTime);
    if (exif.fNumber > 0) std::printf("%-14s f/%g\n", "aperture:", exif.fNumber);
    if (exif.focalLength > 0) std::printf("%-14s %g mm\n", "focal length:", exif.focalLength);
    if (exif.isoSpeed > 0) std::printf("%-14s %d\n", "iso:", exif.isoSpeed);
    printField("software:", exif.software);
    return 0;
}

} // namespace vst::cli
