#include "AngleLayer.h"

#include <QPainter>
#include <cmath>
#include <numbers>

namespace ie {

double AngleLayer::measuredAngle() const {
    const PointI& a = points[0];
    const PointI& v = points[1];
    const PointI& b = points[2];
    const double a1 = std::atan2(-(a.y - v.y), a.x - v.x);
    const double a2 = std::atan2(-(b.y - v.y), b.x - v.x);
    double deg = (a2 - a1) * 180.0 / std::numbers::pi;
    deg = std::fmod(deg + 720.0, 360.0);
    if (angleMode == 0 && deg > 180.0) deg = 360.0 - deg;
    return deg;
}

void AngleLayer::paint(QPainter& painter) const {
    (void)painter;
}

bool AngleLayer::sameKindLook(const VectorLayer& drawn) const {
    return static_cast<const AngleProperties&>(*this)
        == static_cast<const AngleProperties&>(static_cast<const AngleLayer&>(drawn));
}

} // namespace ie
