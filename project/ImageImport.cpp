#include "ImageImport.h"

#include "io/ImageIO.h"
#include "layers/ImageLayer.h"
#include "layers/LayeredPsd.h"

#include <QFileInfo>

namespace vst::project {

ie::LayerStack importLayers(const std::string& path, int page) {
    const std::string ext = ie::io::extensionOf(path);
    if (ext == ".psd" || ext == ".psb") {
        ie::LayerStack layers = ie::loadLayeredPsd(path);
        if (!layers.isEmpty()) return layers;
    }
    ie::io::LoadOptions options;
    options.pageIndex = page;
    auto img = ie::io::loadImage(path, options);
    auto layer = std::make_unique<ie::ImageLayer>(std::move(img.bitmap));
    layer->name = QFileInfo(QString::fromStdString(path)).completeBaseName();
    ie::LayerStack layers;
    layers.add(std::move(layer));
    return layers;
}

} // namespace vst::project
