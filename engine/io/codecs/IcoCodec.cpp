#include "Codecs.h"

namespace ie::io {

std::shared_ptr<const Codec> makeIcoCodec() {
    return nullptr;
}

} // namespace ie::io
