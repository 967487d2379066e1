#include "BitmapOps.h"

#include "Error.h"

namespace ie {

Bitmap crop(const Bitmap&, const Rect&) {
    throw Error("not implemented");
}
void copyRect(const Bitmap&, const Rect&, Bitmap&, int, int) {
    throw Error("not implemented");
}
void drawOnto(Bitmap&, const Bitmap&, int, int, double) {
    throw Error("not implemented");
}
void flipHorizontal(Bitmap&) {
    throw Error("not implemented");
}
void flipVertical(Bitmap&) {
    throw Error("not implemented");
}
Bitmap rotateRightAngle(const Bitmap&, int) {
    throw Error("not implemented");
}

} // namespace ie
