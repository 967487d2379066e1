#include "SelectionInteraction.h"

#include "ImageView.h"
#include "document/Document.h"
#include "layers/Compositor.h"
#include "layers/ImageLayer.h"

#include <QKeyEvent>
#include <QLineF>
#include <QMouseEvent>
#include <algorithm>
#include <cmath>

namespace ie {

namespace {

// The pixels the magic wand compares: the current image layer when it covers the canvas
// exactly, otherwise the composited canvas.
Bitmap wandSource(const Document& doc) {
    const LayerStack& s = doc.layers();
    const int i = std::max(0, s.currentIndex());
    const Layer& l = s.layer(i);
    if (l.kind() == LayerKind::Image && l.x == 0 && l.y == 0 && l.rotation == 0) {
        const Bitmap& b = static_cast<const ImageLayer&>(l).bitmap;
        if (b.width() == s.canvasWidth() && b.height() == s.canvasHeight()) return b;
    }
    return compositeAll(s);
}

constexpr double kCloseDistance = 6; // viewport pixels to the first corner that close a polygon

} // namespace

SelectionMode selectionModeFor(Qt::KeyboardModifiers mods, SelectionMode base) {
    const bool shift = mods & Qt::ShiftModifier;
    const bool sub = mods & (Qt::ControlModifier | Qt::AltModifier);
    if (shift && sub) return SelectionMode::Intersect;
    if (shift) return SelectionMode::Add;
    if (sub) return SelectionMode::Subtract;
    return base;
}

QString SelectionInteraction::name() const {
    switch (m_tool) {
    case SelectionTool::Rectangle:
        return QStringLiteral("select-rect");
    case SelectionTool::Ellipse:
        return QStringLiteral("select-ellipse");
    case SelectionTool::Polygon:
        return QStringLiteral("select-polygon");
    case SelectionTool::Lasso:
        return QStringLiteral("select-lasso");
    case SelectionTool::MagicWand:
        return QStringLiteral("select-wand");
    }
    return {};
}

void SelectionInteraction::deactivate(ImageView&) {
    m_points.clear();
    m_dragging = false;
}

std::optional<Rect> SelectionInteraction::gripRect(const ImageView& view) const {
    if (m_tool != SelectionTool::Rectangle || !m_lastRect || !view.document()) return {};
    const Selection& s = view.document()->selection();
    if (s.isEmpty() || s.bounds() != *m_lastRect) return {};
    return m_lastRect;
}

static QPolygonF rectInView(const ImageView& view, const Rect& r) {
    const QPointF a = view.toViewport(QPointF(r.x, r.y));
    const QPointF b = view.toViewport(QPointF(r.right(), r.bottom()));
    return QPolygonF({ a, QPointF(b.x(), a.y()), b, QPointF(a.x(), b.y()) });
}

QPointF SelectionInteraction::constrained(QPointF c) const {
    // Side grips move one coordinate only.
    const int g = int(m_grip);
    if (g == 1 || g == 5) c.setX(m_current.x());
    if (g == 3 || g == 7) c.setY(m_current.y());
    return c;
}

Rect SelectionInteraction::dragRect() const {
    const double x0 = std::min(m_start.x(), m_current.x()),
                 x1 = std::max(m_start.x(), m_current.x());
    const double y0 = std::min(m_start.y(), m_current.y()),
                 y1 = std::max(m_start.y(), m_current.y());
    const int l = int(std::lround(x0)), t = int(std::lround(y0));
    return { l, t, int(std::lround(x1)) - l, int(std::lround(y1)) - t };
}

void SelectionInteraction::apply(ImageView& view, SelectionMode mode) {
    Document& doc = *view.document();
    doc.syncSelectionToCanvas();
    UndoTransaction edit(doc, QStringLiteral("Selection"));
    Selection& sel = doc.selection();
    switch (m_tool) {
    case SelectionTool::Rectangle:
    case SelectionTool::Ellipse: {
        const Rect r = dragRect();
        if (r.isEmpty()) {
            if (mode != SelectionMode::New) return; // a click adds or removes nothing
            if (sel.isEmpty()) return;
            sel.clear();
            break;
        }
        if (m_tool == SelectionTool::Rectangle)
            sel.selectRect(r, mode);
        else
            sel.selectEllipse(r, mode);
        m_lastRect = mode == SelectionMode::New && m_tool == SelectionTool::Rectangle
            ? std::optional<Rect>(sel.bounds())
            : std::nullopt;
        break;
    }
    case SelectionTool::Polygon:
    case SelectionTool::Lasso:
        if (m_points.size() < 3) return;
        sel.selectPolygon(m_points, mode);
        break;
    case SelectionTool::MagicWand: {
        const int x = int(std::floor(m_start.x())), y = int(std::floor(m_start.y()));
        if (x < 0 || y < 0 || x >= sel.width() || y >= sel.height()) return;
        sel.selectMagicWand(wandSource(doc), x, y, view.magicWandTolerance(), mode);
        break;
    }
    }
    edit.commit();
    emit view.selectionChanged();
    emit view.userInteraction(UserInteractionEvent::SelectionDone, 0);
    view.updateOverlays();
}

bool SelectionInteraction::mousePress(ImageView& view, QMouseEvent& event) {
    if (!view.document() || event.button() != Qt::LeftButton) return false;
    const QPointF c = view.toCanvas(event.position());
    m_mode = selectionModeFor(event.modifiers(), m_baseMode);
    if (const auto r = gripRect(view); r && event.modifiers() == Qt::NoModifier) {
        m_grip = gripAt(rectInView(view, *r), event.position());
        if (m_grip != Grip::None) {
            // Drag the grabbed edges; the opposite corner stays.
            const int g = int(m_grip);
            const bool left = g == 0 || g == 6 || g == 7, top = g <= 2;
            m_start = QPointF(left ? r->right() : r->x, top ? r->bottom() : r->y);
            m_current = QPointF(left ? r->x : r->right(), top ? r->y : r->bottom());
            m_dragging = true;
            return true;
        }
    }
    m_grip = Grip::None;
    switch (m_tool) {
    case SelectionTool::Polygon:
        if (m_points.size() >= 3
            && QLineF(view.toViewport(m_points.front()), event.position()).length()
                <= kCloseDistance) {
            finishPolygon(view);
            return true;
        }
        m_points.push_back(c);
        m_current = c;
        break;
    case SelectionTool::Lasso:
        m_points = { c };
        m_dragging = true;
        break;
    case SelectionTool::MagicWand:
        m_start = c;
        apply(view, m_mode);
        break;
    default:
        m_start = m_current = c;
        m_dragging = true;
        break;
    }
    emit view.userInteraction(UserInteractionEvent::SelectionCreating, 0);
    view.viewport()->update();
    return true;
}

bool SelectionInteraction::mouseMove(ImageView& view, QMouseEvent& event) {
    if (!view.document()) return false;
    QPointF c = view.toCanvas(event.position());
    if (m_tool == SelectionTool::Polygon && !m_points.empty()) {
        m_current = c;
        view.viewport()->update();
        return true;
    }
    if (!m_dragging) return false;
    m_current = constrained(c);
    if (m_tool == SelectionTool::Lasso) m_points.push_back(c);
    view.viewport()->update();
    return true;
}

bool SelectionInteraction::mouseRelease(ImageView& view, QMouseEvent& event) {
    if (!m_dragging || event.button() != Qt::LeftButton) return false;
    m_dragging = false;
    m_current = constrained(view.toCanvas(event.position()));
    if (m_grip != Grip::None) {
        m_grip = Grip::None;
        apply(view, SelectionMode::New);
        return true;
    }
    if (m_tool == SelectionTool::Lasso) {
        m_points.push_back(m_current);
        apply(view, m_mode);
        m_points.clear();
    } else {
        apply(view, m_mode);
    }
    return true;
}

void SelectionInteraction::finishPolygon(ImageView& view) {
    apply(view, m_mode);
    m_points.clear();
    view.viewport()->update();
}

bool SelectionInteraction::mouseDoubleClick(ImageView& view, QMouseEvent&) {
    if (m_tool != SelectionTool::Polygon || m_points.size() < 3) return false;
    finishPolygon(view);
    return true;
}

bool SelectionInteraction::keyPress(ImageView& view, QKeyEvent& event) {
    if (m_tool != SelectionTool::Polygon || m_points.empty()) return false;
    switch (event.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        finishPolygon(view);
        return true;
    case Qt::Key_Escape:
        m_points.clear();
        view.viewport()->update();
        return true;
    case Qt::Key_Backspace:
        m_points.pop_back();
        view.viewport()->update();
        return true;
    default:
        return false;
    }
}

void SelectionInteraction::paintOverlay(ImageView& view, QPainter& p) {
    p.save();
    p.setPen(QPen(Qt::white, 1, Qt::DashLine));
    p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    if (m_dragging && m_grip == Grip::None
        && (m_tool == SelectionTool::Rectangle || m_tool == SelectionTool::Ellipse)) {
        const QRectF r(view.toViewport(m_start), view.toViewport(m_current));
        if (m_tool == SelectionTool::Rectangle)
            p.drawRect(r.normalized());
        else
            p.drawEllipse(r.normalized());
    }
    if (!m_points.empty()) {
        QPolygonF poly;
        for (const QPointF& c : m_points)
            poly << view.toViewport(c);
        if (m_tool == SelectionTool::Polygon) poly << view.toViewport(m_current);
        p.drawPolyline(poly);
    }
    p.restore();
    if (m_dragging && m_grip != Grip::None) {
        const QRectF r(view.toViewport(m_start), view.toViewport(m_current));
        paintInvertingOutline(p, QPolygonF(r.normalized()));
    }
    if (const auto r = gripRect(view); r && !m_dragging)
        for (const QPointF& pos : gripPositions(rectInView(view, *r)))
            paintGrip(p, pos, GripShape::Box);
}

QCursor SelectionInteraction::cursor(const ImageView& view, QPointF pos) const {
    if (const auto r = gripRect(view)) {
        const Grip g = gripAt(rectInView(view, *r), pos);
        if (g == Grip::Top || g == Grip::Bottom) return QCursor(Qt::SizeVerCursor);
        if (g == Grip::Left || g == Grip::Right) return QCursor(Qt::SizeHorCursor);
        if (g == Grip::TopLeft || g == Grip::BottomRight) return QCursor(Qt::SizeFDiagCursor);
        if (g != Grip::None) return QCursor(Qt::SizeBDiagCursor);
    }
    return QCursor(Qt::CrossCursor);
}

} // namespace ie
