#include "ProjectFormat.h"

#include "MergedImage.h"
#include "ProjectFile.h"
#include "ProjectStreamPosition.h"
#include "VariantParameters.h"
#include "io/CodecRegistry.h"
#include "layers/ImageLayer.h"
#include "project/LayerStream.h"

#include <QString>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <mutex>

namespace vst::project {

namespace {

class ProjectCodec : public ie::io::Codec {
public:
    std::string name() const override { return kProjectFormatDescription; }
    std::vector<std::string> extensions() const override {
        std::string ext = kProjectFormatExtension;
        std::transform(
            ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
        return { "." + ext };
    }
    bool matches(std::span<const std::uint8_t> head) const override {
        return head.size() >= sizeof ie::kLayerStreamMagic
            && std::memcmp(head.data(), ie::kLayerStreamMagic, sizeof ie::kLayerStreamMagic) == 0;
    }

    // Only the main variant is read: the others are not shown.
    ie::io::DecodedImage read(const std::string& path, const ie::io::ReadOptions&) const override {
        Variant main;
        ie::LayerStreamHeader header;
        ProjectStreamPosition = 0;
        ie::readLayerStreamFile(path, 0, main.layers, &header);
        ProjectStreamPosition = 0;
        main.Description = header.description;
        ReadProjectParametersFromFileDescription(main);
        return { mergedImage(main), {} };
    }

    void write(const std::string& path, const ie::Bitmap& bitmap,
        const ie::io::FormatParams& params, const ie::io::Metadata&) const override {
        std::vector<Variant> variants(1);
        Variant& v = variants.front();
        v.VersionName = QString::fromLatin1(kDefaultVariantName);
        v.DpiX = int(std::nearbyint(params.dpiX > 0 ? params.dpiX : bitmap.dpiX()));
        v.DpiY = int(std::nearbyint(params.dpiY > 0 ? params.dpiY : bitmap.dpiY()));
        v.layers.add(std::make_unique<ie::ImageLayer>(bitmap));
        writeProjectFile(path, variants); // the general saver already writes to a temporary file
    }
};

} // namespace

void registerProjectFormat() {
    static std::once_flag once;
    std::call_once(
        once, [] { ie::io::CodecRegistry::instance().add(std::make_shared<ProjectCodec>()); });
}

} // namespace vst::project
