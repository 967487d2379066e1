// The project commands of vistrelune-cli: project info, project from-images, render, export.
#include "CliArgs.h"
#include "Commands.h"

#include "io/ImageIO.h"
#include "layers/ImageLayer.h"
#include "layers/PolylineLayer.h"
#include "project/ImageImport.h"
#include "project/MergedImage.h"
#include "project/ProjectExport.h"
#include "project/ProjectFile.h"
#include "project/VariantParameters.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <stdexcept>

namespace vst::cli {

namespace {

using vst::project::Variant;

const char* kindName(const ie::Layer& l) {
    switch (l.kind()) {
    case ie::LayerKind::Image:
        return "image";
    case ie::LayerKind::Shape:
        return "shape";
    case ie::LayerKind::Line:
        return "line";
    case ie::LayerKind::Polyline:
        return static_cast<const ie::PolylineLayer&>(l).isPath ? "path" : "polyline";
    case ie::LayerKind::Text:
        return "text";
    case ie::LayerKind::Angle:
        return "angle";
    }
    return "?";
}

void printVariant(const Variant& v, int index) {
    std::printf("variant %d: %s%s\n", index + 1, v.VersionName.toStdString().c_str(),
        index == 0 ? " (main)" : "");
    std::printf("  parameters: LockAspectRatio=%d SnapToGrid=%d GridCellSize=%d DPI=%d\n",
        v.LayersResizeAspectRatio, v.SnapToPos ? -1 : 0, v.LayersSnapDist, v.DpiX);
    std::printf("  canvas: %d x %d\n", v.layers.canvasWidth(), v.layers.canvasHeight());
    for (int i = 0; i < v.layers.count(); ++i) {
        const ie::Layer& l = v.layers.layer(i);
        std::printf("  layer %d: %s \"%s\" %g x %g at %g,%g%s%s\n", i, kindName(l),
            l.name.toStdString().c_str(), l.width, l.height, l.x, l.y, l.isMask ? " mask" : "",
            l.visible ? "" : " hidden");
    }
}

// A name no variant of `variants` has yet: the wanted one, else with " (2)", " (3)" ...
QString uniqueName(const std::vector<Variant>& variants, const QString& wanted) {
    auto taken = [&](const QString& n) {
        for (const auto& v : variants)
            if (v.VersionName == n) return true;
        return false;
    };
    QString name = wanted;
    for (int i = 2; taken(name); ++i)
        name = QStringLiteral("%1 (%2)").arg(wanted).arg(i);
    return name;
}

int projectInfo(const CliArgs& args) {
    if (args.positional().size() != 2) throw std::runtime_error("usage: project info P.vstl");
    const auto variants = vst::project::loadProject(args.positional()[1]);
    std::printf("file: %s\nvariants: %zu\n", args.positional()[1].c_str(), variants.size());
    for (int i = 0; i < int(variants.size()); ++i)
        printVariant(variants[i], i);
    return 0;
}

// One variant per image (the first the main variant "Original", the others named after their
// files), or with --layers one variant holding one layer per image.
int projectFromImages(const CliArgs& args) {
    const auto& pos = args.positional();
    if (pos.size() < 3)
        throw std::runtime_error("usage: project from-images OUT.vstl [--layers] IMG...");
    std::vector<Variant> variants;
    for (std::size_t i = 2; i < pos.size(); ++i) {
        ie::LayerStack layers = vst::project::importLayers(pos[i]);
        if (args.flag("layers") && !variants.empty()) {
            for (int k = 0; k < layers.count(); ++k)
                variants.front().layers.add(layers.layer(k).clone());
            continue;
        }
        const ie::Bitmap& bg = static_cast<const ie::ImageLayer&>(layers.background()).bitmap;
        Variant v;
        v.DpiX = int(std::nearbyint(bg.dpiX()));
        v.DpiY = int(std::nearbyint(bg.dpiY()));
        const QString name = QFileInfo(QString::fromStdString(pos[i])).completeBaseName();
        v.VersionName = variants.empty() ? QString::fromLatin1(vst::project::kDefaultVariantName)
                                         : uniqueName(variants, name);
        v.layers = std::move(layers);
        variants.push_back(std::move(v));
    }
    vst::project::saveProject(pos[1], variants);
    return 0;
}

// Text layers render with the font database, which needs a QGuiApplication; the CLI has no
// display, so it runs on the offscreen platform.
void ensureTextRendering() {
    if (QGuiApplication::instance()) return;
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "vistrelune-cli";
    static char* argv[] = { name, nullptr };
    static QGuiApplication app(argc, argv);
}

const Variant& variantNamed(
    const std::vector<Variant>& variants, const std::optional<std::string>& name) {
    if (!name) return variants.front();
    for (const auto& v : variants)
        if (v.VersionName == QString::fromStdString(*name)) return v;
    throw std::runtime_error("the project has no variant \"" + *name + "\"");
}

} // namespace

int runProject(const std::vector<std::string>& argv) {
    CliArgs args(argv, { "layers" });
    const std::string sub = args.positional().empty() ? std::string() : args.positional()[0];
    if (sub == "info") {
        args.expectOnly({});
        return projectInfo(args);
    }
    if (sub == "from-images") {
        args.expectOnly({ "layers" });
        return projectFromImages(args);
    }
    throw std::runtime_error(
        "usage: project info P.vstl | project from-images OUT.vstl [--layers] IMG...");
}

int runRender(const std::vector<std::string>& argv) {
    CliArgs args(argv);
    args.expectOnly({ "variant" });
    if (args.positional().size() != 2)
        throw std::runtime_error("usage: render P.vstl OUT [--variant NAME]");
    ensureTextRendering();
    const auto variants = vst::project::loadProject(args.positional()[0]);
    const Variant& v = variantNamed(variants, args.option("variant"));
    ie::io::saveImage(args.positional()[1], vst::project::mergedImage(v));
    return 0;
}

int runExport(const std::vector<std::string>& argv) {
    CliArgs args(argv);
    args.expectOnly({ "format", "out", "name", "variants", "size", "scale" });
    const auto format = args.option("format");
    const auto out = args.option("out");
    if (args.positional().size() != 1 || !format || !out)
        throw std::runtime_error("usage: export P.vstl --format EXT --out DIR [--name BASE] "
                                 "[--variants default|other|all] [--size WxH | --scale P%]");
    vst::project::ExportOptions o;
    o.folder = *out;
    o.extension = format->front() == '.' ? *format : "." + *format;
    const std::string& path = args.positional()[0];
    o.baseName = args.option("name").value_or(std::filesystem::path(path).stem().string());
    const std::string which = args.option("variants").value_or("all");
    if (which != "default" && which != "other" && which != "all")
        throw std::runtime_error("--variants takes default, other or all");
    o.defaultVariant = which != "other";
    o.otherVariants = which != "default";
    const auto size = args.option("size");
    const auto scale = args.option("scale");
    if (size && scale) throw std::runtime_error("give either --size or --scale, not both");
    if (size) {
        const auto [w, h] = parseSize(*size);
        o.keepSize = false;
        o.width = w;
        o.height = h;
    } else if (scale) {
        o.keepSize = false;
        o.sizeType = 1;
        o.width = o.height = parsePercent(*scale);
    }
    ensureTextRendering();
    const auto variants = vst::project::loadProject(path);
    for (const auto& file : vst::project::exportProject(variants, o))
        std::printf("%s\n", file.c_str());
    return 0;
}

} // namespace vst::cli
