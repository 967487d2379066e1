#include "ShapeLayer.h"

#include <QPainter>

namespace ie {

void ShapeLayer::paint(QPainter& painter) const {
    (void)painter;
}

bool ShapeLayer::sameKindLook(const VectorLayer& drawn) const {
    return static_cast<const ShapeProperties&>(*this)
        == static_cast<const ShapeProperties&>(static_cast<const ShapeLayer&>(drawn));
}

} // namespace ie
