// The variant view widget: shows a document with zoom, scroll bars, rulers and the overlays of
// the active mouse interaction.
#pragma once

#include "FrameRenderer.h"
#include "Interaction.h"
#include "LayerOptions.h"

#include <QAbstractScrollArea>
#include <QColor>
#include <QPainterPath>
#include <QTimer>
#include <memory>

namespace ie {

class Document;
class Ruler;

/// What the layer notification signal reports.
enum class LayerEvent { Selected, Moved, Resized, Rotated, Created, Removed };

/// What the user-interaction signal reports (the tools' progress through an edit).
enum class UserInteractionEvent {
    LayerMoving,
    LayerResizing,
    LayerRotating,
    SelectionCreating,
    SelectionDone,
    ZoomArea,
};

/// Shows an ie::Document (not owned) and turns mouse input into edits through one active
/// ie::Interaction. Only the visible area is composited, from reduced levels when zoomed out;
/// the zoom filter is applied a moment after the last change while plain scaling shows during
/// motion.
class ImageView : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit ImageView(QWidget* parent = nullptr);
    ~ImageView() override;

    /// The document shown (not owned); null shows only the background.
    void setDocument(Document* document);
    Document* document() const { return m_document; }

    /// Zoom in per cent (100 = one canvas pixel per screen pixel).
    double zoom() const { return m_zoom; }
    /// Sets the zoom keeping the centre of the viewport on the same image point.
    void setZoom(double percent);
    /// Sets the zoom keeping the image point under viewport position `anchor` where it is.
    void setZoomAt(double percent, QPointF anchor);
    /// Zooms so that the whole canvas fits the viewport (small images are enlarged too).
    void fit();
    /// The zoom at which the canvas fits the viewport.
    double fitZoom() const;
    static constexpr double kMinZoom = 0.5, kMaxZoom = 6400;

    /// The filter (ResampleFilter number, 0 to 18) applied after motion stops; 0 draws plain.
    void setZoomFilter(int filter);
    int zoomFilter() const { return m_zoomFilter; }
    /// Delay before the zoom filter is applied, milliseconds.
    void setZoomFilterDelay(int ms) { m_filterTimer.setInterval(ms); }

    /// The colour around the image.
    void setBackgroundColor(QColor color);
    QColor backgroundColor() const { return m_background; }

    /// Shows both rulers or none.
    void setShowRulers(bool show);
    bool showRulers() const { return m_showRulers; }
    /// Ruler unit: 0 pixels, 1 inches, 2 centimetres, 3 millimetres.
    void setRulerUnits(int units);
    int rulerUnits() const { return m_rulerUnits; }
    static constexpr int kRulerSize = 27;
    const Ruler* horizontalRuler() const { return m_hRuler; }
    const Ruler* verticalRuler() const { return m_vRuler; }

    /// Layer editing options (aspect-ratio mode, snapping, protections).
    LayerOptions& layerOptions() { return m_layerOptions; }
    const LayerOptions& layerOptions() const { return m_layerOptions; }
    /// Magic-wand tolerance in per cent (0 to 100).
    int magicWandTolerance() const { return m_wandTolerance; }
    void setMagicWandTolerance(int tolerance);

    /// Makes `interaction` the active one (null for none); the previous one is deactivated.
    void setInteraction(std::unique_ptr<Interaction> interaction);
    Interaction* interaction() const { return m_interaction.get(); }

    /// Viewport position of canvas point `p`, and back.
    QPointF toViewport(QPointF canvas) const;
    QPointF toCanvas(QPointF viewport) const;
    /// Canvas pixels per viewport pixel inverse: viewport pixels per canvas pixel.
    double scale() const { return m_zoom / 100.0; }
    /// Where the whole canvas lies in the viewport.
    QRectF canvasRectInViewport() const;
    /// Scrolls by (dx, dy) viewport pixels (positive moves the image left / up).
    void scrollBy(int dx, int dy);
    QPoint scrollPosition() const;

    /// Call after changing the document's pixels or layers: the frame is redrawn and the
    /// scroll range follows the canvas size.
    void update();
    /// Call after changing only layer boxes or the selection: overlays are repainted (and the
    /// image, since boxes move pixels).
    void updateOverlays();

    /// The frame renderer (reduced levels, last frame): for benchmarks and tests.
    const FrameRenderer& renderer() const { return m_renderer; }
    /// Renders what a repaint would show without waiting for the widget system (benchmarks).
    void renderNow();

    /// Phase of the animated selection outline (advances on a timer while a selection exists).
    int marchingAntsPhase() const { return m_antsPhase; }

signals:
    /// Zoom or scroll position changed.
    void viewChanged();
    /// The image content changed (an edit finished, or update() was called).
    void imageChanged();
    void selectionChanged();
    /// Progress of a long operation in per cent, and its end.
    void progress(int percent);
    void processingProgress(int percent);
    void finishWork();
    /// A layer was added at `index`.
    void newLayer(int index);
    void layerNotify(int index, ie::LayerEvent event);
    /// Zoom changes, with the new zoom in per cent.
    void zoomIn(double percent);
    void zoomOut(double percent);
    void textEditorActivated();
    void textEditorDeactivated();
    /// The active interaction was replaced.
    void mouseInteraction();
    /// A step of an interaction (see UserInteractionEvent).
    void userInteraction(ie::UserInteractionEvent event, int info);
    /// Mouse button pressed and released on the viewport, at canvas positions.
    void mouseDown(Qt::MouseButton button, QPointF canvas);
    void mouseUp(Qt::MouseButton button, QPointF canvas);
    /// A measurement finished (length in pixels, or an area).
    void measure(double value);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    void buildPendingLevels();
    void scheduleLevels();
    QSize canvasSize() const;
    QSize zoomedSize() const;
    QPoint imageOffset() const;
    QRect visibleZoomedRect() const;
    void updateScrollBars();
    void placeRulers();
    void contentChanged();
    void paintBackground(QPainter& p, const QRect& frameInViewport);
    void paintSelection(QPainter& p);
    void updateCursor(QPointF pos);
    void refineFrame();
    void advanceAnts();

    Document* m_document = nullptr;
    double m_zoom = 100;
    int m_zoomFilter = 0;
    QColor m_background { 64, 64, 64 };
    bool m_showRulers = false;
    int m_rulerUnits = 0;
    Ruler* m_hRuler = nullptr;
    Ruler* m_vRuler = nullptr;
    LayerOptions m_layerOptions;
    int m_wandTolerance = 15;
    std::unique_ptr<Interaction> m_interaction;
    FrameRenderer m_renderer;
    std::uint64_t m_version = 1;
    QTimer m_filterTimer;
    QTimer m_antsTimer;
    int m_antsPhase = 0;
    bool m_updatingBars = false;
    std::unique_ptr<QPainterPath> m_outline; // selection outline in canvas pixels
};

} // namespace ie
