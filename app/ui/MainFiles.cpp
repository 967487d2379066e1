// The main window's share of files from outside: the command line, hand-overs from a second
// start and drops, each opening every page of a file into its own tab.
#include "app/ui/Main.h"

#include "io/ImageIO.h"
#include "project/ui/TabContent.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>

namespace vst::app {

namespace {

int pageCountOf(const QString& path) {
    // Projects hold their variants, not pages; any failure of the query counts as one page.
    if (project::isProjectFileName(path)) return 1;
    try {
        return std::max(1, ie::io::imagePageCount(path.toStdString()));
    } catch (const std::exception&) {
        return 1;
    }
}

} // namespace

void TRovazEvaderurMainForm::processMessagesBetweenPages() {
    btnAbort->repaint();
    if (onPageOpened) onPageOpened();
    QApplication::processEvents();
}

void TRovazEvaderurMainForm::loadAllPages(const QString& path) {
    NeedAbort = false;
    btnAbort->show();
    const int count = pageCountOf(path);
    for (int index = 0; index < count; ++index) {
        m_tabs->CreateEditorTab(path, index, false, 0, 0, 0, Qt::white, 0);
        processMessagesBetweenPages();
        if (NeedAbort) {
            NeedAbort = false;
            break;
        }
    }
    btnAbort->hide();
}

void TRovazEvaderurMainForm::bringToFront() {
    if (isMinimized()) showNormal();
    raise();
    activateWindow();
}

void TRovazEvaderurMainForm::WMCopyData(const QString& path) {
    bringToFront();
    CommandLineHandled = true;
    loadAllPages(path);
}

void TRovazEvaderurMainForm::WMRestoreInstance(std::uint64_t wParam, std::uint64_t lParam) {
    if (wParam == kRestoreWParam && lParam == kRestoreLParam) bringToFront();
}

void TRovazEvaderurMainForm::handleInstanceMessage(const InstanceMessage& message) {
    if (message.message == kCopyDataMessage) {
        // A record naming no existing file is ignored, as a malformed one is.
        if (QFileInfo(message.path).isFile()) WMCopyData(message.path);
    } else if (message.message == kRestoreInstanceMessage) {
        WMRestoreInstance(message.wParam, message.lParam);
    }
}

bool TRovazEvaderurMainForm::loadDroppedFile(const QString& path) {
    const int count = pageCountOf(path);
    for (int page = 0; page < count; ++page) {
        m_tabs->CreateEditorTab(path, page, false, 0, 0, 0, Qt::white, 0);
        processMessagesBetweenPages();
        if (NeedAbort) return false;
    }
    return true;
}

void TRovazEvaderurMainForm::WMDropFiles(const QStringList& files) {
    btnAbort->show();
    NeedAbort = false;
    for (const QString& file : files) {
        const bool finished = loadDroppedFile(QFileInfo(file).absoluteFilePath());
        repaint();
        QApplication::processEvents();
        if (!finished || NeedAbort) {
            NeedAbort = false;
            break;
        }
    }
    btnAbort->hide();
}

void TRovazEvaderurMainForm::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TRovazEvaderurMainForm::dropEvent(QDropEvent* event) {
    QStringList files;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile()) files.append(url.toLocalFile());
    event->acceptProposedAction();
    if (!files.isEmpty()) WMDropFiles(files);
}

} // namespace vst::app
