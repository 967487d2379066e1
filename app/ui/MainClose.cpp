// Closing the main window, and the Save its tabs ask for: tabs from the last to the first,
// then the settings, recent.txt and the codecs' left-over temporary files.
#include "app/ui/Main.h"

#include "app/AppFolders.h"
#include "app/SettingsStore.h"
#include "app/Translation.h"
#include "app/ui/MessageDlg.h"
#include "project/ui/CloseTabSheet.h"
#include "project/ui/SaveProject.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QSettings>

namespace vst::app {

void TRovazEvaderurMainForm::FormCloseQuery(bool& CanClose) {
    CanClose = m_tabs->closeAllForExit();
    saveSettings(); // also when a tab refused
    writeRecentAndCleanUp();
}

void TRovazEvaderurMainForm::writeRecentAndCleanUp() {
    try {
        if (QDir(m_folders.applicationData).exists())
            m_recent.save(m_folders.applicationData + "/recent.txt");
    } catch (const std::exception&) {
        // A recent list that can't be written is not worth keeping the window open for.
    }
    // Only our own folder: other programs' files in the shared temporary folder stay.
    deleteMagickTempFiles(m_folders.temporary);
}

void TRovazEvaderurMainForm::closeEvent(QCloseEvent* event) {
    bool canClose = true;
    FormCloseQuery(canClose);
    if (canClose)
        event->accept();
    else
        event->ignore();
}

void TRovazEvaderurMainForm::ActionSaveExecute() {
    QAction* save = action("ActionSave");
    save->setProperty("Tag", 0);
    project::TCloseTabSheet* tab = m_tabs->activeTab();
    if (!tab) return;
    QString path = project::projectFileOf(*tab);
    if (path.isEmpty() && askSaveFileName)
        path = askSaveFileName(project::proposedProjectName(*tab));
    if (path.isEmpty()) return;
    if (!path.endsWith(".vstl", Qt::CaseInsensitive)) path += ".vstl";
    try {
        project::saveTabAsProject(*tab, path);
    } catch (const std::exception& e) {
        TranslatedMessageDlg(QString::fromStdString(e.what()), TMsgDlgType::mtError, mbOK);
        return;
    }
    save->setProperty("Tag", 1);
    m_tabs->UpdatePageCaptionAndHint(-1);
    UpdateStatusCaption(false);
}

bool TRovazEvaderurMainForm::saveActiveTab() {
    ActionSaveExecute();
    return action("ActionSave")->property("Tag").toInt() == 1;
}

void TRovazEvaderurMainForm::loadSettings() {
    auto store = openSettingsStore();
    LoadSettingsFromRegistry(*store, m_fields, &m_settingsStoppedAt);
    applyWindowPlacement();
}

void TRovazEvaderurMainForm::saveSettings() {
    TWindowPlacement& w = m_fields.window;
    const QRect outer = frameGeometry();
    w.left = outer.left();
    w.top = outer.top();
    w.width = outer.width();
    w.height = outer.height();
    w.maximized = isMaximized();
    auto store = openSettingsStore();
    SaveSettingsInRegistry(*store, m_fields);
}

} // namespace vst::app
