#include "app/AppFolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace vst::app {

QString installationFolder() {
    return QCoreApplication::applicationDirPath();
}

QString applicationDataFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/Vistrelune";
}

QString samplesFolderPath() {
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) + "/Vistrelune";
}

QString programTempFolder() {
    return QDir::tempPath() + "/vistrelune";
}

int deleteMagickTempFiles(const QString& folder) {
    int deleted = 0;
    const QDir dir(folder);
    const QStringList names = dir.entryList({ "magick-*.*" }, QDir::Files | QDir::Hidden);
    for (const QString& name : names)
        if (QFile::remove(dir.filePath(name))) ++deleted;
    return deleted;
}

} // namespace vst::app
