// The drop-down list of every editor tab, shown below the tab list button.
#pragma once

#include <QWidget>

class QListWidget;
class QTabWidget;
class QToolButton;

namespace vst::project {

/// A pop-up list of the tab captions; a click selects a tab and closes the list.
class TfrmTabsList : public QWidget {
public:
    explicit TfrmTabsList(QWidget* parent = nullptr);
    /// Fills the list from `pages`, sizes it to the widest caption (not taller than `pages`)
    /// and shows it with its right edge at `button`'s right edge, just below it.
    void showFor(QTabWidget* pages, QToolButton* button);
    QListWidget* list() const { return m_list; }

private:
    QListWidget* m_list;
    QTabWidget* m_pages = nullptr;
};

} // namespace vst::project
