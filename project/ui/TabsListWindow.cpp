#include "project/ui/TabsListWindow.h"

#include <QListWidget>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace vst::project {

TfrmTabsList::TfrmTabsList(QWidget* parent)
    : QWidget(parent, Qt::Popup)
    , m_list(new QListWidget(this)) {
    setObjectName("frmTabsList");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(m_list);
    connect(m_list, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        const int row = m_list->row(item);
        if (m_pages && row != m_pages->currentIndex()) m_pages->setCurrentIndex(row);
        close();
    });
}

void TfrmTabsList::showFor(QTabWidget* pages, QToolButton* button) {
    m_pages = pages;
    m_list->clear();
    int widest = 0;
    const QFontMetrics fm = m_list->fontMetrics();
    for (int i = 0; i < pages->count(); ++i) {
        m_list->addItem(pages->tabText(i));
        widest = std::max(widest, fm.horizontalAdvance(pages->tabText(i) + "  "));
    }
    m_list->setCurrentRow(pages->currentIndex());
    const int margins = 2 * 2 + 2 * m_list->frameWidth() + 8;
    const int itemHeight = std::max(m_list->sizeHintForRow(0), fm.height());
    const int height = std::min(pages->count() * (itemHeight + 2) + margins, pages->height());
    resize(widest + margins, std::max(height, itemHeight + margins));
    const QPoint below = button->mapToGlobal(QPoint(button->width(), button->height()));
    move(below.x() - width(), below.y());
    show();
}

} // namespace vst::project
