// The operations of "vistrelune-cli proc": their names, parameters and what they run.
#pragma once

#include "ProcParams.h"

#include "io/ImageIO.h"

#include <string>
#include <vector>

namespace vst::cli {

/// One run of an operation: the loaded input, the output path and the parameters.
struct ProcJob {
    ie::io::LoadedImage input;
    std::string outPath;
    const ProcParams& params;
};

/// An operation: its name, the parameter names it accepts, a usage line and the code.
struct ProcOperation {
    std::string name;
    std::vector<std::string> params;
    std::string usage;
    int (*run)(ProcJob& job);
};

/// Operations that change the pixels or the geometry and write the image to OUT.
std::vector<ProcOperation> imageOperations();
/// Comparison, hidden data and encryption.
std::vector<ProcOperation> dataOperations();

/// Saves `bitmap` to the job's output with the input's metadata.
void saveResult(const ProcJob& job, const ie::Bitmap& bitmap);

} // namespace vst::cli
