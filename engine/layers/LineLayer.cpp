#include "LineLayer.h"

#include <QPainter>

namespace ie {

void LineLayer::paint(QPainter& painter) const {
    (void)painter;
}

bool LineLayer::sameKindLook(const VectorLayer& drawn) const {
    return static_cast<const LineProperties&>(*this)
        == static_cast<const LineProperties&>(static_cast<const LineLayer&>(drawn));
}

} // namespace ie
