// The ordered layers of one image: the background first, the current layer, the canvas size.
#pragma once

#include "Layer.h"

#include <memory>
#include <vector>

namespace ie {

/// An ordered list of layers, bottom first; layer 0 is the background and its size is the
/// canvas size. Copying is deep (every layer cloned).
class LayerStack {
public:
    LayerStack() = default;
    LayerStack(const LayerStack& other);
    LayerStack& operator=(const LayerStack& other);
    LayerStack(LayerStack&&) noexcept = default;
    LayerStack& operator=(LayerStack&&) noexcept = default;

    int count() const { return static_cast<int>(m_layers.size()); }
    bool isEmpty() const { return m_layers.empty(); }
    /// Layer i (0 = background); throws ie::Error when i is out of range.
    Layer& layer(int i);
    const Layer& layer(int i) const;
    Layer& background() { return layer(0); }
    const Layer& background() const { return layer(0); }

    /// Appends a layer on top and returns its index.
    int add(std::unique_ptr<Layer> layer);
    /// Inserts a layer at index i (0..count()); the layers from i up move one up.
    void insert(int i, std::unique_ptr<Layer> layer);
    /// Removes layer i and returns it.
    std::unique_ptr<Layer> take(int i);
    /// Removes layer i.
    void remove(int i) { take(i); }
    /// Moves layer `from` to index `to`, keeping the current layer the same object.
    void move(int from, int to);
    void clear();

    /// The current layer's index, -1 when the stack is empty.
    int currentIndex() const { return m_current; }
    /// Sets the current layer (clamped to the valid range).
    void setCurrentIndex(int i);
    Layer* current() { return m_current >= 0 ? m_layers[m_current].get() : nullptr; }

    /// Canvas size: the background's size rounded, 0 x 0 for an empty stack.
    int canvasWidth() const;
    int canvasHeight() const;

    /// Index of the layer with identifier `id`, -1 when none.
    int indexOf(const Guid& id) const;
    /// Index of the layer object, -1 when it is not in this stack.
    int indexOf(const Layer* layer) const;

    /// The layers, bottom first.
    const std::vector<std::unique_ptr<Layer>>& layers() const { return m_layers; }

private:
    void checkIndex(int i, int limit) const;

    std::vector<std::unique_ptr<Layer>> m_layers;
    int m_current = -1;
};

} // namespace ie
