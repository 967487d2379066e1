// Named undo and redo steps over copy-on-write snapshots of a document's layers and selection.
#pragma once

#include "Selection.h"
#include "imaging/Bitmap.h"
#include "layers/Guid.h"
#include "layers/LayerStack.h"

#include <QString>
#include <deque>
#include <memory>
#include <optional>

namespace ie {

/// What one undo step restores. A whole snapshot shares every unchanged bitmap with the live
/// document (copy-on-write strips); a region snapshot keeps only one rectangle of one image layer.
struct UndoState {
    QString caption;
    std::optional<LayerStack> layers; ///< whole-stack snapshot
    std::optional<Selection> selection;
    Guid layerId; ///< region snapshot: the image layer ...
    Rect region; ///< ... the rectangle of its bitmap ...
    Bitmap pixels; ///< ... and the pixels there
    /// Bytes this step keeps alive on its own (region pixels; whole snapshots count as 0 since
    /// they share strips until the document writes them).
    std::size_t privateBytes() const { return pixels.isNull() ? 0 : pixels.memoryBytes(); }
};

/// The undo list and the redo list of one document. New steps clear the redo list; the oldest
/// steps drop off beyond the limit.
class UndoStack {
public:
    int limit() const { return m_limit; }
    void setLimit(int limit);

    int undoCount() const { return int(m_undo.size()); }
    int redoCount() const { return int(m_redo.size()); }
    /// Caption of undo step i (0 = oldest) and of redo step i (0 = the next to redo).
    QString undoCaption(int i) const { return m_undo.at(i).caption; }
    QString redoCaption(int i) const { return m_redo.at(m_redo.size() - 1 - i).caption; }

    void push(UndoState state);
    UndoState popUndo();
    UndoState popRedo();
    void pushRedo(UndoState state) { m_redo.push_back(std::move(state)); }
    void pushUndoKeepingRedo(UndoState state);
    void clear();
    /// Bytes the steps keep alive on their own (see UndoState::privateBytes).
    std::size_t privateBytes() const;

private:
    int m_limit = 20;
    std::deque<UndoState> m_undo; // oldest first
    std::deque<UndoState> m_redo; // the next to redo last
};

} // namespace ie
