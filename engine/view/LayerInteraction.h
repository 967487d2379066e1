// The layer interaction of the Select Layer tool: select, move, resize, rotate, nudge layers.
#pragma once

#include "Grips.h"
#include "Interaction.h"
#include "document/Document.h"

#include <memory>
#include <optional>
#include <vector>

namespace ie {

class ImageView;

/// Moves every selected, unlocked layer above the background by (dx, dy) canvas pixels with one
/// undo step; returns how many moved.
int nudgeSelectedLayers(Document& doc, double dx, double dy);

/// A click selects the topmost visible layer under the pointer (Shift adds or removes it), a drag
/// moves the selected layers, the circle grips of the current layer resize it under the view's
/// aspect-ratio mode, the handle above it rotates it about its rotation centre. With snapping on,
/// boxes snap to the canvas and to other layers. Locked layers and (when protected) the
/// background stay put. Each finished edit is one undo step.
class LayerInteraction : public Interaction {
public:
    /// What the interaction is allowed to do (the tool's layer interaction set).
    struct Abilities {
        bool move = true, resize = true, rotate = true;
    };
    LayerInteraction() = default;
    explicit LayerInteraction(Abilities abilities)
        : m_abilities(abilities) { }

    QString name() const override { return QStringLiteral("layers"); }
    bool mousePress(ImageView& view, QMouseEvent& event) override;
    bool mouseMove(ImageView& view, QMouseEvent& event) override;
    bool mouseRelease(ImageView& view, QMouseEvent& event) override;
    bool keyPress(ImageView& view, QKeyEvent& event) override;
    void paintOverlay(ImageView& view, QPainter& painter) override;
    QCursor cursor(const ImageView& view, QPointF pos) const override;

    /// Distance of the rotation handle above the box's top edge, viewport pixels.
    static constexpr int kRotateHandleDistance = 25;

private:
    enum class Drag { None, Move, Resize, Rotate };
    struct Start {
        int index;
        double x, y, width, height, rotation;
    };
    /// The layer whose grips are shown (the current layer, when selected and editable).
    int gripLayer(const ImageView& view) const;
    bool editable(const ImageView& view, int index) const;
    QPolygonF outlineInView(const ImageView& view, int index) const;
    QPointF rotateHandle(const ImageView& view, int index) const;
    void selectAt(ImageView& view, QPointF canvas, Qt::KeyboardModifiers mods);
    void beginEdit(ImageView& view, const char* caption);
    void dragMove(ImageView& view, QPointF canvas);
    void dragResize(ImageView& view, QPointF canvas, Qt::KeyboardModifiers mods);
    void dragRotate(ImageView& view, QPointF canvas, Qt::KeyboardModifiers mods);
    bool keepAspect(const ImageView& view, const Layer& layer, Qt::KeyboardModifiers mods) const;

    Abilities m_abilities;
    Drag m_drag = Drag::None;
    Grip m_grip = Grip::None;
    QPointF m_pressCanvas;
    std::vector<Start> m_start;
    std::unique_ptr<UndoTransaction> m_edit;
};

} // namespace ie
