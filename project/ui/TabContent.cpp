#include "project/ui/TabContent.h"

#include "document/Document.h"
#include "imaging/Error.h"
#include "io/ImageIO.h"
#include "project/ProjectFile.h"

#include <QFileInfo>
#include <algorithm>

namespace vst::project {

bool isProjectFileName(const QString& name) {
    return name.endsWith(".vstl", Qt::CaseInsensitive);
}

bool isRawFileName(const QString& name) {
    static const QString kRaw = "*.crw;*.cr2;*.cr3;*.dng;*.nef;*.raw;*.raf;*.x3f;*.orf;*.srf;*.mrw;"
                                "*.dcr;*.bay;*.pef;*.sr2;*.arw;*.kdc;*.mef;*.3fr;*.k25;*.erf;*.cam;"
                                "*.cs1;*.dc2;*.dcs;*.fff;*.mdc;*.mos;*.nrw;*.ptx;*.pxn;*.rdc;*.rw2;"
                                "*.rwl;*.iiq;*.srw;";
    const QString suffix = QFileInfo(name).suffix();
    return !suffix.isEmpty() && kRaw.contains("*." + suffix.toLower() + ";", Qt::CaseInsensitive);
}

namespace {

std::vector<TabVariant> loadProjectVariants(const QString& name) {
    std::vector<TabVariant> out;
    for (Variant& v : loadProject(name.toStdString())) {
        auto doc = std::make_unique<ie::Document>();
        doc->layers() = std::move(v.layers);
        doc->description = v.Description;
        doc->dpiX = v.DpiX;
        doc->dpiY = v.DpiY;
        doc->fileName = name;
        out.push_back(TabVariant { std::move(doc), v.VersionName });
    }
    return out;
}

} // namespace

std::vector<TabVariant> loadTabContent(const QString& name, int pageIndex) {
    if (isProjectFileName(name)) return loadProjectVariants(name);
    ie::io::LoadOptions options;
    options.pageIndex = std::max(0, pageIndex);
    ie::io::LoadedImage loaded = ie::io::loadImage(name.toStdString(), options);
    auto doc = std::make_unique<ie::Document>(std::move(loaded.bitmap));
    doc->metadata = std::move(loaded.metadata);
    doc->fileName = name;
    std::vector<TabVariant> out;
    out.push_back(TabVariant { std::move(doc), {} });
    return out;
}

std::unique_ptr<ie::Document> newBlankDocument(
    int width, int height, int bodyType, const QColor& custom, int dpi) {
    if (width <= 0 || height <= 0) throw ie::Error("The new image has no size");
    ie::Bitmap bmp(width, height, bodyType == 0 ? ie::PixelFormat::Rgba32 : ie::PixelFormat::Rgb24);
    if (bodyType == 0)
        bmp.fill(ie::Rgba { 255, 255, 255, 0 });
    else if (bodyType == 1)
        bmp.fill(ie::Rgba { 255, 255, 255, 255 });
    else
        bmp.fill(ie::Rgba { std::uint8_t(custom.red()), std::uint8_t(custom.green()),
            std::uint8_t(custom.blue()), 255 });
    const int resolution = dpi > 0 ? dpi : 72;
    bmp.setDpi(resolution, resolution);
    return std::make_unique<ie::Document>(std::move(bmp));
}

} // namespace vst::project
