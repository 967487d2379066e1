#include "Codecs.h"

namespace ie::io {

std::shared_ptr<const Codec> makePcxCodec() {
    return nullptr;
}

} // namespace ie::io
