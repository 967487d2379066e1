#include "../CodecRegistry.h"
#include "Codecs.h"

namespace ie::io {

void registerBuiltinCodecs(CodecRegistry& registry) {
    // The fallback first: direct codecs registered later take precedence for shared extensions.
    const std::shared_ptr<const Codec> all[] = {
        makeMagickCodec(),
        makeJpegCodec(),
        makePngCodec(),
        makeTiffCodec(),
        makeGifCodec(),
        makeWebpCodec(),
        makeBmpCodec(),
        makeTgaCodec(),
        makePcxCodec(),
        makePnmCodec(),
        makeIcoCodec(),
        makePsdCodec(),
        makeHeifCodec(),
        makeJpeg2000Codec(),
        makePdfCodec(),
        makeRawCodec(),
    };
    for (const auto& c : all)
        if (c) registry.add(c);
}

} // namespace ie::io
