#include "Codecs.h"

namespace ie::io {

std::shared_ptr<const Codec> makePdfCodec() {
    return nullptr;
}

} // namespace ie::io
