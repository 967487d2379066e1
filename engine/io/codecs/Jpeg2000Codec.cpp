#include "Codecs.h"

namespace ie::io {

std::shared_ptr<const Codec> makeJpeg2000Codec() {
    return nullptr;
}

} // namespace ie::io
