// The interface of a mouse interaction: what a tool does with presses, moves, keys on a view.
#pragma once

#include <QCursor>
#include <QString>

class QKeyEvent;
class QMouseEvent;
class QPainter;

namespace ie {

class ImageView;

/// One mouse interaction of a view (scroll, zoom, layer editing, a selection tool, a brush...).
/// A view has at most one active interaction; it receives the viewport's input first. Each
/// handler returns true when it consumed the event. Positions are viewport pixels; the view
/// converts them (ImageView::toCanvas).
class Interaction {
public:
    virtual ~Interaction() = default;
    /// A short name for debugging and tests ("scroll", "layers", "select-rect").
    virtual QString name() const = 0;

    /// Called when the interaction becomes the view's active one, and when it stops being it.
    virtual void activate(ImageView& view);
    virtual void deactivate(ImageView& view);

    virtual bool mousePress(ImageView& view, QMouseEvent& event);
    virtual bool mouseMove(ImageView& view, QMouseEvent& event);
    virtual bool mouseRelease(ImageView& view, QMouseEvent& event);
    virtual bool mouseDoubleClick(ImageView& view, QMouseEvent& event);
    virtual bool keyPress(ImageView& view, QKeyEvent& event);
    virtual bool keyRelease(ImageView& view, QKeyEvent& event);

    /// Draws the interaction's own marks (rubber bands, handles) over the image, in viewport
    /// coordinates.
    virtual void paintOverlay(ImageView& view, QPainter& painter);
    /// The cursor to show with the pointer at viewport position `pos`.
    virtual QCursor cursor(const ImageView& view, QPointF pos) const;
};

} // namespace ie
