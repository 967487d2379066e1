#include "app/SamplesFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace vst::app {

namespace {

SamplesPaths& paths() {
    static SamplesPaths p;
    return p;
}

void setPaths(const QString& root) {
    SamplesPaths& p = paths();
    p.samples = root;
    p.brushTextures = root + "/brushes_textures";
    p.brushShapes = root + "/brushes_shapes";
    p.filters = root + "/filters_x64";
    p.library = root + "/samples";
    p.patterns = root + "/patterns";
    p.colors = root + "/colors";
    p.aiPresets = root + "/ai_presets";
}

} // namespace

const SamplesPaths& samplesPaths() {
    return paths();
}

const QStringList& samplesFolderEntries() {
    static const QStringList entries { "brushes_textures", "brushes_shapes", "filters_x64",
        "samples", "patterns", "colors", "ai_presets" };
    return entries;
}

const QStringList& samplesFileEntries() {
    static const QStringList entries { "presetsdata.dat", "presetsnames.dat",
        "selectedpresets.dat" };
    return entries;
}

bool copyFolder(const QString& from, const QString& to) {
    if (!QDir().mkpath(to)) return false;
    bool ok = true;
    const QDir src(from);
    for (const QFileInfo& info :
        src.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)) {
        const QString dst = to + "/" + info.fileName();
        if (info.isDir() && !info.isSymLink())
            ok = copyFolder(info.filePath(), dst) && ok;
        else if (info.isFile())
            ok = QFile::copy(info.filePath(), dst) && ok;
    }
    return ok;
}

bool provideSamplesFolder(const QString& source, const QString& target) {
    if (!QDir().mkpath(target)) return false;
    setPaths(target);
    for (const QString& name : samplesFolderEntries()) {
        const QString from = source + "/" + name;
        const QString to = target + "/" + name;
        if (QFileInfo(from).isDir() && !QFileInfo::exists(to)) copyFolder(from, to);
    }
    for (const QString& name : samplesFileEntries()) {
        const QString from = source + "/" + name;
        const QString to = target + "/" + name;
        if (QFileInfo(from).isFile() && !QFileInfo::exists(to)) QFile::copy(from, to);
    }
    return true;
}

} // namespace vst::app
