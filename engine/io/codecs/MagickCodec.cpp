#include "Codecs.h"

namespace ie::io {

std::shared_ptr<const Codec> makeMagickCodec() {
    return nullptr;
}

} // namespace ie::io
