#include "Codecs.h"

namespace ie::io {

std::shared_ptr<const Codec> makeWebpCodec() {
    return nullptr;
}

} // namespace ie::io
