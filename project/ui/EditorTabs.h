// The editor tabs: opening files, pages, projects and new images into tabs, the active view,
// tab captions, closing with the question about unsaved changes, and the tab list.
#pragma once

#include "app/OptionFields.h"

#include <QColor>
#include <QObject>
#include <QString>

class QToolButton;

namespace vst::project {

class TCloseTabSheet;
class TEditorPageControl;
class TfrmTabsList;
class VariantView;

/// What the tabs need from the main window.
class EditorTabsHost {
public:
    virtual ~EditorTabsHost() = default;
    virtual app::TOptionFields& optionFields() = 0;
    /// UpdateRecenttems.
    virtual void addRecentFile(const QString& path) = 0;
    /// The refresh routines after a tab opened, closed or became active.
    virtual void tabsChanged() = 0;
    /// Runs Save for the active tab; true when it saved (the Save action's Tag is 1).
    virtual bool saveActiveTab() = 0;
    virtual void setProgress(int maximum, int position) = 0;
};

/// The New Image dialog's answer.
struct NewImageRequest {
    QString name;
    int width = 0;
    int height = 0;
    int bodyType = 1; ///< 0 transparent, 1 white, 2 custom
    QColor color = Qt::white;
    int dpi = 72;
};

/// The controller of `pgcEditor`.
class TEditorTabs : public QObject {
public:
    TEditorTabs(TEditorPageControl* pgcEditor, EditorTabsHost& host);

    TEditorPageControl* pgcEditor() const { return m_pages; }

    /// Opens `Name` (page `ImageIndexInFile`), or a new image when `NewImage`, into a new tab
    /// after the active one. Returns the last view created, or none when nothing was opened.
    VariantView* CreateEditorTab(const QString& Name, int ImageIndexInFile, bool NewImage,
        int NewImageWidth, int NewImageHeight, int NewImageBodyType,
        const QColor& NewImageCustomBodyColor, int NewImageDPI);

    VariantView* ActiveImageEnView() const;
    VariantView* GetImageEnView(int index) const;
    TCloseTabSheet* activeTab() const;
    TCloseTabSheet* tab(int index) const;
    int tabCount() const;

    /// Caption and hint of tab `PageInd` (-1: the active one).
    void UpdatePageCaptionAndHint(int PageInd);
    /// A tab became active or was closed.
    void pgcEditorChange();
    /// Asks about unsaved changes before a tab closes.
    void TabSheetCloseQuery(TCloseTabSheet* sender, bool& CanClose);

    /// New: `request` is the New Image dialog's answer.
    void ActionNewExecute(const NewImageRequest& request);
    void ActionImageDuplicateExecute();
    void ActionCloseExecute();
    /// Closes every tab from the last; false when one refused.
    bool ActionCloseAllExecute();
    /// Closes tabs from the last to the first for the main window's closing; false when one
    /// refused (those closed so far stay closed).
    bool closeAllForExit();
    void btnTabsListClick(QToolButton* button);

    bool ClosingAllTabs = false;
    bool NoToAllClicked = false;

private:
    TCloseTabSheet* createSheet(const QString& name);
    VariantView* createView(TCloseTabSheet* sheet, bool visible);
    void configureView(VariantView* view);
    bool closeFromLast(bool forExit);

    TEditorPageControl* m_pages;
    EditorTabsHost& m_host;
    TfrmTabsList* m_tabsList = nullptr;
};

} // namespace vst::project
