#include "Codecs.h"

namespace ie::io {

std::shared_ptr<const Codec> makePngCodec() {
    return nullptr;
}

} // namespace ie::io
