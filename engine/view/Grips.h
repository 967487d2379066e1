// The handles drawn on layer boxes and selections, and the dotted inverting box line.
#pragma once

#include <QPainter>
#include <QPolygonF>
#include <array>

namespace ie {

/// Handle shapes.
enum class GripShape { Circle, Box };

/// The handles of a box, in the order of the positions returned by gripPositions().
enum class Grip {
    None = -1,
    TopLeft,
    Top,
    TopRight,
    Right,
    BottomRight,
    Bottom,
    BottomLeft,
    Left,
};

/// Half the size of a handle, viewport pixels.
inline constexpr int kGripSize = 5;

/// True for the four corner handles.
bool isCornerGrip(Grip g);
/// Where the eight handles of the quadrilateral `box` (top-left first, clockwise) lie.
std::array<QPointF, 8> gripPositions(const QPolygonF& box);
/// The handle of `box` under viewport point `p` (within the handle plus two pixels), or None.
Grip gripAt(const QPolygonF& box, QPointF p, bool withSides = true);
/// Draws a handle: black outline, white fill.
void paintGrip(QPainter& p, QPointF centre, GripShape shape);
/// Draws a dotted outline that inverts what is below it, so it shows on any image.
void paintInvertingOutline(QPainter& p, const QPolygonF& box);

} // namespace ie
