// The selection of a document: an 8-bit mask over the canvas (255 fully selected) with its bounds,
// built by shapes, freehand outlines and the magic wand in four combining modes.
#pragma once

#include "imaging/Bitmap.h"

#include <QPointF>
#include <vector>

namespace ie {

/// How a new shape combines with the current selection.
enum class SelectionMode { New, Add, Subtract, Intersect };

/// An 8-bit selection mask the size of the canvas. Empty means "nothing selected"; operations
/// that honour a selection treat an empty one as "everything".
class Selection {
public:
    Selection() = default;
    Selection(int width, int height);

    int width() const { return m_width; }
    int height() const { return m_height; }
    /// Changes the canvas size; the selection is cleared.
    void resize(int width, int height);

    bool isEmpty() const { return m_bounds.isEmpty(); }
    /// The smallest rectangle holding every selected pixel (empty when nothing is selected).
    Rect bounds() const { return m_bounds; }
    /// Selection strength at a pixel (0 outside the canvas or the selection).
    std::uint8_t at(int x, int y) const;
    /// The mask as a Gray8 bitmap the size of the canvas (null when empty).
    const Bitmap& mask() const { return m_mask; }

    void selectRect(const Rect& r, SelectionMode mode = SelectionMode::New);
    void selectEllipse(const Rect& r, SelectionMode mode = SelectionMode::New);
    /// A closed polygon (polygonal and lasso selections), antialiased edges.
    void selectPolygon(const std::vector<QPointF>& points, SelectionMode mode = SelectionMode::New);
    /// Pixels connected to (x, y) whose colour differs from the seed's by at most `tolerance`
    /// percent (0 to 100) in every channel; `contiguous` false takes every such pixel.
    void selectMagicWand(const Bitmap& image, int x, int y, int tolerance,
        SelectionMode mode = SelectionMode::New, bool contiguous = true);
    /// Combines an arbitrary mask (Gray8, canvas size) with the selection.
    void selectMask(const Bitmap& mask, SelectionMode mode = SelectionMode::New);

    void selectAll();
    void clear();
    void invert();
    /// Softens the edge by a Gaussian-like blur of `radius` pixels.
    void feather(double radius);
    /// Keeps only a band `width` pixels wide around the selection's edge.
    void border(int width);

    friend bool operator==(const Selection& a, const Selection& b);

private:
    void combine(const Bitmap& shape, const Rect& shapeRect, SelectionMode mode);
    void updateBounds();
    void ensureMask();

    int m_width = 0, m_height = 0;
    Bitmap m_mask; // Gray8, null while empty
    Rect m_bounds;
};

} // namespace ie
