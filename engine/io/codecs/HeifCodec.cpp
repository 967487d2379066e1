#include "Codecs.h"

namespace ie::io {

std::shared_ptr<const Codec> makeHeifCodec() {
    return nullptr;
}

} // namespace ie::io
