// The hand (scroll) and zoom interactions of a view.
#pragma once

#include "Interaction.h"

#include <QPoint>
#include <QPointF>

namespace ie {

/// Drags the image with the mouse (the Hand tool).
class ScrollInteraction : public Interaction {
public:
    QString name() const override { return QStringLiteral("scroll"); }
    bool mousePress(ImageView& view, QMouseEvent& event) override;
    bool mouseMove(ImageView& view, QMouseEvent& event) override;
    bool mouseRelease(ImageView& view, QMouseEvent& event) override;
    QCursor cursor(const ImageView& view, QPointF pos) const override;

private:
    bool m_dragging = false;
    QPoint m_last;
};

/// Zoom steps of the zoom tool (per cent), from which a click goes to the next or previous.
double nextZoomStep(double percent, bool in);

/// Click to zoom in about the pointer; right click, or Alt / Ctrl with a click, zooms out
/// (the Zoom In/Out mode).
class ZoomInteraction : public Interaction {
public:
    QString name() const override { return QStringLiteral("zoom"); }
    bool mousePress(ImageView& view, QMouseEvent& event) override;
    QCursor cursor(const ImageView& view, QPointF pos) const override;
};

/// Drag a rectangle to zoom so that it fills the view; a plain click zooms in (the Select Zoom
/// Area mode).
class ZoomAreaInteraction : public Interaction {
public:
    QString name() const override { return QStringLiteral("zoom-area"); }
    bool mousePress(ImageView& view, QMouseEvent& event) override;
    bool mouseMove(ImageView& view, QMouseEvent& event) override;
    bool mouseRelease(ImageView& view, QMouseEvent& event) override;
    void paintOverlay(ImageView& view, QPainter& painter) override;
    QCursor cursor(const ImageView& view, QPointF pos) const override;

private:
    bool m_dragging = false;
    QPointF m_start, m_current; // viewport
};

} // namespace ie
