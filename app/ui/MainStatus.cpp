// The main window's refresh routines (enabled commands, captions, start screen) and its view
// options (always on top, rulers, zoom filter, units).
#include "app/ui/Main.h"

#include "app/SettingsStore.h"
#include "app/Translation.h"
#include "document/Document.h"
#include "imaging/PixelFormat.h"
#include "layers/ImageLayer.h"
#include "project/ui/ClosePageControl.h"
#include "project/ui/VariantView.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QSettings>
#include <QToolButton>
#include <cmath>

namespace vst::app {

namespace {

// Commands of these categories need an open image, except the few that don't touch one.
bool needsActiveView(const QAction* a) {
    static const QStringList kCategories { "Image", "View", "Layers", "Colors", "Filters", "AI" };
    static const QStringList kAlways { "ActionAlwaysOnTop", "ActionLanguage0", "ActionAI_APIKey",
        "ActionAddLanguage" };
    return kCategories.contains(a->property("category").toString())
        && !kAlways.contains(a->objectName());
}

const QStringList& fileCommandsNeedingView() {
    static const QStringList names { "ActionClose", "ActionCloseAll", "ActionSave", "ActionSaveAs",
        "ActionOpenAndPlace", "ActionPrinterSetup", "ActionPrinterPreview", "ActionGraphicLibrary",
        "ActionSaveAllToFolder", "ActionExportAllToFolder", "ActionExportAs",
        "ActionClearHistory" };
    return names;
}

// Puts each value into the next "%s" of a translated format.
QString formatted(QString format, const QStringList& values) {
    for (const QString& v : values) {
        const qsizetype at = format.indexOf("%s");
        if (at < 0) break;
        format.replace(at, 2, v);
    }
    return format;
}

QString colorDepthText(ie::PixelFormat f) {
    const int bits = ie::bitsPerPixel(f);
    if (bits == 1) return Translate("Black and White");
    if (f == ie::PixelFormat::Palette8) return Translate("256 Colors");
    return QString("%1 bit").arg(bits);
}

} // namespace

void TRovazEvaderurMainForm::UpdateButtonStatus() {
    project::VariantView* view = m_tabs->ActiveImageEnView();
    const bool a = view != nullptr;
    for (const auto& [name, act] : m_actions)
        if (needsActiveView(act)) act->setEnabled(a);
    for (const QString& name : fileCommandsNeedingView())
        if (QAction* act = action(name)) act->setEnabled(a);
    QAction* undo = action("ActionUndo");
    QAction* redo = action("ActionRedo");
    const ie::UndoStack* stack = a ? &view->document().undoStack() : nullptr;
    const bool canUndo = stack && stack->undoCount() > 0;
    const bool canRedo = stack && stack->redoCount() > 0;
    undo->setText(canUndo ? Translate("Undo") + " " + stack->undoCaption(stack->undoCount() - 1)
                          : Translate("Undo last change"));
    redo->setText(canRedo ? Translate("Redo") + " " + stack->redoCaption(0) : Translate("Redo"));
    undo->setEnabled(canUndo);
    redo->setEnabled(canRedo);
    action("ActionLayerDuplicateInto")->setEnabled(a && m_tabs->tabCount() > 1);
    btnTabsList->setVisible(m_tabs->tabCount() > 0);
}

void TRovazEvaderurMainForm::UpdateStatusCaption(bool UpdateOnlyZoom) {
    project::VariantView* view = m_tabs->ActiveImageEnView();
    if (view && !UpdateOnlyZoom) {
        const ie::LayerStack& layers = view->document().layers();
        QString depth = "-", w = "-", h = "-";
        if (!layers.isEmpty()) {
            const auto* image = dynamic_cast<const ie::ImageLayer*>(&layers.background());
            if (image) depth = colorDepthText(image->bitmap.pixelFormat());
            w = QString::number(layers.canvasWidth());
            h = QString::number(layers.canvasHeight());
        }
        lblColorDepth->setText(" " + Translate("Color Depth: %s").replace("%s", depth));
        lblSize->setText(" " + formatted(Translate("Size: %s x %s"), { w, h }));
    } else if (!view) {
        lblColorDepth->setText(" " + Translate("Color Depth: %s").replace("%s", "0"));
        lblSize->setText(" " + formatted(Translate("Size: %s x %s"), { "0", "0" }));
        lblZoom->clear();
        strCaptionAdd.clear();
    }
    if (view) {
        lblZoom->setText(QString::number(std::nearbyint(view->imageView()->zoom())) + "%");
        strCaptionAdd = pgcEditor->tabText(pgcEditor->currentIndex()) + " - ";
    }
    const QString name = view
        ? QFileInfo(view->TheFileName.isEmpty() ? view->proposedFileName : view->TheFileName)
              .completeBaseName()
        : QString();
    const QString caption = (name.isEmpty() ? QString() : name + " - ") + "Vistrelune";
    setWindowTitle(caption);
    QApplication::setApplicationDisplayName(caption);
}

void TRovazEvaderurMainForm::UpdateStartScreen() {
    const bool open = m_tabs->ActiveImageEnView() != nullptr;
    panStartScreen->setVisible(!open);
    pgcEditor->setVisible(m_tabs->tabCount() > 0);
    if (!open) {
        panStartScreen->adjustSize();
        const QSize s = panStartScreen->size();
        panStartScreen->move((panBackground->width() - s.width()) / 2, panBackground->height() / 4);
        panStartScreen->raise();
    }
}

void TRovazEvaderurMainForm::applyWindowPlacement() {
    const TWindowPlacement& w = m_fields.window;
    if (!w.stored) {
        // The designed size, centred on the screen.
        if (QScreen* screen = QGuiApplication::primaryScreen())
            move(screen->availableGeometry().center() - rect().center());
        return;
    }
    if (w.stored && w.height > 0) {
        const QRect wanted(w.left, w.top, w.width, w.height);
        // Bounds from a screen that is gone would put the window out of reach.
        bool onScreen = false;
        for (QScreen* screen : QGuiApplication::screens())
            onScreen = onScreen || screen->availableGeometry().intersects(wanted);
        if (onScreen) setGeometry(wanted);
    }
    if (w.maximized) setWindowState(windowState() | Qt::WindowMaximized);
}

void TRovazEvaderurMainForm::ActionAlwaysOnTopExecute() {
    m_fields.fStayOnTop = !m_fields.fStayOnTop;
    action("ActionAlwaysOnTop")->setChecked(m_fields.fStayOnTop);
    const bool visible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, m_fields.fStayOnTop);
    if (visible) show();
    saveSettings();
}

void TRovazEvaderurMainForm::ActionRulersExecute() {
    m_fields.fCurrentShowRulers = action("ActionRulers")->isChecked();
    if (project::VariantView* v = m_tabs->ActiveImageEnView())
        v->imageView()->setShowRulers(m_fields.fCurrentShowRulers);
}

void TRovazEvaderurMainForm::ZoomFilterClick(int filter) {
    m_fields.fZoomFilter = filter;
    if (project::VariantView* v = m_tabs->ActiveImageEnView())
        v->imageView()->setZoomFilter(filter);
}

void TRovazEvaderurMainForm::UpdateUnits() {
    mnuUnits->clear();
    auto* group = new QActionGroup(mnuUnits);
    const char* const kUnits[] = { "Pixels", "Inches", "Centimeters", "Millimeters" };
    for (int unit = 0; unit < 4; ++unit) {
        auto* item = new QAction(Translate(kUnits[unit]), group);
        item->setProperty("category", "Units");
        item->setProperty("Tag", unit);
        item->setCheckable(true);
        item->setChecked(unit == m_fields.fCurrentShowRulersUnits);
        connect(item, &QAction::triggered, this, [this, unit] {
            m_fields.fCurrentShowRulersUnits = unit;
            if (project::VariantView* v = m_tabs->ActiveImageEnView())
                v->imageView()->setRulerUnits(unit);
        });
        mnuUnits->addAction(item);
    }
}

} // namespace vst::app
