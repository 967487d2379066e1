#include "LayerStack.h"

#include "imaging/Error.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace ie {

LayerStack::LayerStack(const LayerStack& other)
    : m_current(other.m_current) {
    m_layers.reserve(other.m_layers.size());
    for (const auto& l : other.m_layers)
        m_layers.push_back(l->clone());
}

LayerStack& LayerStack::operator=(const LayerStack& other) {
    if (this != &other) {
        LayerStack copy(other);
        *this = std::move(copy);
    }
    return *this;
}

void LayerStack::checkIndex(int i, int limit) const {
    if (i < 0 || i >= limit)
        throw Error("Layer index " + std::to_string(i) + " is out of range (0 to "
            + std::to_string(limit - 1) + ")");
}

Layer& LayerStack::layer(int i) {
    checkIndex(i, count());
    return *m_layers[i];
}

const Layer& LayerStack::layer(int i) const {
    checkIndex(i, count());
    return *m_layers[i];
}

int LayerStack::add(std::unique_ptr<Layer> layer) {
    insert(count(), std::move(layer));
    return count() - 1;
}

void LayerStack::insert(int i, std::unique_ptr<Layer> layer) {
    if (!layer) throw Error("Cannot insert an empty layer");
    checkIndex(i, count() + 1);
    m_layers.insert(m_layers.begin() + i, std::move(layer));
    if (m_current < 0)
        m_current = 0;
    else if (m_current >= i)
        ++m_current;
}

std::unique_ptr<Layer> LayerStack::take(int i) {
    checkIndex(i, count());
    std::unique_ptr<Layer> l = std::move(m_layers[i]);
    m_layers.erase(m_layers.begin() + i);
    // Removing the current layer makes the one below it current.
    if (m_current > i || (m_current == i && i > 0)) --m_current;
    if (m_current >= count()) m_current = count() - 1;
    if (m_current < 0 && !m_layers.empty()) m_current = 0;
    return l;
}

void LayerStack::move(int from, int to) {
    checkIndex(from, count());
    checkIndex(to, count());
    if (from == to) return;
    const Layer* cur = current();
    std::unique_ptr<Layer> l = std::move(m_layers[from]);
    m_layers.erase(m_layers.begin() + from);
    m_layers.insert(m_layers.begin() + to, std::move(l));
    m_current = indexOf(cur);
}

void LayerStack::clear() {
    m_layers.clear();
    m_current = -1;
}

void LayerStack::setCurrentIndex(int i) {
    m_current = m_layers.empty() ? -1 : std::clamp(i, 0, count() - 1);
}

int LayerStack::canvasWidth() const {
    return m_layers.empty() ? 0 : static_cast<int>(std::lround(m_layers[0]->width));
}

int LayerStack::canvasHeight() const {
    return m_layers.empty() ? 0 : static_cast<int>(std::lround(m_layers[0]->height));
}

int LayerStack::indexOf(const Guid& id) const {
    for (int i = 0; i < count(); ++i)
        if (m_layers[i]->id == id) return i;
    return -1;
}

int LayerStack::indexOf(const Layer* layer) const {
    for (int i = 0; i < count(); ++i)
        if (m_layers[i].get() == layer) return i;
    return -1;
}

} // namespace ie
