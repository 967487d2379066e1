#include "Interaction.h"

namespace ie {

void Interaction::activate(ImageView&) { }
void Interaction::deactivate(ImageView&) { }
bool Interaction::mousePress(ImageView&, QMouseEvent&) {
    return false;
}
bool Interaction::mouseMove(ImageView&, QMouseEvent&) {
    return false;
}
bool Interaction::mouseRelease(ImageView&, QMouseEvent&) {
    return false;
}
bool Interaction::mouseDoubleClick(ImageView&, QMouseEvent&) {
    return false;
}
bool Interaction::keyPress(ImageView&, QKeyEvent&) {
    return false;
}
bool Interaction::keyRelease(ImageView&, QKeyEvent&) {
    return false;
}
void Interaction::paintOverlay(ImageView&, QPainter&) { }
QCursor Interaction::cursor(const ImageView&, QPointF) const {
    return QCursor(Qt::ArrowCursor);
}

} // namespace ie
