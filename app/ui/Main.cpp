#include "app/ui/Main.h"

#include "app/AppFolders.h"
#include "app/SamplesFolder.h"
#include "app/Translation.h"
#include "app/VisionCheck.h"
#include "app/ui/MenuTable.h"
#include "app/ui/MessageDlg.h"
#include "project/ui/ClosePageControl.h"
#include "project/ui/VariantView.h"

#include <QActionGroup>
#include <QApplication>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace vst::app {

bool CommandLineHandled = false;

MainFormFolders programFolders() {
    return MainFormFolders { installationFolder(), applicationDataFolder(), samplesFolderPath(),
        programTempFolder() };
}

TRovazEvaderurMainForm::TRovazEvaderurMainForm(
    const QString& commandLineFile, const MainFormFolders& folders, QWidget* parent)
    : QMainWindow(parent)
    , m_commandLineFile(commandLineFile)
    , m_folders(folders) {
    setObjectName("TRovazEvaderurMainForm");
    FormCreate();
}

TRovazEvaderurMainForm::~TRovazEvaderurMainForm() {
    FormDestroy();
}

void TRovazEvaderurMainForm::FormCreate() {
    if (!visionLibraryUsable())
        ShowMessage(Translate("This application requires the OpenCV inpainting and segmentation "
                              "library."));
    resize(1280, 800);
    buildMenu();
    buildPanels();
    connectActions();
    QApplication::setEffectEnabled(Qt::UI_AnimateTooltip, false);
    m_recent.load(m_folders.applicationData + "/recent.txt");
    loadSettings();
    action("ActionAlwaysOnTop")->setChecked(m_fields.fStayOnTop);
    action("ActionRulers")->setChecked(m_fields.fCurrentShowRulers);
    if (QAction* filter = m_zoomFilterGroup->actions().value(m_fields.fZoomFilter))
        filter->setChecked(true);
    UpdateLanguageMenu();
    UpdateUnits();
    TranslateInterface();
    setAcceptDrops(true);
    if (m_fields.fStayOnTop) setWindowFlag(Qt::WindowStaysOnTopHint, true);
    if (!provideSamplesFolder(m_folders.installation, m_folders.samples))
        TranslatedMessageDlg(
            Translate("Unable to create directory for Samples:") + "\r\n" + m_folders.samples,
            TMsgDlgType::mtError, mbOK);
    askSaveFileName = [this](const QString& proposed) {
        return QFileDialog::getSaveFileName(
            this, Translate("Save As"), proposed, "Vistrelune (*.vstl)");
    };
    UpdateButtonStatus();
    UpdateStatusCaption(false);
    UpdateStartScreen();
}

QAction* TRovazEvaderurMainForm::action(const QString& name) const {
    const auto it = m_actions.find(name);
    return it == m_actions.end() ? nullptr : it->second;
}

void TRovazEvaderurMainForm::buildMenu() {
    QMenu* top = nullptr;
    QMenu* sub = nullptr;
    const auto& rows = menuTable();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const MenuEntry& e = rows[i];
        if (e.depth == 0) {
            top = menuBar()->addMenu(e.caption);
            top->setObjectName("mnu" + e.category);
            m_topMenus.push_back(top);
            continue;
        }
        QMenu* into = e.depth == 1 ? top : sub;
        if (e.isSeparator()) {
            into->addSeparator();
            continue;
        }
        const bool hasSub = isRuntimeSubmenu(e.action)
            || (i + 1 < rows.size() && rows[i + 1].depth == 2 && e.depth == 1);
        QAction* a = nullptr;
        if (hasSub) {
            sub = into->addMenu(e.caption);
            a = sub->menuAction();
        } else {
            a = new QAction(e.caption, this);
            into->addAction(a);
        }
        a->setObjectName(e.action);
        a->setProperty("category", e.category);
        a->setProperty("Tag", 0);
        if (!e.shortcut.isEmpty()) a->setShortcut(QKeySequence(e.shortcut));
        m_actions[e.action] = a;
    }
    mnuLanguage = action("ActionLanguage0")->menu();
    mnuUnits = action("ActionRulersUnits0")->menu();
    action("ActionAlwaysOnTop")->setCheckable(true);
    action("ActionRulers")->setCheckable(true);
    m_zoomFilterGroup = new QActionGroup(this);
    int filter = 0;
    for (QAction* a : action("ActionZoomFilter")->menu()->actions()) {
        a->setCheckable(true);
        a->setProperty("Tag", filter++);
        m_zoomFilterGroup->addAction(a);
    }
    static const int kZoomTags[] = { 10, 25, 50, 75, 100, 200, 500 };
    for (int tag : kZoomTags)
        action(QString("ActionView_%1").arg(tag))->setProperty("Tag", tag);
}

void TRovazEvaderurMainForm::buildPanels() {
    panBackground = new QWidget(this);
    panBackground->setObjectName("panBackground");
    auto* layout = new QVBoxLayout(panBackground);
    layout->setContentsMargins(0, 0, 0, 0);
    pgcEditor = new project::TEditorPageControl(panBackground);
    layout->addWidget(pgcEditor);
    btnTabsList = new QToolButton(pgcEditor);
    btnTabsList->setObjectName("btnTabsList");
    btnTabsList->setText(QString::fromUtf8("\u25BE"));
    btnTabsList->setAutoRaise(true);
    pgcEditor->setCornerWidget(btnTabsList, Qt::TopRightCorner);
    m_tabs = new project::TEditorTabs(pgcEditor, *this);

    panStartScreen = new QWidget(panBackground);
    panStartScreen->setObjectName("panStartScreen");
    auto* start = new QVBoxLayout(panStartScreen);
    lblGettingStarted = new QLabel(panStartScreen);
    lblGettingStarted->setObjectName("lblGettingStarted");
    auto* buttons = new QHBoxLayout();
    btnStartOpen = new QPushButton(panStartScreen);
    btnStartOpen->setObjectName("btnStartOpen");
    btnStartCreate = new QPushButton(panStartScreen);
    btnStartCreate->setObjectName("btnStartCreate");
    buttons->addWidget(btnStartOpen);
    buttons->addWidget(btnStartCreate);
    lblDragAndDrop = new QLabel(panStartScreen);
    lblDragAndDrop->setObjectName("lblDragAndDrop");
    start->addWidget(lblGettingStarted);
    start->addLayout(buttons);
    start->addWidget(lblDragAndDrop);
    setCentralWidget(panBackground);

    lblColorDepth = new QLabel(this);
    lblSize = new QLabel(this);
    lblZoom = new QLabel(this);
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName("ProgressBar1");
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setMaximumWidth(200);
    ProgressBar1->setValue(0);
    btnAbort = new QPushButton(this);
    btnAbort->setObjectName("btnAbort");
    btnAbort->hide();
    statusBar()->addWidget(lblColorDepth);
    statusBar()->addWidget(lblSize);
    statusBar()->addWidget(lblZoom);
    statusBar()->addPermanentWidget(btnAbort);
    statusBar()->addPermanentWidget(ProgressBar1);
}

void TRovazEvaderurMainForm::connectActions() {
    const auto on = [this](const char* name, auto&& slot) {
        connect(action(name), &QAction::triggered, this, slot);
    };
    on("ActionNew", [this] {
        std::optional<project::NewImageRequest> r = askNewImage
            ? askNewImage()
            : std::optional(project::NewImageRequest { Translate("Untitled"), 1920, 1080 });
        if (r) m_tabs->ActionNewExecute(*r);
    });
    on("ActionOpen", [this] {
        const QStringList files = QFileDialog::getOpenFileNames(
            this, Translate("Open"), m_fields.fOpenFile_RecentFolder);
        if (!files.isEmpty()) WMDropFiles(files);
    });
    on("ActionSave", [this] { ActionSaveExecute(); });
    on("ActionImageDuplicate", [this] { m_tabs->ActionImageDuplicateExecute(); });
    on("ActionClose", [this] { m_tabs->ActionCloseExecute(); });
    on("ActionCloseAll", [this] { m_tabs->ActionCloseAllExecute(); });
    on("ActionExit", [this] { close(); });
    on("ActionAlwaysOnTop", [this] { ActionAlwaysOnTopExecute(); });
    on("ActionRulers", [this] { ActionRulersExecute(); });
    on("ActionAddLanguage", [this] { AddLanguageClick(); });
    on("ActionHelpUsTranslate", [this] { AddLanguageClick(); });
    on("ActionZoomToFit", [this] {
        if (project::VariantView* v = m_tabs->ActiveImageEnView()) v->imageView()->fit();
        UpdateStatusCaption(true);
    });
    for (int tag : { 10, 25, 50, 75, 100, 200, 500 })
        on(QString("ActionView_%1").arg(tag).toLatin1().constData(), [this, tag] {
            if (project::VariantView* v = m_tabs->ActiveImageEnView()) {
                if (tag < 2)
                    v->imageView()->fit();
                else
                    v->imageView()->setZoom(tag);
            }
            UpdateStatusCaption(true);
        });
    for (QAction* a : m_zoomFilterGroup->actions())
        connect(a, &QAction::triggered, this,
            [this, a] { ZoomFilterClick(a->property("Tag").toInt()); });
    connect(btnAbort, &QPushButton::clicked, this, [this] { NeedAbort = true; });
    connect(btnTabsList, &QToolButton::clicked, this,
        [this] { m_tabs->btnTabsListClick(btnTabsList); });
    connect(btnStartOpen, &QPushButton::clicked, action("ActionOpen"), &QAction::trigger);
    connect(btnStartCreate, &QPushButton::clicked, action("ActionNew"), &QAction::trigger);
}

void TRovazEvaderurMainForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (m_shown) return;
    m_shown = true;
    // After the window is on screen, so the first paint is not held up by a long load.
    QTimer::singleShot(0, this, [this] { FormShow(); });
}

void TRovazEvaderurMainForm::FormShow() {
    UpdateButtonStatus();
    if (m_commandLineFile.isEmpty() || CommandLineHandled) {
        UpdateStatusCaption(false);
        UpdateStartScreen();
    } else {
        CommandLineHandled = true;
        loadAllPages(m_commandLineFile);
    }
}

void TRovazEvaderurMainForm::FormDestroy() {
    setAcceptDrops(false);
    m_recent.clear();
}

void TRovazEvaderurMainForm::addRecentFile(const QString& path) {
    m_recent.add(path);
}

void TRovazEvaderurMainForm::tabsChanged() {
    UpdateButtonStatus();
    UpdateStatusCaption(false);
    UpdateStartScreen();
}

void TRovazEvaderurMainForm::setProgress(int maximum, int position) {
    ProgressBar1->setMaximum(std::max(1, maximum));
    ProgressBar1->setValue(position);
    ProgressBar1->repaint();
}

} // namespace vst::app
