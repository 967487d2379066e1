#include "LayerInteraction.h"

#include "ImageView.h"
#include "LayerGeometry.h"
#include "Snapping.h"

#include <QKeyEvent>
#include <QLineF>
#include <QMouseEvent>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace ie {

int nudgeSelectedLayers(Document& doc, double dx, double dy) {
    std::vector<int> movable;
    for (int i : doc.selectedLayers())
        if (i > 0 && !doc.layers().layer(i).locked) movable.push_back(i);
    if (movable.empty()) return 0;
    UndoTransaction edit(doc, QStringLiteral("Move Layer"));
    for (int i : movable) {
        doc.layers().layer(i).x += dx;
        doc.layers().layer(i).y += dy;
    }
    edit.commit();
    return int(movable.size());
}

bool LayerInteraction::editable(const ImageView& view, int index) const {
    const Document* doc = view.document();
    if (!doc || index < 0 || index >= doc->layers().count()) return false;
    if (index == 0 && view.layerOptions().protectBackground) return false;
    return !doc->layers().layer(index).locked;
}

int LayerInteraction::gripLayer(const ImageView& view) const {
    const Document* doc = view.document();
    if (!doc) return -1;
    const int i = doc->layers().currentIndex();
    if (i < 0 || !doc->layers().layer(i).selected || !doc->layers().layer(i).boxVisible) return -1;
    return editable(view, i) ? i : -1;
}

QPolygonF LayerInteraction::outlineInView(const ImageView& view, int index) const {
    QPolygonF poly = layerOutline(view.document()->layers().layer(index));
    for (QPointF& p : poly)
        p = view.toViewport(p);
    return poly;
}

QPointF LayerInteraction::rotateHandle(const ImageView& view, int index) const {
    const QPolygonF box = outlineInView(view, index);
    const QPointF top = (box[0] + box[1]) / 2, bottom = (box[3] + box[2]) / 2;
    QLineF up(top, top + (top - bottom));
    up.setLength(kRotateHandleDistance);
    return up.length() > 0 ? up.p2() : top - QPointF(0, kRotateHandleDistance);
}

void LayerInteraction::selectAt(ImageView& view, QPointF canvas, Qt::KeyboardModifiers mods) {
    Document& doc = *view.document();
    const int i = layerAt(doc.layers(), canvas);
    if (i < 0) {
        if (!view.layerOptions().preventDeselection) {
            for (const auto& l : doc.layers().layers())
                l->selected = false;
        }
        return;
    }
    Layer& l = doc.layers().layer(i);
    if (mods & Qt::ShiftModifier) {
        l.selected = !l.selected || doc.selectedLayers().size() == 1;
        doc.layers().setCurrentIndex(i);
    } else if (!l.selected) {
        doc.selectOnlyLayer(i);
    } else {
        doc.layers().setCurrentIndex(i);
    }
    emit view.layerNotify(i, LayerEvent::Selected);
}

bool LayerInteraction::mousePress(ImageView& view, QMouseEvent& event) {
    if (!view.document() || event.button() != Qt::LeftButton) return false;
    Document& doc = *view.document();
    m_pressCanvas = view.toCanvas(event.position());
    m_drag = Drag::None;
    m_grip = Grip::None;
    const int g = gripLayer(view);
    if (g >= 0 && m_abilities.rotate
        && QLineF(rotateHandle(view, g), event.position()).length() <= kGripSize + 2) {
        m_drag = Drag::Rotate;
    } else if (g >= 0 && m_abilities.resize) {
        m_grip = gripAt(outlineInView(view, g), event.position());
        if (m_grip != Grip::None) m_drag = Drag::Resize;
    }
    if (m_drag == Drag::None) {
        selectAt(view, m_pressCanvas, event.modifiers());
        const int hit = layerAt(doc.layers(), m_pressCanvas);
        if (hit >= 0 && doc.layers().layer(hit).selected && m_abilities.move) m_drag = Drag::Move;
    }
    m_start.clear();
    for (int i : doc.selectedLayers()) {
        if (!editable(view, i)) continue;
        const Layer& l = doc.layers().layer(i);
        m_start.push_back({ i, l.x, l.y, l.width, l.height, l.rotation });
    }
    if (m_drag == Drag::Resize || m_drag == Drag::Rotate) {
        const int cur = doc.layers().currentIndex();
        std::erase_if(m_start, [cur](const Start& s) { return s.index != cur; });
    }
    view.updateOverlays();
    return true;
}

void LayerInteraction::beginEdit(ImageView& view, const char* caption) {
    if (!m_edit)
        m_edit = std::make_unique<UndoTransaction>(*view.document(), QString::fromUtf8(caption));
}

void LayerInteraction::dragMove(ImageView& view, QPointF canvas) {
    Document& doc = *view.document();
    QPointF d = canvas - m_pressCanvas;
    if (view.layerOptions().snapToPos && !m_start.empty()) {
        // Snap the bounds of all moving boxes as one.
        QRectF moved;
        std::vector<int> moving;
        for (const Start& s : m_start) {
            Layer& l = doc.layers().layer(s.index);
            l.x = s.x + d.x(), l.y = s.y + d.y();
            moved = moved.isNull() ? layerBounds(l) : moved.united(layerBounds(l));
            moving.push_back(s.index);
        }
        const SnapTargets t = snapTargets(doc.layers(), moving);
        const double reach = view.layerOptions().snapDist;
        d += QPointF(snapShift({ moved.left(), moved.center().x(), moved.right() }, t.xs, reach),
            snapShift({ moved.top(), moved.center().y(), moved.bottom() }, t.ys, reach));
    }
    for (const Start& s : m_start) {
        Layer& l = doc.layers().layer(s.index);
        l.x = s.x + d.x();
        l.y = s.y + d.y();
        emit view.layerNotify(s.index, LayerEvent::Moved);
    }
    emit view.userInteraction(UserInteractionEvent::LayerMoving, 0);
}

bool LayerInteraction::keepAspect(
    const ImageView& view, const Layer& layer, Qt::KeyboardModifiers mods) const {
    const bool corner = isCornerGrip(m_grip);
    switch (view.layerOptions().resizeAspectRatio) {
    case AspectRatioMode::Disabled:
        return false;
    case AspectRatioMode::WithAlt:
        return mods & Qt::AltModifier;
    case AspectRatioMode::Always:
        return true;
    case AspectRatioMode::AlwaysOnCorners:
        return corner;
    case AspectRatioMode::LayerDefaultOnCorners:
        return corner && layer.aspectRatioLocked;
    }
    return false;
}

void LayerInteraction::dragResize(ImageView& view, QPointF canvas, Qt::KeyboardModifiers mods) {
    if (m_start.empty()) return;
    const Start& s = m_start.front();
    Layer& l = view.document()->layers().layer(s.index);
    // Work in the box's own (unrotated) frame as it was at the press.
    LayerProperties before = l;
    before.x = s.x, before.y = s.y, before.width = s.width, before.height = s.height;
    before.rotation = s.rotation;
    const QTransform toCanvas = boxToCanvas(before);
    const QPointF p = toCanvas.inverted().map(canvas);
    double left = 0, top = 0, right = s.width, bottom = s.height;
    const int g = int(m_grip);
    const bool moveLeft = g == 0 || g == 6 || g == 7, moveRight = g >= 2 && g <= 4;
    const bool moveTop = g <= 2, moveBottom = g >= 4 && g <= 6;
    if (moveLeft) left = std::min(p.x(), right - 1);
    if (moveRight) right = std::max(p.x(), left + 1);
    if (moveTop) top = std::min(p.y(), bottom - 1);
    if (moveBottom) bottom = std::max(p.y(), top + 1);
    if (view.layerOptions().snapToPos && s.rotation == 0) {
        const SnapTargets t = snapTargets(view.document()->layers(), { s.index });
        const double reach = view.layerOptions().snapDist;
        if (moveLeft) left += snapShift({ s.x + left }, t.xs, reach);
        if (moveRight) right += snapShift({ s.x + right }, t.xs, reach);
        if (moveTop) top += snapShift({ s.y + top }, t.ys, reach);
        if (moveBottom) bottom += snapShift({ s.y + bottom }, t.ys, reach);
    }
    if (keepAspect(view, l, mods) && s.width > 0 && s.height > 0) {
        const double aspect = s.width / s.height;
        double w = right - left, h = bottom - top;
        if (isCornerGrip(m_grip)) {
            const double k = std::max(w / s.width, h / s.height);
            w = s.width * k, h = s.height * k;
        } else if (moveLeft || moveRight) {
            h = w / aspect;
        } else {
            w = h * aspect;
        }
        // The dragged edges follow; the other axis stays centred when a side grip is used.
        if (moveLeft)
            left = right - w;
        else if (moveRight)
            right = left + w;
        else
            left = s.width / 2 - w / 2, right = left + w;
        if (moveTop)
            top = bottom - h;
        else if (moveBottom)
            bottom = top + h;
        else
            top = s.height / 2 - h / 2, bottom = top + h;
    }
    // Place the new box so that its top-left corner lands where (left, top) was.
    const QPointF corner = toCanvas.map(QPointF(left, top));
    l.width = right - left, l.height = bottom - top;
    l.x = 0, l.y = 0;
    const QPointF origin = boxToCanvas(l).map(QPointF(0, 0));
    l.x = corner.x() - origin.x(), l.y = corner.y() - origin.y();
    emit view.layerNotify(s.index, LayerEvent::Resized);
    emit view.userInteraction(UserInteractionEvent::LayerResizing, 0);
}

void LayerInteraction::dragRotate(ImageView& view, QPointF canvas, Qt::KeyboardModifiers mods) {
    if (m_start.empty()) return;
    const Start& s = m_start.front();
    Layer& l = view.document()->layers().layer(s.index);
    const QPointF c(l.x + l.rotationCenterX * l.width, l.y + l.rotationCenterY * l.height);
    auto angle = [&](QPointF p) {
        return std::atan2(-(p.y() - c.y()), p.x() - c.x()) * 180 / std::numbers::pi;
    };
    double r = s.rotation + angle(canvas) - angle(m_pressCanvas);
    if (mods & Qt::ShiftModifier) r = std::nearbyint(r / 15) * 15;
    r = std::fmod(r, 360);
    l.rotation = r;
    emit view.layerNotify(s.index, LayerEvent::Rotated);
    emit view.userInteraction(UserInteractionEvent::LayerRotating, 0);
}

bool LayerInteraction::mouseMove(ImageView& view, QMouseEvent& event) {
    if (m_drag == Drag::None || !view.document() || !(event.buttons() & Qt::LeftButton))
        return false;
    const QPointF canvas = view.toCanvas(event.position());
    if (m_start.empty() || canvas == m_pressCanvas) return true;
    switch (m_drag) {
    case Drag::Move:
        beginEdit(view, "Move Layer");
        dragMove(view, canvas);
        break;
    case Drag::Resize:
        beginEdit(view, "Resize Layer");
        dragResize(view, canvas, event.modifiers());
        break;
    case Drag::Rotate:
        beginEdit(view, "Rotate Layer");
        dragRotate(view, canvas, event.modifiers());
        break;
    case Drag::None:
        break;
    }
    view.updateOverlays();
    return true;
}

bool LayerInteraction::mouseRelease(ImageView& view, QMouseEvent& event) {
    if (event.button() != Qt::LeftButton || m_drag == Drag::None) return false;
    m_drag = Drag::None;
    m_start.clear();
    if (m_edit) {
        m_edit->commit();
        m_edit.reset();
        view.update();
    }
    return true;
}

bool LayerInteraction::keyPress(ImageView& view, QKeyEvent& event) {
    if (!view.document() || m_drag != Drag::None) return false;
    double dx = 0, dy = 0;
    switch (event.key()) {
    case Qt::Key_Left:
        dx = -1;
        break;
    case Qt::Key_Right:
        dx = 1;
        break;
    case Qt::Key_Up:
        dy = -1;
        break;
    case Qt::Key_Down:
        dy = 1;
        break;
    default:
        return false;
    }
    if (nudgeSelectedLayers(*view.document(), dx, dy) > 0) view.update();
    return true;
}

void LayerInteraction::paintOverlay(ImageView& view, QPainter& p) {
    const Document* doc = view.document();
    if (!doc) return;
    for (int i : doc->selectedLayers()) {
        if (!doc->layers().layer(i).boxVisible) continue;
        paintInvertingOutline(p, outlineInView(view, i));
    }
    const int g = gripLayer(view);
    if (g < 0) return;
    const QPolygonF box = outlineInView(view, g);
    if (m_abilities.rotate) {
        const QPointF handle = rotateHandle(view, g);
        p.save();
        p.setPen(QPen(Qt::black, 1));
        p.drawLine((box[0] + box[1]) / 2, handle);
        p.restore();
        paintGrip(p, handle, GripShape::Circle);
    }
    if (m_abilities.resize)
        for (const QPointF& pos : gripPositions(box))
            paintGrip(p, pos, GripShape::Circle);
}

QCursor LayerInteraction::cursor(const ImageView& view, QPointF pos) const {
    const int g = gripLayer(view);
    if (g >= 0) {
        if (m_abilities.rotate && QLineF(rotateHandle(view, g), pos).length() <= kGripSize + 2)
            return QCursor(Qt::CrossCursor);
        switch (gripAt(outlineInView(view, g), pos)) {
        case Grip::TopLeft:
        case Grip::BottomRight:
            return QCursor(Qt::SizeFDiagCursor);
        case Grip::TopRight:
        case Grip::BottomLeft:
            return QCursor(Qt::SizeBDiagCursor);
        case Grip::Top:
        case Grip::Bottom:
            return QCursor(Qt::SizeVerCursor);
        case Grip::Left:
        case Grip::Right:
            return QCursor(Qt::SizeHorCursor);
        case Grip::None:
            break;
        }
    }
    const Document* doc = view.document();
    if (doc) {
        const int i = layerAt(doc->layers(), view.toCanvas(pos));
        if (i >= 0 && doc->layers().layer(i).selected && editable(view, i))
            return QCursor(Qt::SizeAllCursor);
    }
    return QCursor(Qt::ArrowCursor);
}

} // namespace ie
