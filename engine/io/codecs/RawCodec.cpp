#include "Codecs.h"

namespace ie::io {

std::shared_ptr<const Codec> makeRawCodec() {
    return nullptr;
}

} // namespace ie::io
