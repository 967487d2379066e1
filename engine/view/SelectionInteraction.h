// The selection tools of a view: rectangle, ellipse, polygon, lasso and magic wand.
#pragma once

#include "Grips.h"
#include "Interaction.h"
#include "document/Selection.h"

#include <QPointF>
#include <optional>
#include <vector>

namespace ie {

class Document;

/// Which selection tool.
enum class SelectionTool { Rectangle, Ellipse, Polygon, Lasso, MagicWand };

/// The combining mode given by the modifier keys: Shift adds, Ctrl or Alt subtracts, Shift with
/// Ctrl or Alt intersects; otherwise `base`.
SelectionMode selectionModeFor(Qt::KeyboardModifiers mods, SelectionMode base = SelectionMode::New);

/// Makes selections with the mouse. Rectangle and ellipse: drag a box. Polygon: click the
/// corners; a double click, Enter or a click on the first corner closes it, Esc drops it,
/// Backspace removes the last corner. Lasso: drag a freehand outline. Magic wand: click a colour
/// (tolerance from the view). A rectangular selection shows box grips, the sides included,
/// that resize it. Each finished selection is one undo step.
class SelectionInteraction : public Interaction {
public:
    explicit SelectionInteraction(SelectionTool tool)
        : m_tool(tool) { }

    SelectionTool tool() const { return m_tool; }
    /// The mode used without modifier keys (New unless a tool panel says otherwise).
    void setBaseMode(SelectionMode mode) { m_baseMode = mode; }

    QString name() const override;
    void deactivate(ImageView& view) override;
    bool mousePress(ImageView& view, QMouseEvent& event) override;
    bool mouseMove(ImageView& view, QMouseEvent& event) override;
    bool mouseRelease(ImageView& view, QMouseEvent& event) override;
    bool mouseDoubleClick(ImageView& view, QMouseEvent& event) override;
    bool keyPress(ImageView& view, QKeyEvent& event) override;
    void paintOverlay(ImageView& view, QPainter& painter) override;
    QCursor cursor(const ImageView& view, QPointF pos) const override;

private:
    /// The rectangle that a rectangular selection's grips resize, when the selection is one.
    std::optional<Rect> gripRect(const ImageView& view) const;
    void apply(ImageView& view, SelectionMode mode);
    void finishPolygon(ImageView& view);
    Rect dragRect() const;
    QPointF constrained(QPointF canvas) const;

    SelectionTool m_tool;
    SelectionMode m_baseMode = SelectionMode::New;
    SelectionMode m_mode = SelectionMode::New;
    bool m_dragging = false;
    Grip m_grip = Grip::None;
    QPointF m_start, m_current; // canvas
    std::vector<QPointF> m_points; // polygon and lasso corners, canvas
    std::optional<Rect> m_lastRect; // the rectangle last selected with New mode
};

} // namespace ie
