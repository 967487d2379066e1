#include "UndoStack.h"

#include "imaging/Error.h"

namespace ie {

void UndoStack::setLimit(int limit) {
    m_limit = std::max(1, limit);
    while (int(m_undo.size()) > m_limit)
        m_undo.pop_front();
}

void UndoStack::push(UndoState state) {
    m_redo.clear();
    pushUndoKeepingRedo(std::move(state));
}

void UndoStack::pushUndoKeepingRedo(UndoState state) {
    m_undo.push_back(std::move(state));
    while (int(m_undo.size()) > m_limit)
        m_undo.pop_front();
}

UndoState UndoStack::popUndo() {
    if (m_undo.empty()) throw Error("Nothing to undo");
    UndoState s = std::move(m_undo.back());
    m_undo.pop_back();
    return s;
}

UndoState UndoStack::popRedo() {
    if (m_redo.empty()) throw Error("Nothing to redo");
    UndoState s = std::move(m_redo.back());
    m_redo.pop_back();
    return s;
}

std::size_t UndoStack::privateBytes() const {
    std::size_t total = 0;
    for (const auto* list : { &m_undo, &m_redo })
        for (const auto& s : *list)
            total += s.privateBytes();
    return total;
}

void UndoStack::clear() {
    m_undo.clear();
    m_redo.clear();
}

} // namespace ie
