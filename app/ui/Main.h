// The main window: the composition root that owns the editor page control, the panels, the
// menu and one controller per subsystem, and handles starting, hand-overs, drops and closing.
#pragma once

#include "app/HandOverRecord.h"
#include "app/OptionFields.h"
#include "app/RecentFiles.h"
#include "project/ui/EditorTabs.h"

#include <QMainWindow>
#include <functional>
#include <map>
#include <optional>

class QAction;
class QActionGroup;
class QLabel;
class QMenu;
class QProgressBar;
class QPushButton;
class QToolButton;

namespace vst::project {
class TEditorPageControl;
}

namespace vst::app {

/// Where the main window finds its files; the program's come from AppFolders, tests give
/// temporary ones.
struct MainFormFolders {
    QString installation; ///< transl.dt sits here, and the samples folder's sources
    QString applicationData; ///< recent.txt
    QString samples;
    QString temporary; ///< the codecs' temporary files
};

/// The folders of the running program.
MainFormFolders programFolders();

/// Set once a file came from outside the window (the command line or a hand-over).
extern bool CommandLineHandled;

class TRovazEvaderurMainForm : public QMainWindow, public project::EditorTabsHost {
public:
    /// `commandLineFile` is ParamStr(1), empty when none. Runs FormCreate.
    explicit TRovazEvaderurMainForm(const QString& commandLineFile = {},
        const MainFormFolders& folders = programFolders(), QWidget* parent = nullptr);
    ~TRovazEvaderurMainForm() override;

    // Start, hand-overs, drops and closing.
    void FormCreate();
    void FormShow();
    /// Asks every tab from the last to the first; saves the settings in any case.
    void FormCloseQuery(bool& CanClose);
    void FormDestroy();
    void WMCopyData(const QString& path);
    void WMRestoreInstance(std::uint64_t wParam, std::uint64_t lParam);
    void WMDropFiles(const QStringList& files);
    /// A message from a later start: a hand-over of an existing file or the bring-to-front pair.
    void handleInstanceMessage(const InstanceMessage& message);

    // Refresh routines.
    void UpdateButtonStatus();
    void UpdateStatusCaption(bool UpdateOnlyZoom);
    void UpdateStartScreen();

    // Language.
    void TranslateInterface();
    void UpdateLanguageMenu();
    void LanguageMenuItemClick(QAction* sender);
    void AddLanguageClick();
    /// The text of the "Add Language..." and "Help Us Translate..." box.
    static QString addLanguageText();

    // View options.
    void ActionAlwaysOnTopExecute();
    void ActionRulersExecute();
    void ZoomFilterClick(int filter);
    void UpdateUnits();

    /// Save of the active tab; sets the Save action's "Tag" to 1 when it saved.
    void ActionSaveExecute();

    project::TEditorTabs& editorTabs() { return *m_tabs; }
    QAction* action(const QString& name) const;
    TOptionFields& fields() { return m_fields; }
    RecentFiles& recentFiles() { return m_recent; }
    const MainFormFolders& folders() const { return m_folders; }
    /// True when the last settings read stopped at a wrongly typed value.
    const QString& settingsReadStoppedAt() const { return m_settingsStoppedAt; }

    bool NeedAbort = false;
    bool DontTruncateTitlebarCaption = false;
    bool SkipChangeEvent = false;
    bool SkipHistoryClick = false;
    bool SkipProgressBarChanging = false;
    bool NeedToFitCrop = false;
    bool fDarkenUnselectedLayers = false;
    double fLastMeasureValue = 0;
    QString strCaptionAdd;
    int PreviouslbVersionsItemIndex = -1;

    /// Called after each page a load loop opened (tests press Abort from here).
    std::function<void()> onPageOpened;
    /// Asks where to save a project; the program shows a file dialog. Empty cancels.
    std::function<QString(const QString& proposed)> askSaveFileName;
    /// The New Image dialog's answer; none when cancelled.
    std::function<std::optional<project::NewImageRequest>()> askNewImage;

    // EditorTabsHost
    TOptionFields& optionFields() override { return m_fields; }
    void addRecentFile(const QString& path) override;
    void tabsChanged() override;
    bool saveActiveTab() override;
    void setProgress(int maximum, int position) override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void buildMenu();
    void buildPanels();
    void connectActions();
    void applyWindowPlacement();
    void loadSettings();
    void saveSettings();
    /// Opens every page of `path`, each into its own tab; stops when Abort is pressed.
    void loadAllPages(const QString& path);
    /// Opens the pages of one dropped file; false when Abort stopped it.
    bool loadDroppedFile(const QString& path);
    void processMessagesBetweenPages();
    void bringToFront();
    void writeRecentAndCleanUp();
    void setStartScreenTexts();

    QString m_commandLineFile;
    MainFormFolders m_folders;
    TOptionFields m_fields;
    RecentFiles m_recent;
    QString m_settingsStoppedAt;
    bool m_shown = false;

    project::TEditorPageControl* pgcEditor = nullptr;
    project::TEditorTabs* m_tabs = nullptr;
    QWidget* panBackground = nullptr;
    QWidget* panStartScreen = nullptr;
    QLabel* lblGettingStarted = nullptr;
    QPushButton* btnStartOpen = nullptr;
    QPushButton* btnStartCreate = nullptr;
    QLabel* lblDragAndDrop = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QPushButton* btnAbort = nullptr;
    QToolButton* btnTabsList = nullptr;
    QLabel* lblColorDepth = nullptr;
    QLabel* lblSize = nullptr;
    QLabel* lblZoom = nullptr;
    QMenu* mnuLanguage = nullptr;
    QMenu* mnuUnits = nullptr;
    QActionGroup* m_languageGroup = nullptr;
    QActionGroup* m_zoomFilterGroup = nullptr;
    std::vector<QMenu*> m_topMenus;
    std::map<QString, QAction*> m_actions;
};

} // namespace vst::app
