#include "project/ui/EditorTabs.h"

#include "app/Translation.h"
#include "app/ui/MessageDlg.h"
#include "document/Document.h"
#include "project/ui/ClosePageControl.h"
#include "project/ui/CloseTabSheet.h"
#include "project/ui/TabContent.h"
#include "project/ui/TabsListWindow.h"
#include "project/ui/VariantView.h"

#include <QFileInfo>
#include <QTimer>
#include <QToolButton>

namespace vst::project {

using app::Translate;

namespace {

QColor toQColor(app::TColor c) {
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

// The name a tab shows and asks about: its project file, or the name a copy proposes.
QString fileNameOf(const VariantView* view) {
    return view->TheFileName.isEmpty() ? view->proposedFileName : view->TheFileName;
}

// The page gets its size only when the page control lays it out, so fit again after that.
void fitOnceLaidOut(TabImageView* view) {
    view->fit();
    QTimer::singleShot(0, view, [view] { view->fit(); });
}

} // namespace

TEditorTabs::TEditorTabs(TEditorPageControl* pgcEditor, EditorTabsHost& host)
    : QObject(pgcEditor)
    , m_pages(pgcEditor)
    , m_host(host) {
    m_pages->setVisible(false);
    connect(m_pages, &QTabWidget::currentChanged, this, [this] { pgcEditorChange(); });
}

int TEditorTabs::tabCount() const {
    return m_pages->count();
}

TCloseTabSheet* TEditorTabs::tab(int index) const {
    return m_pages->sheet(index);
}

TCloseTabSheet* TEditorTabs::activeTab() const {
    return tab(m_pages->currentIndex());
}

VariantView* TEditorTabs::GetImageEnView(int index) const {
    if (index < 0 || index >= m_pages->count()) return nullptr;
    TCloseTabSheet* sheet = tab(index);
    return sheet ? sheet->visibleView() : nullptr;
}

VariantView* TEditorTabs::ActiveImageEnView() const {
    return GetImageEnView(m_pages->currentIndex());
}

TCloseTabSheet* TEditorTabs::createSheet(const QString& name) {
    auto* sheet = new TCloseTabSheet();
    sheet->fOriginalFileName = name;
    sheet->fOnCloseQuery
        = [this](TCloseTabSheet* s, bool& canClose) { TabSheetCloseQuery(s, canClose); };
    sheet->fOnClose = [this] { pgcEditorChange(); };
    m_pages->setVisible(true);
    // The new tab goes right after the active one, and becomes active.
    const QSignalBlocker block(m_pages);
    const int at = m_pages->count() == 0 ? 0 : m_pages->currentIndex() + 1;
    m_pages->insertTab(at, sheet, QFileInfo(name).completeBaseName());
    m_pages->setCurrentIndex(at);
    return sheet;
}

void TEditorTabs::configureView(VariantView* view) {
    const app::TOptionFields& f = m_host.optionFields();
    TabImageView* iv = view->imageView();
    iv->setBackgroundColor(toQColor(f.fBackgroundColor_Normal));
    iv->setZoomFilter(f.fZoomFilter);
    iv->setShowRulers(f.fCurrentShowRulers);
    iv->setRulerUnits(f.fCurrentShowRulersUnits);
}

VariantView* TEditorTabs::createView(TCloseTabSheet* sheet, bool visible) {
    auto* view = new VariantView();
    sheet->addView(view, visible);
    configureView(view);
    return view;
}

VariantView* TEditorTabs::CreateEditorTab(const QString& Name, int ImageIndexInFile, bool NewImage,
    int NewImageWidth, int NewImageHeight, int NewImageBodyType,
    const QColor& NewImageCustomBodyColor, int NewImageDPI) {
    if (!NewImage) m_host.addRecentFile(Name);
    m_host.optionFields().fOpenFile_RecentFolder = QFileInfo(Name).path();
    // Camera RAW files open with the default decoding parameters until the RAW import dialog
    // asks for them.
    TCloseTabSheet* sheet = createSheet(Name);
    std::vector<TabVariant> variants;
    const bool load = !NewImage && QFileInfo::exists(Name);
    if (load) {
        try {
            variants = loadTabContent(Name, ImageIndexInFile);
        } catch (const std::exception&) {
            app::ShowMessage(Translate("Unable to open file:") + "\r\n" + Name);
        }
    } else {
        try {
            variants.push_back(
                TabVariant { newBlankDocument(NewImageWidth, NewImageHeight, NewImageBodyType,
                                 NewImageCustomBodyColor, NewImageDPI),
                    {} });
        } catch (const std::exception& e) {
            app::ShowMessage(QString::fromStdString(e.what()));
        }
    }
    if (variants.empty()) variants.push_back(TabVariant { std::make_unique<ie::Document>(), {} });
    VariantView* last = nullptr;
    for (std::size_t i = 0; i < variants.size(); ++i) {
        last = createView(sheet, i == 0);
        last->TheFileName = Name;
        last->VersionName = variants[i].VersionName;
        variants[i].document->setModified(false);
        variants[i].document->clearUndo();
        last->setDocument(std::move(variants[i].document));
        fitOnceLaidOut(last->imageView());
        if (last->VersionName.isEmpty()) last->VersionName = Translate("Original");
    }
    pgcEditorChange();
    return last;
}

void TEditorTabs::UpdatePageCaptionAndHint(int PageInd) {
    const int index = PageInd == -1 ? m_pages->currentIndex() : PageInd;
    TCloseTabSheet* sheet = tab(index);
    if (!ActiveImageEnView() || !sheet || sheet->views().empty()) return;
    const QString name = fileNameOf(sheet->views().front());
    const QFileInfo info(name);
    QString caption;
    QString hint;
    if (isProjectFileName(name) || info.suffix().isEmpty()) {
        caption = info.fileName();
        hint = name;
    } else {
        caption = info.completeBaseName();
        hint = caption;
    }
    if (sheet->isModified()) caption += " *";
    m_pages->setTabText(index, caption);
    m_pages->setTabToolTip(index, hint);
}

void TEditorTabs::pgcEditorChange() {
    if (VariantView* view = ActiveImageEnView()) {
        const app::TOptionFields& f = m_host.optionFields();
        view->imageView()->setShowRulers(f.fCurrentShowRulers);
        view->imageView()->setRulerUnits(f.fCurrentShowRulersUnits);
        view->imageView()->setZoomFilter(f.fZoomFilter);
    }
    m_pages->setVisible(m_pages->count() > 0);
    m_pages->update();
    UpdatePageCaptionAndHint(-1);
    m_host.tabsChanged();
}

void TEditorTabs::TabSheetCloseQuery(TCloseTabSheet* sender, bool& CanClose) {
    if (NoToAllClicked || !sender->isModified()) return;
    m_pages->setCurrentWidget(sender);
    m_pages->repaint();
    const QString name = QFileInfo(fileNameOf(sender->views().front())).completeBaseName();
    app::TMsgDlgButtons buttons = app::mbYes | app::mbNo | app::mbCancel;
    if (ClosingAllTabs) buttons |= app::mbNoToAll;
    const int answer
        = app::TranslatedMessageDlg(Translate("Save changes to \"%s\"?").replace("%s", name),
            app::TMsgDlgType::mtConfirmation, buttons);
    if (answer == app::mrYes) {
        if (!m_host.saveActiveTab()) CanClose = false;
    } else if (answer == app::mrNoToAll) {
        NoToAllClicked = true;
    } else if (answer != app::mrNo) {
        CanClose = false; // Cancel, or the box closed without an answer
    }
}

void TEditorTabs::ActionNewExecute(const NewImageRequest& r) {
    CreateEditorTab(r.name, 0, true, r.width, r.height, r.bodyType, r.color, r.dpi);
}

void TEditorTabs::ActionImageDuplicateExecute() {
    VariantView* source = ActiveImageEnView();
    if (!source || source->document().layers().isEmpty()) return;
    const ie::Document& doc = source->document();
    VariantView* copy = CreateEditorTab(fileNameOf(source), 0, true, doc.layers().canvasWidth(),
        doc.layers().canvasHeight(), 0, Qt::white, int(doc.dpiX));
    if (!copy) return;
    auto document = std::make_unique<ie::Document>();
    document->assign(doc);
    document->setModified(doc.isModified());
    copy->setDocument(std::move(document));
    fitOnceLaidOut(copy->imageView());
    // The copy has no project file of its own: its Save asks where to save, so it can't
    // overwrite the source's project.
    copy->proposedFileName = fileNameOf(source);
    copy->TheFileName.clear();
    UpdatePageCaptionAndHint(-1);
    m_host.tabsChanged();
}

void TEditorTabs::ActionCloseExecute() {
    if (TCloseTabSheet* sheet = activeTab()) sheet->Close();
}

bool TEditorTabs::closeFromLast(bool forExit) {
    const int maximum = m_pages->count();
    if (forExit && maximum > 1) ClosingAllTabs = true;
    bool closedAll = true;
    for (int i = maximum - 1; i >= 0; --i) {
        m_host.setProgress(maximum, maximum - i);
        if (!tab(i)->Close()) {
            closedAll = false;
            break;
        }
    }
    m_host.setProgress(maximum, 0);
    NoToAllClicked = false;
    ClosingAllTabs = false;
    return closedAll;
}

bool TEditorTabs::ActionCloseAllExecute() {
    return closeFromLast(false);
}

bool TEditorTabs::closeAllForExit() {
    return closeFromLast(true);
}

void TEditorTabs::btnTabsListClick(QToolButton* button) {
    if (!m_tabsList) m_tabsList = new TfrmTabsList(m_pages);
    if (m_tabsList->isVisible()) {
        m_tabsList->close();
        return;
    }
    m_tabsList->showFor(m_pages, button);
}

} // namespace vst::project
