#include "TextLayer.h"

#include <QPainter>

namespace ie {

void TextLayer::paint(QPainter& painter) const {
    (void)painter;
}

bool TextLayer::sameKindLook(const VectorLayer& drawn) const {
    return static_cast<const TextProperties&>(*this)
        == static_cast<const TextProperties&>(static_cast<const TextLayer&>(drawn));
}

} // namespace ie
