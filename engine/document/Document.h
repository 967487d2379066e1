// The model behind one variant view: layers, selection, undo, input/output parameters, Modified.
#pragma once

#include "Selection.h"
#include "UndoStack.h"
#include "io/FormatParams.h"
#include "io/Metadata.h"
#include "layers/LayerStack.h"

#include <QString>
#include <vector>

namespace ie {

/// One layered image with everything a view edits. Usable without any widget.
class Document {
public:
    Document() = default;
    /// A document whose background layer shows `background`.
    explicit Document(Bitmap background);

    LayerStack& layers() { return m_layers; }
    const LayerStack& layers() const { return m_layers; }
    Selection& selection() { return m_selection; }
    const Selection& selection() const { return m_selection; }
    /// Resizes the selection to the canvas (clearing it) when the canvas size changed.
    void syncSelectionToCanvas();

    /// Indexes of the layers whose `selected` flag is set, bottom first.
    std::vector<int> selectedLayers() const;
    /// Makes layer i the current layer and the only selected one.
    void selectOnlyLayer(int i);

    /// The description stored with the image (the variant's parameter text).
    QString description;
    /// Save parameters of the last format chosen, resolution and metadata kept from the file.
    io::FormatParams ioParams;
    io::Metadata metadata;
    double dpiX = 72, dpiY = 72;
    /// The file the document was loaded from or last saved to.
    QString fileName;

    bool isModified() const { return m_modified; }
    void setModified(bool modified) { m_modified = modified; }

    /// A whole copy: layers, selection, parameters; the undo lists are cleared.
    void assign(const Document& other);

    // Undo.
    UndoStack& undoStack() { return m_undo; }
    const UndoStack& undoStack() const { return m_undo; }
    /// Records a step that can restore the whole current state (layers and selection).
    void saveUndo(const QString& caption);
    /// Records a step that restores only `region` of image layer `layerIndex`'s bitmap: cheap for
    /// brush strokes and local edits. Throws when the layer is not an image layer.
    void saveUndoRegion(const QString& caption, int layerIndex, const Rect& region);
    bool canUndo() const { return m_undo.undoCount() > 0; }
    bool canRedo() const { return m_undo.redoCount() > 0; }
    void undo();
    void redo();
    /// Undoes until `count` undo steps remain (history list clicks).
    void undoTo(int count);
    /// Redoes until `count` redo steps remain.
    void redoTo(int count);
    void clearUndo() { m_undo.clear(); }

private:
    UndoState captureLike(const UndoState& like) const;
    void restore(const UndoState& state);

    LayerStack m_layers;
    Selection m_selection;
    UndoStack m_undo;
    bool m_modified = false;
};

/// Opens an undo step on the first change of a command and commits it once with its caption;
/// left uncommitted (Esc, an exception) it rolls the document back.
class UndoTransaction {
public:
    UndoTransaction(Document& doc, QString caption);
    ~UndoTransaction();
    UndoTransaction(const UndoTransaction&) = delete;
    UndoTransaction& operator=(const UndoTransaction&) = delete;
    /// Records the step and marks the document modified.
    void commit();

private:
    Document& m_doc;
    UndoState m_before;
    bool m_done = false;
};

} // namespace ie
