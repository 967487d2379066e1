#include "Codecs.h"

namespace ie::io {

std::shared_ptr<const Codec> makeJpegCodec() {
    return nullptr;
}

} // namespace ie::io
