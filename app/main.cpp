// The Vistrelune editor: start-up, single instance and the message loop.
#include "app/ui/Main.h"
#include "app/AppFolders.h"
#include "app/SettingsStore.h"
#include "app/Translation.h"
#include "app/Version.h"
#include "app/ui/MessageDlg.h"
#include "app/ui/SingleInstance.h"
#include "app/ui/Style.h"
#include "project/ProjectFormat.h"

#include <QApplication>
#include <QDir>
#include <QSettings>
#include <cstdio>

namespace {

/// The stored interface language, read before any window exists.
QString storedLanguage() {
    auto store = vst::app::openSettingsStore();
    return vst::app::settingsKeyExists(*store) ? store->value("CurrentLanguage").toString()
                                               : QString();
}

/// The start-up update check; it lives in its own unit once built. True lets start-up go on.
bool runStartupUpdateCheck() {
    return true;
}

} // namespace

int main(int argc, char** argv) {
    using namespace vst::app;
    // The codecs' temporary files go into a folder of our own, which the closing clean-up
    // empties; set before anything can start ImageMagick.
    QDir().mkpath(programTempFolder());
    qputenv("MAGICK_TEMPORARY_PATH", programTempFolder().toLocal8Bit());
    QApplication app(argc, argv);
    const QString file = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();

    TSingleInstance instance;
    try {
        if (!instance.tryLock()) {
            handOverToRunningInstance(file);
            return 0;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }

    applyPhotoEditorStyle(app);
    QApplication::setApplicationName("Vistrelune");
    QApplication::setApplicationDisplayName("Vistrelune");
    LoadTranslation(installationFolder(), storedLanguage());
    const QString dataFolder = applicationDataFolder();
    if (!QDir().mkpath(dataFolder)) {
        ShowMessage(Translate("Unable to create directory:") + "\r\n" + dataFolder);
        return 1;
    }
    if (!runStartupUpdateCheck()) return 0;
    vst::project::registerProjectFormat();

    TRovazEvaderurMainForm form(file);
    instance.listen([&form](const InstanceMessage& m) { form.handleInstanceMessage(m); });
    form.show();
    return app.exec();
}
