#include "Codecs.h"

namespace ie::io {

std::shared_ptr<const Codec> makePnmCodec() {
    return nullptr;
}

} // namespace ie::io
