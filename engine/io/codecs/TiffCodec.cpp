#include "Codecs.h"

namespace ie::io {

std::shared_ptr<const Codec> makeTiffCodec() {
    return nullptr;
}

} // namespace ie::io
