#include "ProjectFile.h"

#include "ProjectStreamPosition.h"
#include "VariantParameters.h"
#include "imaging/Error.h"
#include "io/AtomicFile.h"
#include "project/LayerStream.h"

namespace vst::project {

void writeProjectFile(const std::string& path, std::vector<Variant>& variants) {
    if (variants.empty()) throw ie::Error("A project without variants cannot be saved");
    ProjectStreamPosition = 0;
    for (auto& v : variants) {
        SaveProjectParametersIntoFileDescription(v);
        ie::LayerStreamOptions options;
        options.description = v.Description;
        ProjectStreamPosition
            = ie::writeLayerStreamFile(path, ProjectStreamPosition, v.layers, options);
    }
}

void saveProject(const std::string& path, std::vector<Variant>& variants) {
    ie::io::AtomicFile file(path);
    writeProjectFile(file.tempPath(), variants);
    file.commit();
    for (auto& v : variants)
        v.TheFileName = QString::fromStdString(path);
}

std::vector<Variant> loadProject(const std::string& path) {
    const ie::FileSource source(path);
    ie::MemoryBudget budget;
    ie::PendingPixels pending; // the pixels of every variant, decoded together on every core
    std::vector<Variant> variants;
    ProjectStreamPosition = 0;
    try {
        do {
            ie::StreamReader in(source, budget, ProjectStreamPosition);
            Variant v;
            v.TheFileName = QString::fromStdString(path);
            v.Description = ie::readLayerStream(in, v.layers, pending, ie::LayerReadMode::Replace)
                                .description;
            ReadProjectParametersFromFileDescription(v);
            variants.push_back(std::move(v));
            ProjectStreamPosition = in.position() == in.size() ? 0 : in.position();
        } while (ProjectStreamPosition != 0);
        pending.decode(source, budget);
    } catch (...) {
        ProjectStreamPosition = 0;
        throw;
    }
    for (auto& v : variants)
        if (v.VersionName.isEmpty()) v.VersionName = QString::fromLatin1(kDefaultVariantName);
    return variants;
}

} // namespace vst::project
