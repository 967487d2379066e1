#include "NavigationInteractions.h"

#include "ImageView.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <array>
#include <cmath>

namespace ie {

bool ScrollInteraction::mousePress(ImageView&, QMouseEvent& event) {
    if (event.button() != Qt::LeftButton) return false;
    m_dragging = true;
    m_last = event.position().toPoint();
    return true;
}

bool ScrollInteraction::mouseMove(ImageView& view, QMouseEvent& event) {
    if (!m_dragging) return false;
    const QPoint p = event.position().toPoint();
    view.scrollBy(m_last.x() - p.x(), m_last.y() - p.y());
    m_last = p;
    return true;
}

bool ScrollInteraction::mouseRelease(ImageView&, QMouseEvent& event) {
    if (event.button() != Qt::LeftButton || !m_dragging) return false;
    m_dragging = false;
    return true;
}

QCursor ScrollInteraction::cursor(const ImageView&, QPointF) const {
    return QCursor(m_dragging ? Qt::ClosedHandCursor : Qt::OpenHandCursor);
}

double nextZoomStep(double percent, bool in) {
    static constexpr std::array kSteps { 1.0, 2.0, 3.0, 5.0, 8.0, 10.0, 15.0, 20.0, 25.0, 33.0,
        50.0, 66.0, 75.0, 100.0, 150.0, 200.0, 300.0, 400.0, 500.0, 800.0, 1000.0, 1600.0, 2400.0,
        3200.0, 6400.0 };
    if (in) {
        for (double s : kSteps)
            if (s > percent * 1.001) return s;
        return kSteps.back();
    }
    for (auto it = kSteps.rbegin(); it != kSteps.rend(); ++it)
        if (*it < percent / 1.001) return *it;
    return kSteps.front();
}

bool ZoomInteraction::mousePress(ImageView& view, QMouseEvent& event) {
    const bool out = event.button() == Qt::RightButton
        || (event.button() == Qt::LeftButton
            && (event.modifiers() & (Qt::AltModifier | Qt::ControlModifier)));
    if (event.button() != Qt::LeftButton && !out) return false;
    view.setZoomAt(nextZoomStep(view.zoom(), !out), event.position());
    return true;
}

QCursor ZoomInteraction::cursor(const ImageView&, QPointF) const {
    return QCursor(Qt::PointingHandCursor);
}

bool ZoomAreaInteraction::mousePress(ImageView&, QMouseEvent& event) {
    if (event.button() != Qt::LeftButton) return false;
    m_dragging = true;
    m_start = m_current = event.position();
    return true;
}

bool ZoomAreaInteraction::mouseMove(ImageView& view, QMouseEvent& event) {
    if (!m_dragging) return false;
    m_current = event.position();
    view.viewport()->update();
    return true;
}

bool ZoomAreaInteraction::mouseRelease(ImageView& view, QMouseEvent& event) {
    if (!m_dragging || event.button() != Qt::LeftButton) return false;
    m_dragging = false;
    m_current = event.position();
    const QRectF r = QRectF(m_start, m_current).normalized();
    view.viewport()->update();
    if (r.width() < 3 || r.height() < 3) {
        view.setZoomAt(nextZoomStep(view.zoom(), true), m_current);
        return true;
    }
    const QPointF centre = view.toCanvas(r.center());
    const QSize v = view.viewport()->size();
    const double k = std::min(v.width() / r.width(), v.height() / r.height());
    view.setZoomAt(view.zoom() * k, r.center());
    // Bring the area's centre to the viewport's centre.
    const QPointF now = view.toViewport(centre);
    view.scrollBy(
        int(std::lround(now.x() - v.width() / 2.0)), int(std::lround(now.y() - v.height() / 2.0)));
    emit view.userInteraction(UserInteractionEvent::ZoomArea, 0);
    return true;
}

void ZoomAreaInteraction::paintOverlay(ImageView&, QPainter& p) {
    if (!m_dragging) return;
    p.save();
    p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    p.setPen(QPen(Qt::white, 1, Qt::DotLine));
    p.drawRect(QRectF(m_start, m_current).normalized());
    p.restore();
}

QCursor ZoomAreaInteraction::cursor(const ImageView&, QPointF) const {
    return QCursor(Qt::CrossCursor);
}

} // namespace ie
