#include "ImageView.h"

#include "Ruler.h"
#include "SelectionOutline.h"
#include "document/Document.h"
#include "imaging/Resample.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace ie {

namespace {
constexpr int kFilterDelayMs = 250;
constexpr int kAntsIntervalMs = 120;
constexpr double kWheelStep = 1.2; // zoom factor of one wheel notch
} // namespace

ImageView::ImageView(QWidget* parent)
    : QAbstractScrollArea(parent) {
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    m_hRuler = new Ruler(Qt::Horizontal, this);
    m_vRuler = new Ruler(Qt::Vertical, this);
    m_hRuler->hide();
    m_vRuler->hide();
    m_filterTimer.setSingleShot(true);
    m_filterTimer.setInterval(kFilterDelayMs);
    connect(&m_filterTimer, &QTimer::timeout, this, &ImageView::refineFrame);
    m_antsTimer.setInterval(kAntsIntervalMs);
    connect(&m_antsTimer, &QTimer::timeout, this, &ImageView::advanceAnts);
}

ImageView::~ImageView() {
    if (m_interaction) m_interaction->deactivate(*this);
}

void ImageView::setDocument(Document* document) {
    m_document = document;
    m_renderer.reset();
    m_renderer.levels().clear();
    // Show the document at once; its reduced levels are built when the loop is next idle.
    m_renderer.deferNewLevelsOnce();
    m_outline.reset();
    update();
}

void ImageView::buildPendingLevels() {
    if (m_document && m_renderer.levels().hasPending())
        m_renderer.levels().sync(m_document->layers());
}

QSize ImageView::canvasSize() const {
    if (!m_document || m_document->layers().isEmpty()) return {};
    return { m_document->layers().canvasWidth(), m_document->layers().canvasHeight() };
}

QSize ImageView::zoomedSize() const {
    const QSize c = canvasSize();
    return { int(std::lround(c.width() * scale())), int(std::lround(c.height() * scale())) };
}

QPoint ImageView::imageOffset() const {
    const QSize z = zoomedSize(), v = viewport()->size();
    const int x
        = z.width() < v.width() ? (v.width() - z.width()) / 2 : -horizontalScrollBar()->value();
    const int y
        = z.height() < v.height() ? (v.height() - z.height()) / 2 : -verticalScrollBar()->value();
    return { x, y };
}

QPointF ImageView::toViewport(QPointF canvas) const {
    return QPointF(imageOffset()) + canvas * scale();
}

QPointF ImageView::toCanvas(QPointF viewport) const {
    return (viewport - QPointF(imageOffset())) / scale();
}

QRectF ImageView::canvasRectInViewport() const {
    return QRectF(QPointF(imageOffset()), QSizeF(zoomedSize()));
}

QRect ImageView::visibleZoomedRect() const {
    return QRect(-imageOffset(), viewport()->size()).intersected(QRect(QPoint(), zoomedSize()));
}

QPoint ImageView::scrollPosition() const {
    return { horizontalScrollBar()->value(), verticalScrollBar()->value() };
}

void ImageView::scrollBy(int dx, int dy) {
    horizontalScrollBar()->setValue(horizontalScrollBar()->value() + dx);
    verticalScrollBar()->setValue(verticalScrollBar()->value() + dy);
}

void ImageView::updateScrollBars() {
    m_updatingBars = true;
    const QSize z = zoomedSize(), v = viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, z.width() - v.width()));
    verticalScrollBar()->setRange(0, std::max(0, z.height() - v.height()));
    horizontalScrollBar()->setPageStep(std::max(1, v.width()));
    verticalScrollBar()->setPageStep(std::max(1, v.height()));
    horizontalScrollBar()->setSingleStep(20);
    verticalScrollBar()->setSingleStep(20);
    m_updatingBars = false;
    placeRulers();
}

void ImageView::placeRulers() {
    const int r = m_showRulers ? kRulerSize : 0;
    setViewportMargins(r, r, 0, 0);
    m_hRuler->setVisible(m_showRulers);
    m_vRuler->setVisible(m_showRulers);
    if (!m_showRulers) return;
    const QRect vp = viewport()->geometry();
    m_hRuler->setGeometry(vp.left(), vp.top() - r, vp.width(), r);
    m_vRuler->setGeometry(vp.left() - r, vp.top(), r, vp.height());
    const QPoint o = imageOffset();
    const double dpiX = m_document ? m_document->dpiX : 72;
    const double dpiY = m_document ? m_document->dpiY : 72;
    m_hRuler->setMapping(o.x(), scale());
    m_vRuler->setMapping(o.y(), scale());
    m_hRuler->setUnit(m_rulerUnits, dpiX);
    m_vRuler->setUnit(m_rulerUnits, dpiY);
}

double ImageView::fitZoom() const {
    const QSize c = canvasSize();
    if (c.isEmpty()) return 100;
    const QSize v = viewport()->size();
    const double z = std::min(double(v.width()) / c.width(), double(v.height()) / c.height());
    return std::clamp(z * 100, kMinZoom, kMaxZoom);
}

void ImageView::fit() {
    setZoom(fitZoom());
}

void ImageView::setZoom(double percent) {
    setZoomAt(percent, QPointF(viewport()->width() / 2.0, viewport()->height() / 2.0));
}

void ImageView::setZoomAt(double percent, QPointF anchor) {
    if (!std::isfinite(percent)) return;
    percent = std::clamp(percent, kMinZoom, kMaxZoom);
    const QPointF c = toCanvas(anchor);
    const double before = m_zoom;
    m_zoom = percent;
    updateScrollBars();
    // Keep canvas point c under the anchor (as far as the scroll range allows).
    const QPointF want = c * scale() - anchor;
    horizontalScrollBar()->setValue(int(std::lround(want.x())));
    verticalScrollBar()->setValue(int(std::lround(want.y())));
    placeRulers();
    viewport()->update();
    if (percent > before) emit zoomIn(percent);
    if (percent < before) emit zoomOut(percent);
    if (percent != before) emit viewChanged();
}

void ImageView::setZoomFilter(int filter) {
    m_zoomFilter = std::clamp(filter, 0, kResampleFilterCount - 1);
    m_renderer.reset();
    viewport()->update();
}

void ImageView::setBackgroundColor(QColor color) {
    m_background = color;
    viewport()->update();
}

void ImageView::setShowRulers(bool show) {
    m_showRulers = show;
    updateScrollBars();
    viewport()->update();
}

void ImageView::setRulerUnits(int units) {
    m_rulerUnits = std::clamp(units, 0, 3);
    placeRulers();
}

void ImageView::setMagicWandTolerance(int tolerance) {
    m_wandTolerance = std::clamp(tolerance, 0, 100);
}

void ImageView::setInteraction(std::unique_ptr<Interaction> interaction) {
    if (m_interaction) m_interaction->deactivate(*this);
    m_interaction = std::move(interaction);
    if (m_interaction) m_interaction->activate(*this);
    updateCursor(viewport()->mapFromGlobal(QCursor::pos()));
    viewport()->update();
    emit mouseInteraction();
}

void ImageView::contentChanged() {
    ++m_version;
    m_outline.reset();
    updateScrollBars();
    viewport()->update();
}

void ImageView::update() {
    if (m_document) m_document->syncSelectionToCanvas();
    contentChanged();
    emit imageChanged();
}

void ImageView::updateOverlays() {
    contentChanged();
}

void ImageView::renderNow() {
    if (!m_document) return;
    m_renderer.render(m_document->layers(), scale(), visibleZoomedRect(), m_version);
    scheduleLevels();
}

void ImageView::scheduleLevels() {
    if (m_renderer.levels().hasPending())
        QTimer::singleShot(0, this, &ImageView::buildPendingLevels);
}

void ImageView::refineFrame() {
    if (!m_document || m_zoomFilter <= 0) return;
    if (m_renderer.refine(m_document->layers(), m_zoomFilter)) viewport()->update();
}

void ImageView::advanceAnts() {
    if (!m_document || m_document->selection().isEmpty()) {
        m_antsTimer.stop();
        return;
    }
    m_antsPhase = (m_antsPhase + 1) % 8;
    viewport()->update();
}

void ImageView::paintBackground(QPainter& p, const QRect& frame) {
    const QRect all = viewport()->rect();
    if (frame.isEmpty()) {
        p.fillRect(all, m_background);
        return;
    }
    p.fillRect(QRect(all.left(), all.top(), all.width(), frame.top() - all.top()), m_background);
    p.fillRect(QRect(all.left(), frame.bottom() + 1, all.width(), all.bottom() - frame.bottom()),
        m_background);
    p.fillRect(
        QRect(all.left(), frame.top(), frame.left() - all.left(), frame.height()), m_background);
    p.fillRect(QRect(frame.right() + 1, frame.top(), all.right() - frame.right(), frame.height()),
        m_background);
}

void ImageView::paintSelection(QPainter& p) {
    if (!m_document || m_document->selection().isEmpty()) {
        m_antsTimer.stop();
        return;
    }
    if (!m_outline)
        m_outline = std::make_unique<QPainterPath>(selectionOutline(m_document->selection()));
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    QTransform t;
    t.translate(imageOffset().x(), imageOffset().y());
    t.scale(scale(), scale());
    const QPainterPath path = t.map(*m_outline);
    p.setPen(QPen(Qt::white, 1));
    p.drawPath(path);
    QPen dash(Qt::black, 1, Qt::CustomDashLine);
    dash.setDashPattern({ 4, 4 });
    dash.setDashOffset(m_antsPhase);
    p.setPen(dash);
    p.drawPath(path);
    p.restore();
    if (!m_antsTimer.isActive()) m_antsTimer.start();
}

void ImageView::paintEvent(QPaintEvent*) {
    QPainter p(viewport());
    const QRect visible = m_document ? visibleZoomedRect() : QRect();
    QRect frameInViewport;
    if (!visible.isEmpty()) {
        m_renderer.render(m_document->layers(), scale(), visible, m_version);
        scheduleLevels();
        frameInViewport = m_renderer.frameRect().translated(imageOffset());
    }
    paintBackground(p, frameInViewport);
    if (!frameInViewport.isEmpty()) {
        p.drawImage(frameInViewport.topLeft(), m_renderer.frame());
        if (m_zoomFilter > 0 && !m_renderer.isRefined() && scale() != 1) m_filterTimer.start();
    }
    paintSelection(p);
    if (m_interaction) m_interaction->paintOverlay(*this, p);
}

void ImageView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void ImageView::scrollContentsBy(int, int) {
    if (m_updatingBars) return;
    placeRulers();
    viewport()->update();
    emit viewChanged();
}

void ImageView::wheelEvent(QWheelEvent* event) {
    const double notches = event->angleDelta().y() / 120.0;
    if (notches == 0) return;
    // Inverted direction: rolling forward zooms in.
    setZoomAt(m_zoom * std::pow(kWheelStep, notches), event->position());
    event->accept();
}

void ImageView::updateCursor(QPointF pos) {
    viewport()->setCursor(m_interaction ? m_interaction->cursor(*this, pos) : QCursor());
    if (m_showRulers) {
        const QPointF c = toCanvas(pos);
        m_hRuler->setPointer(c.x());
        m_vRuler->setPointer(c.y());
    }
}

void ImageView::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    emit mouseDown(event->button(), toCanvas(event->position()));
    if (m_interaction && m_interaction->mousePress(*this, *event)) event->accept();
}

void ImageView::mouseMoveEvent(QMouseEvent* event) {
    if (m_interaction) m_interaction->mouseMove(*this, *event);
    updateCursor(event->position());
}

void ImageView::mouseReleaseEvent(QMouseEvent* event) {
    if (m_interaction) m_interaction->mouseRelease(*this, *event);
    emit mouseUp(event->button(), toCanvas(event->position()));
    updateCursor(event->position());
}

void ImageView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (m_interaction) m_interaction->mouseDoubleClick(*this, *event);
}

void ImageView::keyPressEvent(QKeyEvent* event) {
    if (m_interaction && m_interaction->keyPress(*this, *event)) return;
    QAbstractScrollArea::keyPressEvent(event);
}

void ImageView::keyReleaseEvent(QKeyEvent* event) {
    if (m_interaction && m_interaction->keyRelease(*this, *event)) return;
    QAbstractScrollArea::keyReleaseEvent(event);
}

bool ImageView::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::Leave && m_showRulers) {
        m_hRuler->setPointer(std::nan(""));
        m_vRuler->setPointer(std::nan(""));
    }
    return QAbstractScrollArea::viewportEvent(event);
}

} // namespace ie
