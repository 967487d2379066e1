#include "app/ui/Style.h"

#include <QApplication>
#include <QPalette>
#include <QStyleFactory>

namespace vst::app {

namespace {

// The program's colours, given as red, green, blue.
const QColor kWindow(32, 34, 36); // the view's outer background and inactive tabs
const QColor kPanel(54, 54, 54); // the active tab and panels
const QColor kHighlight(91, 95, 97); // selected list items
const QColor kText(235, 235, 235);
const QColor kDimText(170, 170, 170);

QPalette darkPalette() {
    QPalette p;
    p.setColor(QPalette::Window, kPanel);
    p.setColor(QPalette::WindowText, kText);
    p.setColor(QPalette::Base, kWindow);
    p.setColor(QPalette::AlternateBase, kPanel);
    p.setColor(QPalette::ToolTipBase, kPanel);
    p.setColor(QPalette::ToolTipText, kText);
    p.setColor(QPalette::Text, kText);
    p.setColor(QPalette::Button, kPanel);
    p.setColor(QPalette::ButtonText, kText);
    p.setColor(QPalette::BrightText, Qt::white);
    p.setColor(QPalette::Highlight, kHighlight);
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::Link, QColor(120, 170, 230));
    p.setColor(QPalette::PlaceholderText, kDimText);
    for (auto role : { QPalette::WindowText, QPalette::Text, QPalette::ButtonText })
        p.setColor(QPalette::Disabled, role, QColor(110, 110, 110));
    return p;
}

const char* kStyleSheet = R"(
QMainWindow, QDialog { background: rgb(54, 54, 54); }
QMenuBar { background: rgb(32, 34, 36); color: rgb(235, 235, 235); }
QMenuBar::item:selected, QMenu::item:selected { background: rgb(91, 95, 97); }
QMenu { background: rgb(40, 42, 44); border: 1px solid rgb(70, 70, 70); }
QTabWidget::pane { border: 0; }
QToolTip { color: rgb(235, 235, 235); background: rgb(54, 54, 54); border: 1px solid rgb(91, 95, 97); }
QListView::item:selected, QListWidget::item:selected { background: rgb(91, 95, 97); }
)";

} // namespace

void applyPhotoEditorStyle(QApplication& app) {
    // A missing Fusion style leaves the platform look, as a missing style should.
    if (QStyle* fusion = QStyleFactory::create("Fusion")) app.setStyle(fusion);
    app.setPalette(darkPalette());
    app.setStyleSheet(kStyleSheet);
}

} // namespace vst::app
