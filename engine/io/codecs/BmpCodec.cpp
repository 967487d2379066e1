#include "Codecs.h"

namespace ie::io {

std::shared_ptr<const Codec> makeBmpCodec() {
    return nullptr;
}

} // namespace ie::io
