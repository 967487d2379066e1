#include "ProjectExport.h"

#include "MergedImage.h"
#include "ProjectStreamPosition.h"
#include "imaging/Error.h"
#include "imaging/Resample.h"
#include "io/ImageIO.h"
#include "layers/ImageLayer.h"
#include "layers/LayeredPsd.h"
#include "layers/PolylineLayer.h"

#include <cmath>
#include <filesystem>

namespace vst::project {

namespace {

bool unsafeChar(QChar c) {
    static const QString kUnsafe = QStringLiteral("/\\:*?\"<>|");
    return c.unicode() < 32 || c.unicode() == 127 || kUnsafe.contains(c);
}

// The size the export asks for: pixels, or per cent of the image. Percentages round halves up
// (1001 pixels at 50 % give 501), unlike the ties-to-even rounding elsewhere.
std::pair<int, int> requestedSize(const ExportOptions& o, int w, int h) {
    if (o.sizeType == 1)
        return { int(std::round(w * o.width / 100.0)), int(std::round(h * o.height / 100.0)) };
    return { int(std::nearbyint(o.width)), int(std::nearbyint(o.height)) };
}

// Every layer's box scaled, so the stack shows at the new canvas size; the pixels are resampled
// when the layers are drawn into the file.
void scaleLayers(ie::LayerStack& layers, int width, int height) {
    const double sx = double(width) / layers.canvasWidth(),
                 sy = double(height) / layers.canvasHeight();
    for (const auto& l : layers.layers()) {
        l->x *= sx;
        l->y *= sy;
        l->width *= sx;
        l->height *= sy;
    }
    layers.background().width = width;
    layers.background().height = height;
}

} // namespace

bool exportKeepsLayers(const std::string& extension) {
    return extension == ".psd" || extension == ".psb";
}

QString safeFileNamePart(const QString& name) {
    if (name == u"." || name == u"..") return QString(name.size(), u'_');
    QString out = name;
    for (auto& c : out)
        if (unsafeChar(c)) c = u'_';
    return out;
}

std::string exportTarget(const ExportOptions& o, int index, const QString& versionName) {
    QString file = safeFileNamePart(QString::fromStdString(o.baseName));
    if (index > 0) file += u'_' + safeFileNamePart(versionName);
    file += QString::fromStdString(o.extension);
    return (std::filesystem::path(o.folder) / file.toStdString()).string();
}

ie::LayerStack exportLayers(const Variant& variant) {
    ie::LayerStack layers = variant.layers;
    for (const auto& l : layers.layers())
        if (l->kind() == ie::LayerKind::Polyline
            && static_cast<const ie::PolylineLayer&>(*l).isPath)
            l->visible = false;
    if (layers.count() > 1 && layers.layer(1).isMask) {
        const ie::Layer& bg = layers.background();
        const ie::PixelFormat format = bg.kind() == ie::LayerKind::Image
            ? static_cast<const ie::ImageLayer&>(bg).bitmap.pixelFormat()
            : ie::PixelFormat::Rgb24;
        ie::Bitmap clear(layers.canvasWidth(), layers.canvasHeight(),
            format == ie::PixelFormat::Rgba32 ? format : ie::PixelFormat::Rgb24);
        if (format != ie::PixelFormat::Rgba32) clear.addAlphaPlane(0);
        clear.fill({ 255, 255, 255, 0 });
        auto base = std::make_unique<ie::ImageLayer>(std::move(clear));
        layers.background().locked = false;
        layers.insert(0, std::move(base));
    }
    return layers;
}

void exportLayered(const Variant& variant, const ExportOptions& o, const std::string& target) {
    ie::LayerStack layers = exportLayers(variant);
    if (!o.keepSize) {
        const auto [w, h] = requestedSize(o, layers.canvasWidth(), layers.canvasHeight());
        if (w <= 0 || h <= 0) throw ie::Error("The export size must be at least 1 x 1 pixel");
        if (w != layers.canvasWidth() || h != layers.canvasHeight()) scaleLayers(layers, w, h);
    }
    ie::io::FormatParams params = o.params;
    if (params.dpiX <= 0) params.dpiX = variant.DpiX;
    if (params.dpiY <= 0) params.dpiY = variant.DpiY;
    ie::saveLayeredPsd(target, layers, params);
}

ie::Bitmap exportImage(const Variant& variant, const ExportOptions& o) {
    ie::Bitmap bmp = mergedImage(exportLayers(variant));
    bmp.setDpi(variant.DpiX, variant.DpiY);
    if (o.keepSize) return bmp;
    const auto [w, h] = requestedSize(o, bmp.width(), bmp.height());
    if (w <= 0 || h <= 0) throw ie::Error("The export size must be at least 1 x 1 pixel");
    if (w == bmp.width() && h == bmp.height()) return bmp;
    ie::Bitmap out = ie::resample(bmp, w, h, ie::ResampleFilter::WICCubicHQ);
    out.setDpi(variant.DpiX, variant.DpiY);
    return out;
}

std::vector<std::string> exportProject(
    const std::vector<Variant>& variants, const ExportOptions& o) {
    if (!std::filesystem::is_directory(o.folder))
        throw ie::Error("Cannot export into \"" + o.folder + "\": the folder does not exist");
    std::vector<std::string> written;
    for (int i = 0; i < int(variants.size()); ++i) {
        if (i == 0 ? !o.defaultVariant : !o.otherVariants) continue;
        const std::string target = exportTarget(o, i, variants[i].VersionName);
        if (std::filesystem::exists(target) && o.overwrite && !o.overwrite(target)) continue;
        ProjectStreamPosition = 0;
        if (exportKeepsLayers(ie::io::extensionOf(target)))
            exportLayered(variants[i], o, target);
        else
            ie::io::saveImage(target, exportImage(variants[i], o), o.params);
        written.push_back(target);
    }
    return written;
}

} // namespace vst::project
