// Renders the visible part of a document at a zoom into a frame, reusing the last frame on pans.
#pragma once

#include "LevelCache.h"

#include <QImage>
#include <QRect>
#include <cstdint>

namespace ie {

/// The frame of a view: the part of the zoomed image that is visible, composited over a
/// chessboard. Rects are in zoomed-image pixels (canvas pixel x maps to x * zoom). Zoomed out,
/// the frame is composited from reduced levels with plain bilinear scaling; refine() redraws it
/// with the view's zoom filter. A pan keeps the overlap and renders only the uncovered strips.
class FrameRenderer {
public:
    /// Makes the frame cover `rect` at `zoom` (canvas scale, 1 = 100 %). `version` changes
    /// whenever the content changed; a different version or zoom renders everything anew.
    void render(const LayerStack& stack, double zoom, const QRect& rect, std::uint64_t version);
    /// Redraws the current frame with `filter` (a ResampleFilter number); false when there is
    /// nothing to do (no frame, filter None, zoom 100 %, or already refined).
    bool refine(const LayerStack& stack, int filter);

    const QImage& frame() const { return m_frame; }
    /// The zoomed-image rectangle the frame covers.
    const QRect& frameRect() const { return m_rect; }
    bool isRefined() const { return m_refined; }
    /// The reduced level the last render drew from (0 = the layers themselves).
    int lastLevel() const { return m_level; }
    /// Forgets the frame (the next render draws everything).
    void reset();
    /// The next render draws from the layers themselves instead of first building the reduced
    /// levels of layers that have none; the render after it builds them.
    void deferNewLevelsOnce() { m_deferNewLevels = true; }
    LevelCache& levels() { return m_levels; }
    const LevelCache& levels() const { return m_levels; }

    /// The chessboard's cell size in view pixels.
    static constexpr int kChessCell = 8;

private:
    void renderPart(const LayerStack& shown, const QRect& part);

    LevelCache m_levels;
    QImage m_frame;
    QRect m_rect;
    double m_zoom = 0;
    std::uint64_t m_version = 0;
    bool m_refined = false;
    int m_level = 0;
    bool m_deferNewLevels = false;
};

/// Writes `src` (Rgb24 with optional alpha plane, or Rgba32) over a chessboard into `dst`
/// (Format_RGB32) at (dx, dy); `origin` is the zoomed-image position of src's top-left pixel,
/// which fixes the chessboard's phase.
void drawOverChessboard(const Bitmap& src, QImage& dst, int dx, int dy, QPoint origin);

} // namespace ie
