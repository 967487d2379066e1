#include "Codecs.h"

namespace ie::io {

std::shared_ptr<const Codec> makePsdCodec() {
    return nullptr;
}

} // namespace ie::io
