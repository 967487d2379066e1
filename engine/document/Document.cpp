#include "Document.h"

#include "imaging/BitmapOps.h"
#include "imaging/Error.h"
#include "layers/ImageLayer.h"

namespace ie {

namespace {
ImageLayer& imageLayerAt(LayerStack& stack, int i) {
    auto* img = dynamic_cast<ImageLayer*>(&stack.layer(i));
    if (!img) throw Error("The layer is not an image layer");
    return *img;
}
} // namespace

Document::Document(Bitmap background) {
    dpiX = background.dpiX();
    dpiY = background.dpiY();
    m_layers.add(std::make_unique<ImageLayer>(std::move(background)));
    m_layers.setCurrentIndex(0);
    syncSelectionToCanvas();
}

void Document::syncSelectionToCanvas() {
    if (m_selection.width() != m_layers.canvasWidth()
        || m_selection.height() != m_layers.canvasHeight())
        m_selection.resize(m_layers.canvasWidth(), m_layers.canvasHeight());
}

std::vector<int> Document::selectedLayers() const {
    std::vector<int> out;
    for (int i = 0; i < m_layers.count(); ++i)
        if (m_layers.layer(i).selected) out.push_back(i);
    return out;
}

void Document::selectOnlyLayer(int i) {
    for (int k = 0; k < m_layers.count(); ++k)
        m_layers.layer(k).selected = k == i;
    m_layers.setCurrentIndex(i);
}

void Document::assign(const Document& other) {
    m_layers = other.m_layers;
    m_selection = other.m_selection;
    description = other.description;
    ioParams = other.ioParams;
    metadata = other.metadata;
    dpiX = other.dpiX;
    dpiY = other.dpiY;
    fileName = other.fileName;
    m_modified = other.m_modified;
    m_undo.clear();
}

void Document::saveUndo(const QString& caption) {
    UndoState s;
    s.caption = caption;
    s.layers = m_layers;
    s.selection = m_selection;
    m_undo.push(std::move(s));
}

void Document::saveUndoRegion(const QString& caption, int layerIndex, const Rect& region) {
    ImageLayer& layer = imageLayerAt(m_layers, layerIndex);
    UndoState s;
    s.caption = caption;
    s.layerId = layer.id;
    s.region = region.intersected(layer.bitmap.rect());
    s.pixels = s.region.isEmpty() ? Bitmap() : crop(layer.bitmap, s.region);
    m_undo.push(std::move(s));
}

UndoState Document::captureLike(const UndoState& like) const {
    UndoState now;
    now.caption = like.caption;
    if (like.layers) {
        now.layers = m_layers;
        now.selection = m_selection;
        return now;
    }
    now.layerId = like.layerId;
    now.region = like.region;
    const int i = m_layers.indexOf(like.layerId);
    if (i >= 0 && !like.region.isEmpty())
        if (auto* img = dynamic_cast<const ImageLayer*>(&m_layers.layer(i)))
            now.pixels = crop(img->bitmap, like.region);
    return now;
}

void Document::restore(const UndoState& state) {
    if (state.layers) {
        m_layers = *state.layers;
        m_selection
            = state.selection.value_or(Selection(m_layers.canvasWidth(), m_layers.canvasHeight()));
        return;
    }
    const int i = m_layers.indexOf(state.layerId);
    if (i < 0 || state.pixels.isNull()) return; // the layer has gone: nothing to restore
    ImageLayer& img = imageLayerAt(m_layers, i);
    copyRect(state.pixels, state.pixels.rect(), img.bitmap, state.region.x, state.region.y);
}

void Document::undo() {
    UndoState s = m_undo.popUndo();
    m_undo.pushRedo(captureLike(s));
    restore(s);
    m_modified = true;
}

void Document::redo() {
    UndoState s = m_undo.popRedo();
    m_undo.pushUndoKeepingRedo(captureLike(s));
    restore(s);
    m_modified = true;
}

void Document::undoTo(int count) {
    while (m_undo.undoCount() > std::max(0, count))
        undo();
}

void Document::redoTo(int count) {
    while (m_undo.redoCount() > std::max(0, count))
        redo();
}

UndoTransaction::UndoTransaction(Document& doc, QString caption)
    : m_doc(doc) {
    m_before.caption = std::move(caption);
    m_before.layers = doc.layers();
    m_before.selection = doc.selection();
}

UndoTransaction::~UndoTransaction() {
    if (!m_done) {
        m_doc.layers() = *m_before.layers;
        m_doc.selection() = *m_before.selection;
    }
}

void UndoTransaction::commit() {
    if (m_done) return;
    m_done = true;
    m_doc.undoStack().push(std::move(m_before));
    m_doc.setModified(true);
}

} // namespace ie
