#include "Codecs.h"

namespace ie::io {

std::shared_ptr<const Codec> makeGifCodec() {
    return nullptr;
}

} // namespace ie::io
