#include "ImageLayer.h"

namespace ie {

ImageLayer::ImageLayer(Bitmap bmp) {
    bitmap = std::move(bmp);
    width = bitmap.width();
    height = bitmap.height();
    originalAspectRatio = height > 0 ? width / height : 0;
}

} // namespace ie
