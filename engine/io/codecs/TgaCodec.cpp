#include "Codecs.h"

namespace ie::io {

std::shared_ptr<const Codec> makeTgaCodec() {
    return nullptr;
}

} // namespace ie::io
