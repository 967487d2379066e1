#include "project/ui/ClosePageControl.h"

#include "project/ui/CloseTabSheet.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

namespace vst::project {

namespace {

constexpr int kTabWidth = 250;
constexpr int kGlyph = 14;
const QColor kActiveFill(54, 54, 54); // 3552822
const QColor kInactiveFill(32, 34, 36); // 2368032
const QColor kInactiveText(170, 170, 170); // 11184810

} // namespace

TClosePageControlHandler::TClosePageControlHandler(QWidget* parent)
    : QTabBar(parent) {
    setMouseTracking(true);
    setExpanding(false);
    setElideMode(Qt::ElideRight);
    setUsesScrollButtons(true);
    setDrawBase(false);
}

QSize TClosePageControlHandler::tabSizeHint(int index) const {
    return { kTabWidth, std::max(28, QTabBar::tabSizeHint(index).height()) };
}

QRect TClosePageControlHandler::closeButtonRect(int index) const {
    const QRect r = tabRect(index);
    QRect glyph(r.right() + 1 - 22, r.top() + (r.height() - kGlyph) / 2, kGlyph, kGlyph);
    if (index != currentIndex()) glyph.translate(2, 4);
    return glyph;
}

TCloseTabSheet* TClosePageControlHandler::sheetAt(int index) const {
    auto* pages = qobject_cast<QTabWidget*>(parentWidget());
    return pages ? dynamic_cast<TCloseTabSheet*>(pages->widget(index)) : nullptr;
}

int TClosePageControlHandler::sheetIndex(const TCloseTabSheet* sheet) const {
    auto* pages = qobject_cast<QTabWidget*>(parentWidget());
    return pages && sheet ? pages->indexOf(const_cast<TCloseTabSheet*>(sheet)) : -1;
}

void TClosePageControlHandler::paintEvent(QPaintEvent*) {
    QPainter p(this);
    for (int i = 0; i < count(); ++i)
        drawTab(p, i);
}

void TClosePageControlHandler::drawTab(QPainter& p, int index) {
    const QRect r = tabRect(index);
    const bool active = index == currentIndex();
    p.fillRect(r, active ? kActiveFill : kInactiveFill);
    const QRect glyph = closeButtonRect(index);
    // The modified mark stays visible however much of the name is cut.
    QString caption = tabText(index);
    const bool starred = caption.endsWith('*');
    if (starred) caption = caption.chopped(1).trimmed();
    const int left = r.left() + 16;
    const int width = std::max(0, glyph.left() - left - 4);
    QString shown = fontMetrics().elidedText(caption, Qt::ElideRight,
        std::max(0, width - (starred ? fontMetrics().horizontalAdvance(" *") : 0)));
    if (starred) shown += " *";
    p.setPen(active ? Qt::white : kInactiveText);
    p.drawText(QRect(left, r.top() + (active ? 0 : 1), width, r.height()), Qt::AlignCenter, shown);
    if (TCloseTabSheet* sheet = sheetAt(index)) sheet->fCloseButtonRect = glyph;
    drawGlyph(p, glyph, fCloseButtonPushed && fMouseDownTab == sheetAt(index));
}

void TClosePageControlHandler::drawGlyph(QPainter& p, const QRect& r, bool pushed) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    if (pushed) p.fillRect(r, QColor(91, 95, 97));
    p.setPen(QPen(QColor(220, 220, 220), 1.6));
    const QRectF x = QRectF(r).adjusted(3.5, 3.5, -3.5, -3.5);
    p.drawLine(x.topLeft(), x.bottomRight());
    p.drawLine(x.topRight(), x.bottomLeft());
    p.restore();
}

void TClosePageControlHandler::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        const int index = tabAt(event->pos());
        if (index >= 0 && closeButtonRect(index).contains(event->pos())) {
            fMouseDownTab = sheetAt(index);
            fCloseButtonPushed = true;
            update();
            return;
        }
    }
    QTabBar::mousePressEvent(event);
}

void TClosePageControlHandler::mouseMoveEvent(QMouseEvent* event) {
    if (fMouseDownTab && (event->buttons() & Qt::LeftButton)) {
        const int index = sheetIndex(fMouseDownTab);
        const bool on = index >= 0 && closeButtonRect(index).contains(event->pos());
        if (on != fCloseButtonPushed) {
            fCloseButtonPushed = on;
            update();
        }
        return;
    }
    QTabBar::mouseMoveEvent(event);
}

void TClosePageControlHandler::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && fMouseDownTab) {
        QPointer<TCloseTabSheet> pressed = fMouseDownTab;
        const int index = sheetIndex(pressed);
        const bool onGlyph = index >= 0 && closeButtonRect(index).contains(event->pos());
        fMouseDownTab = nullptr;
        fCloseButtonPushed = false;
        if (onGlyph && pressed) pressed->Close();
        update();
        return;
    }
    QTabBar::mouseReleaseEvent(event);
}

void TClosePageControlHandler::leaveEvent(QEvent* event) {
    fCloseButtonPushed = false;
    update();
    QTabBar::leaveEvent(event);
}

TEditorPageControl::TEditorPageControl(QWidget* parent)
    : QTabWidget(parent)
    , m_handler(new TClosePageControlHandler(this)) {
    setTabBar(m_handler);
    setDocumentMode(true);
    setObjectName("pgcEditor");
}

TCloseTabSheet* TEditorPageControl::sheet(int index) const {
    return dynamic_cast<TCloseTabSheet*>(widget(index));
}

} // namespace vst::project
