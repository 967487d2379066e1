// vistrelune-cli proc: direct pixel operations on image files.
#include "Commands.h"
#include "ProcOperations.h"

#include <stdexcept>

namespace vst::cli {

namespace {

std::vector<ProcOperation> allOperations() {
    std::vector<ProcOperation> ops = imageOperations();
    for (auto& op : dataOperations())
        ops.push_back(std::move(op));
    return ops;
}

std::string usage(const std::vector<ProcOperation>& ops) {
    std::string text = "usage: proc IN OUT OPERATION [name=value ...]; operations:";
    for (const auto& op : ops)
        text += "\n  " + op.usage;
    return text;
}

} // namespace

void saveResult(const ProcJob& job, const ie::Bitmap& bitmap) {
    ie::io::saveImage(job.outPath, bitmap, {}, job.input.metadata);
}

int runProc(const std::vector<std::string>& args) {
    const std::vector<ProcOperation> ops = allOperations();
    if (args.size() < 3) throw std::runtime_error(usage(ops));
    const ProcOperation* op = nullptr;
    for (const auto& candidate : ops)
        if (candidate.name == args[2]) op = &candidate;
    if (!op) throw std::runtime_error("unknown operation \"" + args[2] + "\"\n" + usage(ops));
    const ProcParams params(std::vector<std::string>(args.begin() + 3, args.end()));
    params.expectOnly(op->name, op->params);
    ProcJob job { ie::io::loadImage(args[0]), args[1], params };
    return op->run(job);
}

} // namespace vst::cli
